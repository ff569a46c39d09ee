// Opening a project file that cannot be used: the window keeps its work, says why, and does not take
// the file as its project.
#include "tests/gui/document_test_fixture.h"

#include <wx/menu.h>

#include <string>

using document_test::ExpectFile;
using document_test::ExpectMessage;
using document_test::ShownMessage;

namespace {

std::string Project(const std::string& name, const std::string& gif, const std::string& images) {
    return "<project><name>" + name + "</name><gif>" + gif + "</gif><images>" + images + "</images></project>";
}

const std::string kGif = "<width>6</width><height>5</height><delay_time>33</delay_time>";

std::string Repeated(const std::string& piece, int times) {
    std::string all;
    for (int i = 0; i < times; ++i)
        all += piece;
    return all;
}

}  // namespace

class ProjectOpenRefusalTest : public DocumentTest {
protected:
    void OpenProject() {
        wxCommandEvent open(wxEVT_MENU, frame->m_menuItem_open_project->GetId());
        frame->ProcessWindowEvent(open);
    }
};

TEST_F(ProjectOpenRefusalTest, AnUnusableFileLeavesTheWorkAsItWasAndSaysWhy) {
    const wxString picture = Folder() + "/new.png";
    gui_test::WritePicture(picture, 30, 20, 10, 200, 10);
    const std::string path = "<path>" + picture.utf8_string() + "</path>";
    const struct {
        const char* file;
        std::string text;
        const char* says;
    } cases[] = {
        {"swapped.xml", Project("n.gif", "<height>5</height><width>6</width><delay_time>3</delay_time>", path),
         "<width> is missing or out of place"},
        {"garbage.xml", std::string(10, '\x01') + "<project><name>", "not a readable XML file"},
        {"noimages.xml", "<project><name>n.gif</name><gif>" + kGif + "</gif></project>",
         "<images> is missing or out of place"},
        {"truncated.xml", Project("n.gif", kGif, path).substr(0, 150), "not a readable XML file"},
        {"delay.xml", Project("n.gif", "<width>6</width><height>5</height><delay_time>-5</delay_time>", path),
         "<delay_time> is \"-5\""},
        {"huge.xml", Project("n.gif", "<width>214748365</width><height>5</height><delay_time>3</delay_time>", path),
         "<width> is \"214748365\""},
        {"escape.xml", Project("../../out/traversal", kGif, path), "contains a folder"},
        {"nested.xml", "<project><name>" + Repeated("<a>", 100000), "nested deeper"},
    };

    AddPictures({{40, 30}, {40, 30}});
    wxTEST_DIALOG(ASSERT_TRUE(frame->SaveProject()), ExpectFile(Folder() + "/kept.xml"));
    const int delay = frame->m_spinctrl_delay->GetValue();
    frame->m_gifPath = Folder() + "/anim.gif";
    const wxString title = frame->GetTitle();
    const wxString status0 = Status(0);
    for (const auto& c : cases) {
        const wxString file = Folder() + "/" + c.file;
        WriteFile(file, wxString::FromUTF8(c.text.data(), c.text.size()));
        auto seen = std::make_shared<ShownMessage>();
        wxTEST_DIALOG(OpenProject(), ExpectFile(file), ExpectMessage(wxID_OK, seen));
        EXPECT_TRUE(seen->shown) << c.file;
        EXPECT_TRUE(seen->message.Contains(c.file)) << seen->message;
        EXPECT_TRUE(seen->message.Contains(wxString::FromUTF8(c.says))) << c.file << ": " << seen->message;
        EXPECT_EQ(Count(), 2) << c.file;
        EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 40) << c.file;
        EXPECT_EQ(frame->m_spinctrl_delay->GetValue(), delay) << c.file;
        EXPECT_EQ(frame->m_gifPath, Folder() + "/anim.gif") << c.file;
        EXPECT_EQ(frame->m_projectPath, Folder() + "/kept.xml") << c.file;
        EXPECT_EQ(frame->GetTitle(), title) << c.file;
        EXPECT_EQ(Status(0), status0) << c.file;
    }
}

TEST_F(ProjectOpenRefusalTest, AGoodFileAfterARefusedOneOpensAsUsual) {
    const wxString picture = Folder() + "/new.png";
    gui_test::WritePicture(picture, 30, 20, 10, 200, 10);
    const wxString bad = Folder() + "/bad.xml";
    WriteFile(bad, "<project>");
    wxTEST_DIALOG(OpenProject(), ExpectFile(bad), ExpectMessage(wxID_OK));
    EXPECT_TRUE(frame->m_projectPath.empty());
    const wxString good = Folder() + "/good.xml";
    WriteFile(good, wxString::FromUTF8(Project("n.gif", kGif, "<path>" + picture.utf8_string() + "</path>")));
    wxTEST_DIALOG(OpenProject(), ExpectFile(good));
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(frame->m_spinctrl_delay->GetValue(), 33);
    EXPECT_EQ(frame->m_projectPath, good);
    EXPECT_EQ(Status(0), "n.gif (6 * 5)px");
}
