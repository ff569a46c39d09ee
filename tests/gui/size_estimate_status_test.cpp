// The export level in the Animation menu and the size estimate in the status bar: the level is kept
// as a setting and in projects, the estimate follows every change and foretells what Save writes.
#include "tests/support/gui_test.h"
#include "window/my_frame.h"

#include "app/export_level_setting.h"
#include "app/paths.h"
#include "project/project_file.h"
#include "tests/support/isolated_home.h"
#include "window/size_estimate_status.h"

#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

namespace {

class SizeEstimateStatusTest : public MainWindowTest {
protected:
    // Pictures of a ramp moving right, with many colours.
    std::vector<wxString> Ramps(int count) {
        std::vector<wxString> paths;
        for (int i = 0; i < count; ++i) {
            wxImage image(64, 48);
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x)
                    image.SetRGB(x, y, (x + i * 2) * 4 % 256, y * 5, (x * y / 3 + i) % 256);
            paths.push_back(wxString::Format("%s/ramp%02d.png", IsolatedHomeListener::CurrentHome(), i));
            EXPECT_TRUE(image.SaveFile(paths.back(), wxBITMAP_TYPE_PNG));
        }
        return paths;
    }

    // Lets the window run until the estimate matches its state; false after a generous wait.
    bool WaitForEstimate() {
        for (int i = 0; i < 600; ++i) {
            wxYield();
            if (frame->m_sizeEstimate->UpToDate())
                return true;
            wxMilliSleep(50);
        }
        return false;
    }

    void ChooseLevel(int level) {
        wxCommandEvent event(wxEVT_MENU, frame->m_menuItem_export_levels[level]->GetId());
        frame->ProcessWindowEvent(event);
    }

    wxString EstimateText() { return frame->m_statusBar1->GetStatusText(SizeEstimateStatus::kStatusField); }

    // The bytes an "about N kB" text stands for.
    static double EstimatedBytes(const wxString& text) {
        double kilobytes = 0;
        return text.AfterFirst(' ').BeforeFirst(' ').ToCDouble(&kilobytes) ? kilobytes * 1000 : -1;
    }
};

TEST_F(SizeEstimateStatusTest, EachLevelIsEstimatedInTheBackgroundAndSavedAsEstimated) {
    EXPECT_EQ(frame->m_exportLevel, 0);
    EXPECT_TRUE(frame->m_menuItem_export_levels[0]->IsChecked());
    ASSERT_TRUE(WaitForEstimate());
    EXPECT_EQ(EstimateText(), "");  // no frames, no estimate

    AddFiles(Ramps(30));
    for (const int level : {0, 1, 2}) {
        SCOPED_TRACE(level);
        ChooseLevel(level);
        EXPECT_TRUE(frame->m_menuItem_export_levels[level]->IsChecked());
        EXPECT_EQ(export_level_setting::Read(), level);
        ASSERT_TRUE(WaitForEstimate());
        const wxString text = EstimateText();
        ASSERT_TRUE(text.StartsWith("about ")) << text;
        ASSERT_TRUE(text.EndsWith(" kB")) << text;

        frame->m_gifPath = wxString::Format("%s/level%d.gif", IsolatedHomeListener::CurrentHome(), level);
        ASSERT_TRUE(frame->WriteGifFile());
        const double written = double(wxFileName::GetSize(frame->m_gifPath).ToDouble());
        EXPECT_NEAR(EstimatedBytes(text), written, written * 0.10 + 500) << text;
    }
    // A change of size is estimated again.
    const wxString before = EstimateText();
    frame->m_outputWidth = 32;
    frame->m_outputHeight = 24;
    ASSERT_TRUE(WaitForEstimate());
    EXPECT_LT(EstimatedBytes(EstimateText()), EstimatedBytes(before));
}

TEST_F(SizeEstimateStatusTest, ProjectsCarryTheLevelAndOldProjectsMeanExact) {
    const std::vector<wxString> pictures = Ramps(2);
    project_file::ProjectContents contents;
    contents.width = 64;
    contents.height = 48;
    contents.delay = 10;
    contents.imagePaths = pictures;
    contents.level = 2;
    const wxString smallest = wxString(IsolatedHomeListener::CurrentHome()) + "/smallest.xml";
    ASSERT_TRUE(project_file::Save(smallest, contents).ok);
    contents.level = 0;
    const wxString exact = wxString(IsolatedHomeListener::CurrentHome()) + "/exact.xml";
    ASSERT_TRUE(project_file::Save(exact, contents).ok);

    frame->OpenProjectFile(smallest);
    EXPECT_EQ(frame->m_exportLevel, 2);
    EXPECT_TRUE(frame->m_menuItem_export_levels[2]->IsChecked());
    frame->OpenProjectFile(exact);
    EXPECT_EQ(frame->m_exportLevel, 0);
    EXPECT_TRUE(frame->m_menuItem_export_levels[0]->IsChecked());
    // Opening a project leaves the remembered choice alone.
    EXPECT_EQ(export_level_setting::Read(), 0);
}

}  // namespace
