// Open Project and Save Project in the window: what is asked, what is shown, what is written, and that a
// failed or cancelled step never loses the work.
#include "tests/gui/document_test_fixture.h"

#include "project/project_file.h"

#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/toolbar.h>
#include <wx/xrc/xmlres.h>

using document_test::CancelFile;
using document_test::ExpectFile;
using document_test::ExpectMessage;
using document_test::ShownFileDialog;
using document_test::ShownMessage;

namespace {

wxString ProjectXml(const wxString& name, int width, int height, int delay, const wxArrayString& paths) {
    wxString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<project>\n  <name>" + name + "</name>\n  <gif>\n";
    xml << "    <width>" << width << "</width>\n    <height>" << height << "</height>\n";
    xml << "    <delay_time>" << delay << "</delay_time>\n  </gif>\n  <images>\n";
    for (const wxString& path : paths)
        xml << "    <path>" << path << "</path>\n";
    return xml + "  </images>\n</project>\n";
}

struct ReadBack {
    int width = -1;
    int height = -1;
    int delay = -1;
    wxString name;
    std::vector<wxString> paths;
};

ReadBack ReadProject(const wxString& path) {
    ReadBack read;
    project_file::ReadCallbacks callbacks;
    callbacks.width = [&](int value) { read.width = value; };
    callbacks.height = [&](int value) { read.height = value; };
    callbacks.name = [&](const wxString& value) { read.name = value; };
    callbacks.delay = [&](int value) { read.delay = value; };
    callbacks.imagePath = [&](const wxString& value) { read.paths.push_back(value); };
    project_file::Read(path, callbacks);
    return read;
}

}  // namespace

class ProjectCommandsTest : public DocumentTest {
protected:
    void OpenProject() {
        wxCommandEvent open(wxEVT_MENU, frame->m_menuItem_open_project->GetId());
        frame->ProcessWindowEvent(open);
    }

    void SaveProjectTo(const wxString& path) {
        wxTEST_DIALOG(ASSERT_TRUE(frame->SaveProject()), ExpectFile(path));
    }

    // Pictures on disk without adding them.
    wxArrayString WritePictures(const std::vector<wxSize>& sizes, const wxString& prefix = "p") {
        wxArrayString paths;
        for (size_t i = 0; i < sizes.size(); ++i)
            paths.Add(gui_test::WritePicture(wxString::Format("%s/%s%zu.png", Folder(), prefix, i), sizes[i].x,
                                             sizes[i].y, static_cast<unsigned char>(30 + 60 * i), 180,
                                             static_cast<unsigned char>(220 - 70 * i)));
        return paths;
    }

    wxString Title(const wxString& namePart) const { return namePart + " - Quintrel Tavelle"; }

    bool FrameCommandsEnabled() const {
        return frame->m_menuItem_save->IsEnabled() && frame->m_menuItem_save_project->IsEnabled() &&
               frame->m_toolBar2->GetToolEnabled(XRCID("m_tool14")) && frame->m_spinctrl_delay->IsEnabled();
    }

    std::vector<wxString> FramePaths() const {
        std::vector<wxString> paths;
        for (int i = 0; i < Count(); ++i)
            paths.push_back(frame->GetThumbnailCtrl()->GetItem(i)->m_path);
        return paths;
    }

    // Where the preview panel, as the screen shows it, has pixels of this colour (empty: nowhere).
    wxRect PreviewArea(unsigned char red, unsigned char green, unsigned char blue) {
        gui_test::Pump(100);
        const wxImage shot = gui_test::Screenshot(frame->m_panel2);
        wxRect area;
        for (int y = 0; y < shot.GetHeight(); ++y)
            for (int x = 0; x < shot.GetWidth(); ++x)
                if (shot.GetRed(x, y) == red && shot.GetGreen(x, y) == green && shot.GetBlue(x, y) == blue)
                    area.Union(wxRect(x, y, 1, 1));
        return area;
    }
};

TEST_F(ProjectCommandsTest, OpenAppliesEveryValueAndSkipsAMissingPicture) {
    wxArrayString pictures = WritePictures({{60, 40}, {60, 40}, {30, 20}});
    wxRemoveFile(pictures[1]);
    const wxString project = Folder() + "/holiday.xml";
    WriteFile(project, ProjectXml("anim.gif", 64, 48, 25, pictures));

    wxTEST_DIALOG(OpenProject(), ExpectFile(project), wxExpectModal<wxMessageDialog>(wxID_OK));

    EXPECT_EQ(FramePaths(), (std::vector<wxString>{pictures[0], pictures[2]}));
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 64);
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 48);
    EXPECT_EQ(frame->m_spinctrl_delay->GetValue(), 25);
    EXPECT_EQ(frame->GetThumbnailCtrl()->m_delay, 25);
    EXPECT_EQ(frame->m_outputWidth, 64);
    EXPECT_EQ(frame->m_outputHeight, 48);
    EXPECT_EQ(frame->m_baseWidth, 64);
    EXPECT_EQ(frame->m_baseHeight, 48);
    EXPECT_EQ(frame->m_gifName, "anim.gif");
    EXPECT_TRUE(frame->m_gifPath.empty());
    EXPECT_EQ(frame->m_projectPath, project);
    EXPECT_EQ(frame->m_projectName, "holiday.xml");
    EXPECT_EQ(frame->GetTitle(), Title("holiday"));
    // The window's own output-size form, with a space before the bracket.
    EXPECT_EQ(Status(0), "anim.gif (64 * 48)px");
    EXPECT_EQ(Status(1), "p0.png Width:60 px,Height:40 px");
    EXPECT_EQ(frame->m_savedWidth, 64);
    EXPECT_EQ(frame->m_savedHeight, 48);
    EXPECT_EQ(frame->m_savedDelay, 25);
    EXPECT_EQ(frame->m_savedCount, 2);
    EXPECT_TRUE(FrameCommandsEnabled());
    // Nothing changed since opening: closing asks nothing.
    WITHOUT_DIALOGS(EXPECT_TRUE(frame->Close()));
}

TEST_F(ProjectCommandsTest, OpenWithAnEmptyNameShowsUntitled) {
    const wxString project = Folder() + "/a.xml";
    WriteFile(project, ProjectXml("", 30, 20, 10, WritePictures({{30, 20}})));
    wxTEST_DIALOG(OpenProject(), ExpectFile(project));
    EXPECT_EQ(Status(0), "Untitled.gif (30 * 20)px");
    EXPECT_TRUE(frame->m_gifName.empty());
}

TEST_F(ProjectCommandsTest, FirstReadablePictureIsShownCentredAtItsOwnSizeWhenItFits) {
    const wxSize panel = frame->m_panel2->GetClientSize();
    ASSERT_GT(panel.x, 40);
    ASSERT_GT(panel.y, 30);
    const wxArrayString pictures = WritePictures({{20, 10}, {20, 10}});
    wxArrayString listed;
    listed.Add(Folder() + "/gone.png");
    listed.Add(pictures[0]);
    listed.Add(pictures[1]);
    const wxString project = Folder() + "/a.xml";
    WriteFile(project, ProjectXml("", 20, 10, 10, listed));
    wxTEST_DIALOG(OpenProject(), ExpectFile(project), wxExpectModal<wxMessageDialog>(wxID_OK));
    // p0 (red 30) is shown, p1 (red 90) is not.
    const wxRect shown = PreviewArea(30, 180, 220);
    EXPECT_EQ(shown.GetSize(), wxSize(20, 10));
    EXPECT_NEAR(shown.x, (panel.x - 20) / 2, 1);
    EXPECT_NEAR(shown.y, (panel.y - 10) / 2, 1);
    EXPECT_TRUE(PreviewArea(90, 180, 150).IsEmpty());
    EXPECT_EQ(Status(1), "p0.png Width:20 px,Height:10 px");
}

TEST_F(ProjectCommandsTest, FirstPictureWiderThanThePanelIsShrunkToItsWidth) {
    const wxSize panel = frame->m_panel2->GetClientSize();
    const wxString project = Folder() + "/a.xml";
    WriteFile(project, ProjectXml("", 10, 10, 10, WritePictures({{panel.x * 2, 20}})));
    wxTEST_DIALOG(OpenProject(), ExpectFile(project));
    // Scaled by one half: the panel's width, 10 rows, centred vertically.
    const wxRect shown = PreviewArea(30, 180, 220);
    EXPECT_NEAR(shown.width, panel.x, 1);
    EXPECT_EQ(shown.height, 10);
    EXPECT_NEAR(shown.y, (panel.y - 10) / 2, 1);
}

TEST_F(ProjectCommandsTest, OpenAsksOnlyAboutWorkThatDiffersFromTheSnapshot) {
    AddPictures({{40, 30}});
    const wxString saved = Folder() + "/saved.xml";
    SaveProjectTo(saved);
    const int savedDelay = frame->m_spinctrl_delay->GetValue();
    const wxString other = Folder() + "/other.xml";
    WriteFile(other, ProjectXml("", 30, 20, 7, WritePictures({{30, 20}, {30, 20}})));

    // Unchanged since the save: straight to the open dialog.
    wxTEST_DIALOG(OpenProject(), CancelFile());

    // Only the delay changed: asks, titled "Warning"; Cancel ends with nothing changed.
    frame->m_spinctrl_delay->SetValue(frame->m_spinctrl_delay->GetValue() + 1);
    auto seen = std::make_shared<ShownMessage>();
    wxTEST_DIALOG(OpenProject(), ExpectMessage(wxID_CANCEL, seen));
    EXPECT_EQ(seen->title, "Warning");
    EXPECT_EQ(seen->style & (wxYES_NO | wxCANCEL | wxNO_DEFAULT | wxICON_EXCLAMATION),
              wxYES_NO | wxCANCEL | wxNO_DEFAULT | wxICON_EXCLAMATION);
    EXPECT_EQ(Count(), 1);

    // No opens without saving.
    wxTEST_DIALOG(OpenProject(), ExpectMessage(wxID_NO), ExpectFile(other));
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(frame->m_projectPath, other);
    EXPECT_EQ(ReadProject(saved).delay, savedDelay) << "No must not save";
}

TEST_F(ProjectCommandsTest, UntitledWorkAsksWarningBangAndYesSavesBeforeOpening) {
    const wxArrayString added = AddPictures({{40, 30}, {40, 30}});
    const wxString saved = Folder() + "/first.xml";
    const wxString other = Folder() + "/other.xml";
    WriteFile(other, ProjectXml("x.gif", 30, 20, 7, WritePictures({{30, 20}})));
    auto question = std::make_shared<ShownMessage>();
    auto saveDialog = std::make_shared<ShownFileDialog>();
    auto openDialog = std::make_shared<ShownFileDialog>();
    wxTEST_DIALOG(OpenProject(), ExpectMessage(wxID_YES, question), ExpectFile(saved, wxID_OK, saveDialog),
                  ExpectFile(other, wxID_OK, openDialog));
    EXPECT_EQ(question->title, "Warning!");
    EXPECT_EQ(saveDialog->message, "Save XML Files");
    EXPECT_EQ(saveDialog->wildcard, "XML files (*.xml)|*.xml");
    EXPECT_EQ(openDialog->message, "Load Xml Files");
    EXPECT_EQ(openDialog->wildcard, "Xml files (*.xml)|*.xml");
    EXPECT_EQ(ReadProject(saved).paths, (std::vector<wxString>{added[0], added[1]}));
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(frame->GetTitle(), Title("other"));
}

TEST_F(ProjectCommandsTest, YesWithACancelledSaveDoesNotOpen) {
    AddPictures({{40, 30}, {40, 30}});
    // Only the question and the save dialog: no open dialog follows, so the work stays.
    wxTEST_DIALOG(OpenProject(), ExpectMessage(wxID_YES), CancelFile());
    EXPECT_EQ(Count(), 2);
}

TEST_F(ProjectCommandsTest, CancellingTheOpenDialogLeavesTheWorkAsItWas) {
    AddPictures({{40, 30}, {40, 30}});
    SaveProjectTo(Folder() + "/kept.xml");
    frame->m_gifPath = Folder() + "/anim.gif";
    const wxString status0 = Status(0);
    const wxString title = frame->GetTitle();
    wxTEST_DIALOG(OpenProject(), CancelFile());
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 40);
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 30);
    EXPECT_EQ(frame->m_gifPath, Folder() + "/anim.gif");
    EXPECT_EQ(Status(0), status0);
    EXPECT_EQ(frame->GetTitle(), title);
    EXPECT_EQ(frame->m_projectPath, Folder() + "/kept.xml");
    EXPECT_TRUE(FrameCommandsEnabled());
}

TEST_F(ProjectCommandsTest, EmptyImageListIsReportedAndOpensWithoutFrames) {
    const wxString project = Folder() + "/empty.xml";
    WriteFile(project, ProjectXml("e.gif", 30, 20, 12, wxArrayString()));
    auto seen = std::make_shared<ShownMessage>();
    wxTEST_DIALOG(OpenProject(), ExpectFile(project), ExpectMessage(wxID_OK, seen));
    EXPECT_EQ(seen->message, "Failed to load XML file!");
    EXPECT_EQ(seen->title, Title("empty"));
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(frame->m_spinctrl_delay->GetValue(), 12);
    EXPECT_EQ(frame->m_savedCount, 0);
    // As the command finishes normally, the frame commands are switched on; they cope with no frames.
    EXPECT_TRUE(FrameCommandsEnabled());
}

TEST_F(ProjectCommandsTest, DamagedFilesOpenAsFarAsTheyGoWithoutAMessage) {
    const wxString swapped = Folder() + "/swapped.xml";
    WriteFile(swapped,
              "<project><name>n</name><gif><height>5</height><width>6</width><delay_time>3</delay_time></gif>"
              "<images><path>" + WritePictures({{30, 20}})[0] + "</path></images></project>");
    const int delayBefore = frame->m_spinctrl_delay->GetValue();
    wxTEST_DIALOG(OpenProject(), ExpectFile(swapped));
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(frame->m_spinctrl_delay->GetValue(), delayBefore);
    EXPECT_EQ(frame->GetTitle(), Title("swapped"));
    EXPECT_FALSE(FrameCommandsEnabled());

    const wxString garbage = Folder() + "/garbage.xml";
    WriteFile(garbage, wxString('\x01', 10) + "<project><name>");
    wxTEST_DIALOG(OpenProject(), ExpectFile(garbage));
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(frame->GetTitle(), Title("garbage"));

    // Stops after the delay: the values so far stay, no frames.
    const wxString noImages = Folder() + "/noimages.xml";
    WriteFile(noImages, "<project><name>n.gif</name><gif><width>6</width><height>5</height>"
                        "<delay_time>33</delay_time></gif></project>");
    wxTEST_DIALOG(OpenProject(), ExpectFile(noImages));
    EXPECT_EQ(frame->m_spinctrl_delay->GetValue(), 33);
    EXPECT_EQ(Status(0), "n.gif (6 * 5)px");
    EXPECT_EQ(Count(), 0);
}

TEST_F(ProjectCommandsTest, AFileNameWithoutXmlEndingGivesAnEmptyNamePart) {
    const wxString project = Folder() + "/plain.txt";
    WriteFile(project, ProjectXml("", 30, 20, 10, WritePictures({{30, 20}})));
    wxTEST_DIALOG(OpenProject(), ExpectFile(project));
    EXPECT_EQ(frame->GetTitle(), " - Quintrel Tavelle");
    EXPECT_EQ(Count(), 1);
}

TEST_F(ProjectCommandsTest, SaveWithNoFramesShowsNothingAndWritesNothing) {
    WITHOUT_DIALOGS(EXPECT_FALSE(frame->SaveProject()));
    EXPECT_TRUE(FilesIn(Folder()).empty());
}

TEST_F(ProjectCommandsTest, SaveWritesTheWorkAndRecordsTheSnapshot) {
    const wxArrayString added = AddPictures({{40, 30}, {20, 60}});
    frame->m_spinctrl_delay->SetValue(17);
    frame->m_gifPath = "/somewhere/else/anim.gif";
    auto dialog = std::make_shared<ShownFileDialog>();
    wxTEST_DIALOG(EXPECT_TRUE(frame->SaveProject()), ExpectFile(Folder() + "/work", wxID_OK, dialog));
    EXPECT_EQ(dialog->style & (wxFD_SAVE | wxFD_OVERWRITE_PROMPT), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);

    // No ending chosen: ".xml" is added to the file and the title shows the bare name.
    const wxString written = Folder() + "/work.xml";
    const ReadBack read = ReadProject(written);
    EXPECT_EQ(read.name, "anim.gif");
    EXPECT_EQ(read.width, frame->m_spinctrl_width->GetValue());
    EXPECT_EQ(read.height, frame->m_spinctrl_height->GetValue());
    EXPECT_EQ(read.delay, 17);
    EXPECT_EQ(read.paths, (std::vector<wxString>{added[0], added[1]}));
    EXPECT_EQ(frame->m_projectPath, written);
    EXPECT_EQ(frame->m_projectName, "work.xml");
    EXPECT_EQ(frame->GetTitle(), Title("work"));
    EXPECT_EQ(frame->m_savedDelay, 17);
    EXPECT_EQ(frame->m_savedWidth, read.width);
    EXPECT_EQ(frame->m_savedHeight, read.height);
    EXPECT_EQ(frame->m_savedCount, 2);
}

TEST_F(ProjectCommandsTest, UpperCaseEndingGetsXmlAppendedAndKeepsItInTheTitle) {
    AddPictures({{40, 30}});
    SaveProjectTo(Folder() + "/Anim.XML");
    EXPECT_TRUE(wxFileExists(Folder() + "/Anim.XML.xml"));
    EXPECT_EQ(frame->GetTitle(), Title("Anim.XML"));
}

TEST_F(ProjectCommandsTest, CancelledSaveAfterAnEarlierSaveWritesTheEarlierFileAgain) {
    AddPictures({{40, 30}});
    const wxString project = Folder() + "/p.xml";
    SaveProjectTo(project);
    frame->m_spinctrl_delay->SetValue(42);
    wxTEST_DIALOG(EXPECT_TRUE(frame->SaveProject()), CancelFile());
    EXPECT_EQ(ReadProject(project).delay, 42);
    EXPECT_EQ(frame->m_savedDelay, 42);
}

TEST_F(ProjectCommandsTest, CancelledSaveOfUntitledWorkKeepsItUnsaved) {
    AddPictures({{40, 30}});
    wxTEST_DIALOG(EXPECT_FALSE(frame->SaveProject()), CancelFile());
    EXPECT_EQ(frame->m_savedCount, 0);
    EXPECT_EQ(frame->m_savedWidth, 0);
    EXPECT_TRUE(frame->m_projectPath.empty());
    EXPECT_EQ(frame->GetTitle(), "Quintrel Tavelle");
    EXPECT_TRUE(FilesIn(Folder()).size() == 1) << "only the picture";
    wxTEST_DIALOG(EXPECT_FALSE(frame->Close()), ExpectMessage(wxID_CANCEL));
}

TEST_F(ProjectCommandsTest, SaveIntoAMissingFolderIsReportedAndChangesNothing) {
    AddPictures({{40, 30}});
    const wxString target = Folder() + "/missing/p.xml";
    auto failure = std::make_shared<ShownMessage>();
    wxTEST_DIALOG(EXPECT_FALSE(frame->SaveProject()), ExpectFile(target), ExpectMessage(wxID_OK, failure));
    EXPECT_NE(failure->message.Find(target), wxNOT_FOUND) << failure->message;
    EXPECT_NE(failure->message.Find("No such file or directory"), wxNOT_FOUND) << failure->message;
    EXPECT_TRUE(failure->style & wxICON_ERROR);
    EXPECT_TRUE(frame->m_projectPath.empty());
    EXPECT_EQ(frame->GetTitle(), "Quintrel Tavelle");
    EXPECT_EQ(frame->m_savedCount, 0);
    wxTEST_DIALOG(EXPECT_FALSE(frame->Close()), ExpectMessage(wxID_CANCEL));
}

TEST_F(ProjectCommandsTest, SaveOnAFullDiskKeepsTheEarlierProjectAndItsState) {
    AddPictures({{40, 30}});
    const wxString project = Folder() + "/p.xml";
    SaveProjectTo(project);
    const std::string before = ReadFile(project);
    const wxArrayString filesBefore = FilesIn(Folder());
    AddPictures({{40, 30}});
    auto failure = std::make_shared<ShownMessage>();
    {
        FullDisk full(16);
        wxTEST_DIALOG(EXPECT_FALSE(frame->SaveProject()), CancelFile(), ExpectMessage(wxID_OK, failure));
    }
    EXPECT_NE(failure->message.Find(project), wxNOT_FOUND) << failure->message;
    EXPECT_EQ(ReadFile(project), before);
    EXPECT_EQ(FilesIn(Folder()).size(), filesBefore.size() + 1) << "the new picture only, no temporary file";
    EXPECT_EQ(frame->m_savedCount, 1);
    wxTEST_DIALOG(EXPECT_FALSE(frame->Close()), ExpectMessage(wxID_CANCEL));
}

TEST_F(ProjectCommandsTest, ASavedProjectOpensToTheSameWork) {
    const wxArrayString added = AddPictures({{40, 30}, {20, 60}, {40, 30}});
    frame->m_spinctrl_delay->SetValue(33);
    frame->m_gifPath = Folder() + "/anim.gif";
    const wxString project = Folder() + "/round.xml";
    SaveProjectTo(project);
    const int width = frame->m_spinctrl_width->GetValue();
    const int height = frame->m_spinctrl_height->GetValue();

    wxCommandEvent clear(wxEVT_MENU, frame->m_menuItem_clear_all->GetId());
    frame->ProcessWindowEvent(clear);
    frame->m_spinctrl_delay->SetValue(5);
    wxTEST_DIALOG(OpenProject(), ExpectFile(project));

    EXPECT_EQ(FramePaths(), (std::vector<wxString>{added[0], added[1], added[2]}));
    EXPECT_EQ(frame->m_spinctrl_delay->GetValue(), 33);
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), width);
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), height);
    EXPECT_EQ(frame->m_gifName, "anim.gif");
}

TEST_F(ProjectCommandsTest, CommandLineProjectOpensAsOpenProjectDoes) {
    const wxString project = Folder() + "/cli.xml";
    WriteFile(project, ProjectXml("c.gif", 30, 20, 9, WritePictures({{30, 20}, {30, 20}})));
    ASSERT_TRUE(wxSetWorkingDirectory(Folder()));
    WITHOUT_DIALOGS(frame->OpenFromCommandLine(wxArrayString(1, "cli.xml")));
    EXPECT_EQ(frame->m_projectPath, project);
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(frame->GetTitle(), Title("cli"));
    EXPECT_EQ(frame->m_spinctrl_delay->GetValue(), 9);
}

TEST_F(ProjectCommandsTest, CommandLinePicturesAreAddedWithAbsolutePaths) {
    WritePictures({{30, 20}, {50, 40}}, "cli");
    ASSERT_TRUE(wxSetWorkingDirectory(Folder()));
    wxArrayString arguments;
    arguments.Add("cli1.png");
    arguments.Add("not-there.png");
    arguments.Add(Folder() + "/cli0.png");
    wxTEST_DIALOG(frame->OpenFromCommandLine(arguments), wxExpectModal<wxMessageDialog>(wxID_OK));
    EXPECT_EQ(FramePaths(), (std::vector<wxString>{Folder() + "/cli1.png", Folder() + "/cli0.png"}));
    EXPECT_TRUE(frame->m_projectPath.empty());
    EXPECT_TRUE(FrameCommandsEnabled());
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 50);
}

TEST_F(ProjectCommandsTest, NoCommandLineFilesChangeNothing) {
    WITHOUT_DIALOGS(frame->OpenFromCommandLine(wxArrayString()));
    EXPECT_EQ(Count(), 0);
    EXPECT_FALSE(FrameCommandsEnabled());
}

TEST_F(ProjectCommandsTest, TitleNamesTheOpenedProjectUntilTheLanguageChanges) {
    const wxString project = Folder() + "/anim.xml";
    WriteFile(project, ProjectXml("", 30, 20, 10, WritePictures({{30, 20}})));
    wxTEST_DIALOG(OpenProject(), ExpectFile(project));
    EXPECT_EQ(frame->GetTitle(), Title("anim"));
    wxCommandEvent german(wxEVT_MENU, 89);
    frame->ProcessWindowEvent(german);
    EXPECT_EQ(frame->GetTitle(), "Quintrel Tavelle");
}
