// A batch of pictures loads while the window keeps working: the strip scrolls and answers clicks,
// the menus and tools rest, nothing can start another batch or change the frame list meanwhile, and
// closing stops the batch and closes once it has unwound.
#include "project/project_file.h"
#include "tests/support/gui_test.h"

#include <wx/toolbar.h>
#include <wx/weakref.h>

#include <algorithm>

namespace {

constexpr int kBatch = 240, kColours = 10;

class ResponsiveLoadingTest : public MainWindowTest {
protected:
    // Enough that reading them takes a few seconds even on a quiet machine. A few are written and the rest
    // copied: writing a picture takes several times longer than reading it.
    std::vector<wxString> Batch() {
        for (int i = 0; i < kBatch; ++i) {
            const wxString path = Folder() + wxString::Format("/b%03d.png", i);
            if (i < kColours)
                gui_test::WritePicture(path, 1200, 900, wxColour(i * 20, 100, 200 - i * 10));
            else
                wxCopyFile(paths[size_t(i % kColours)], path);
            paths.push_back(path);
        }
        return paths;
    }
    std::vector<wxString> paths;
};

}  // namespace

TEST_F(ResponsiveLoadingTest, TheStripScrollsAndAnswersClicksButNothingChangesTheFrameListWhileABatchLoads) {
    const wxString other = gui_test::WritePicture(Folder() + "/other.png", 40, 30), project = Folder() + "/p.xml";
    ASSERT_TRUE(project_file::Save(project, {"", 40, 40, 10, 0, {other}}).ok);
    // Adding and inserting share their guard; opening, deleting and clearing each have their own.
    const std::vector<std::pair<const char*, std::function<void()>>> attempts = {
        {"add", [&] { AddFiles({other}); }},
        {"open project", [&] { frame->OpenProjectFile(project); }},
        {"delete", [&] { Command(&MyFrame::OnDeleteImages); }},
        {"clear all", [&] { Command(&MyFrame::OnClearAll); }},
    };
    frame->SetSize(640, 480);  // small, so that a few rows of frames already need scrolling
    gui_test::Pump(100);
    wxThumbnailCtrl* strip = Strip();
    int stage = 0, countWhenClicked = -1, countWhenScrolled = -1;
    wxImage before;
    gui_test::WhileRunning steps([&] {
        if (stage == 0 && Count() >= 3) {
            EXPECT_TRUE(!frame->m_menubar->IsEnabledTop(0) && !frame->m_toolBar2->IsEnabled()) << "menus not at rest";
            ClickFrame(1);
            stage = 1;
        } else if (stage == 1 && frame->m_currentFileName == "b001.png") {
            countWhenClicked = Count();
            for (const auto& [name, attempt] : attempts) {
                const int count = Count();
                attempt();
                EXPECT_TRUE(Count() >= count && frame->IsLoadingFrames()) << name << " changed the frames while loading";
            }
            stage = 2;
        } else if (stage == 2 && strip->GetVirtualSize().y > strip->GetClientSize().y) {  // as soon as it can scroll
            before = gui_test::Screenshot(strip);
            stage = 3;
        } else if (stage == 3) {
            // Scrolled as its scroll bar scrolls it; the new rows are painted while frames still arrive.
            // Polled, since a loaded machine may lay out or paint a tick later.
            strip->Scroll(0, strip->GetScrollLines(wxVERTICAL));
            const wxImage after = gui_test::Screenshot(strip);
            if (strip->GetViewStart().y == 0 || after.GetSize() != before.GetSize() ||
                std::equal(before.GetData(), before.GetData() + before.GetWidth() * before.GetHeight() * 3, after.GetData()))
                return false;
            countWhenScrolled = Count();
            return true;
        }
        return false;
    });
    AddFiles(Batch());
    EXPECT_TRUE(countWhenClicked >= 3 && countWhenClicked < kBatch) << countWhenClicked;
    EXPECT_TRUE(countWhenScrolled > 0 && countWhenScrolled < kBatch) << "not scrolled and painted while loading: " << countWhenScrolled;
    EXPECT_TRUE(FramePaths() == paths) << "the frames are not the batch in the order given";
    EXPECT_TRUE(frame->m_menubar->IsEnabledTop(0) && frame->m_toolBar2->IsEnabled());
    AddFiles({other});  // once done, the window takes pictures again
    EXPECT_EQ(Count(), kBatch + 1);
}

TEST_F(ResponsiveLoadingTest, ClosingWhileLoadingStopsTheBatchAndThenClosesAsUsual) {
    const wxWeakRef<wxFrame> window(frame);
    bool stayedOpen = false;
    gui_test::WhileRunning steps([&] {
        if (Count() < 3)
            return false;
        frame->Close();
        stayedOpen = window && !Destroyed();
        return true;
    });
    wxTEST_DIALOG(
        {
            AddFiles(Batch());
            EXPECT_LT(Count(), kBatch);
            gui_test::PumpUntil([&window] { return !window; });
        },
        wxExpectModal<wxMessageDialog>(wxID_NO));
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(window) << "the window did not close after the batch";
    if (!window)
        frame = nullptr;
}
