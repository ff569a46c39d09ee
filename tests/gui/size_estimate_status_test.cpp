// The export level in the Animation menu and in projects, and the size estimate in the status bar.
#include "tests/support/gui_test.h"

#include "app/export_level_setting.h"
#include "project/project_file.h"
#include "window/size_estimate_status.h"

#include <wx/filename.h>

namespace {

class SizeEstimateStatusTest : public MainWindowTest {
protected:
    bool WaitForEstimate() { return gui_test::PumpUntil([this] { return frame->m_sizeEstimate->UpToDate(); }, 30000); }

    // The bytes the status bar's "about N kB" stands for.
    double EstimatedBytes() const {
        double kilobytes = -1;
        const wxString text = Status(SizeEstimateStatus::kStatusField);
        EXPECT_TRUE(text.StartsWith("about ") && text.EndsWith(" kB")) << text;
        return text.AfterFirst(' ').BeforeFirst(' ').ToCDouble(&kilobytes) ? kilobytes * 1000 : -1;
    }
};

TEST_F(SizeEstimateStatusTest, EachLevelIsEstimatedInTheBackgroundSavedAsEstimatedAndCarriedByProjects) {
    EXPECT_TRUE(frame->m_menuItem_export_levels[0]->IsChecked());
    ASSERT_TRUE(WaitForEstimate());
    EXPECT_EQ(Status(SizeEstimateStatus::kStatusField), "");  // no frames, no estimate
    for (int i = 0; i < 30; ++i)
        AddFiles({test_files::RampFile(wxString::Format("ramp%02d.png", i), 64, 48, i)});
    for (const int level : {0, 1, 2}) {
        SCOPED_TRACE(level);
        wxCommandEvent choose(wxEVT_MENU, frame->m_menuItem_export_levels[level]->GetId());
        frame->ProcessWindowEvent(choose);
        EXPECT_TRUE(frame->m_menuItem_export_levels[level]->IsChecked());
        EXPECT_EQ(export_level_setting::Read(), level);
        ASSERT_TRUE(WaitForEstimate());
        frame->m_gifPath = test_files::Scratch(wxString::Format("level%d.gif", level));
        ASSERT_TRUE(frame->WriteGifFile());
        const double written = wxFileName::GetSize(frame->m_gifPath).ToDouble();
        EXPECT_NEAR(EstimatedBytes(), written, written * 0.10 + 500);
    }
    const double before = EstimatedBytes();
    frame->m_outputWidth = 32, frame->m_outputHeight = 24;
    ASSERT_TRUE(WaitForEstimate());
    EXPECT_LT(EstimatedBytes(), before);  // a change of size is estimated again

    // A project carries its level without changing the remembered choice.
    project_file::ProjectContents contents;
    contents.width = 64, contents.height = 48, contents.delay = 10;
    contents.imagePaths = {test_files::RampFile("a.png", 64, 48), test_files::RampFile("b.png", 64, 48, 1)};
    for (const int level : {0, 1}) {
        contents.level = level;
        ASSERT_TRUE(project_file::Save(test_files::Scratch("work.xml"), contents).ok);
        frame->OpenProjectFile(test_files::Scratch("work.xml"));
        EXPECT_EQ(frame->m_exportLevel, level);
        EXPECT_TRUE(frame->m_menuItem_export_levels[level]->IsChecked()) << level;
    }
    EXPECT_EQ(export_level_setting::Read(), 2);
}

}  // namespace
