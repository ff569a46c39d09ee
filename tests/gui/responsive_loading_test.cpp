// A batch of pictures loads while the window keeps working: the strip scrolls and answers clicks,
// the menus and tools rest, nothing can start another batch or change the frame list meanwhile, and
// closing stops the batch and closes once it has unwound.
#include "project/project_file.h"
#include "tests/support/gui_test.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <algorithm>
#include <wx/toolbar.h>

namespace {

constexpr int kBatch = 60;

// Runs `step` every few milliseconds while a batch loads, until it returns true.
class WhileLoading : public wxTimer {
public:
    explicit WhileLoading(std::function<bool()> step) : m_step(std::move(step)) { Start(10); }
    void Notify() override {
        if (m_busy || !m_step)
            return;
        m_busy = true;
        if (m_step()) {
            m_step = nullptr;
            Stop();
        }
        m_busy = false;
    }

private:
    std::function<bool()> m_step;
    bool m_busy = false;  // a step that pumps events may see the timer tick again
};

class ResponsiveLoadingTest : public MainWindowTest {
protected:
    std::vector<wxString> Batch() {
        std::vector<wxString> paths;
        // Large enough that reading them takes a few seconds.
        for (int i = 0; i < kBatch; ++i)
            paths.push_back(gui_test::WritePicture(wxString::Format("%s/b%02d.png", Folder(), i), 1200, 900,
                                                   wxColour(i * 2, 100, 200 - i)));
        return paths;
    }
    std::vector<std::string> BatchNames(int count) const {
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i)
            names.push_back(wxString::Format("b%02d.png", i).ToStdString());
        return names;
    }
};

}  // namespace

TEST_F(ResponsiveLoadingTest, TheStripScrollsAndAnswersClicksWhileABatchLoads) {
    const std::vector<wxString> paths = Batch();
    // A small window, so that a few rows of frames already need scrolling.
    frame->SetSize(640, 480);
    gui_test::Pump(100);
    wxThumbnailCtrl* strip = frame->GetThumbnailCtrl();
    int stage = 0, countWhenScrolled = -1, countWhenClicked = -1;
    bool scrolledAndPainted = false;
    wxImage before;
    bool menusRested = false;
    WhileLoading steps([&] {
        if (stage == 0 && Count() >= 3) {
            menusRested = !frame->m_menubar->IsEnabledTop(0) && !frame->m_toolBar2->IsEnabled();
            wxRect cell;
            strip->GetItemRect(1, cell, true);
            gui_test::Click(strip, cell.GetPosition() + wxPoint(cell.width / 2, cell.height / 2));
            stage = 1;
        } else if (stage == 1 && frame->m_currentFileName == "b01.png") {
            countWhenClicked = Count();
            stage = 2;
        } else if (stage == 2 && Count() >= 20) {
            before = gui_test::Screenshot(strip);
            stage = 3;
        } else if (stage == 3) {
            // Scrolled as its scroll bar scrolls it; the new rows are painted while frames still arrive.
            // Polled, since a loaded machine may lay out or paint a tick later.
            strip->Scroll(0, strip->GetScrollLines(wxVERTICAL));
            const wxImage after = gui_test::Screenshot(strip);
            scrolledAndPainted = strip->GetViewStart().y > 0 && after.GetSize() == before.GetSize() &&
                                 !std::equal(before.GetData(), before.GetData() + before.GetWidth() * before.GetHeight() * 3,
                                             after.GetData());
            countWhenScrolled = Count();
            return scrolledAndPainted;
        }
        return false;
    });
    AddFiles(paths);
    EXPECT_TRUE(menusRested);
    EXPECT_GE(countWhenClicked, 3);
    EXPECT_LT(countWhenClicked, kBatch);
    EXPECT_EQ(Status(1), "b01.png Width:1200px,Height:900 px");
    EXPECT_TRUE(scrolledAndPainted);
    EXPECT_GE(countWhenScrolled, 20);
    EXPECT_LT(countWhenScrolled, kBatch);
    EXPECT_EQ(FrameNames(), BatchNames(kBatch));
    EXPECT_TRUE(frame->m_menubar->IsEnabledTop(0));
    EXPECT_TRUE(frame->m_toolBar2->IsEnabled());
}

TEST_F(ResponsiveLoadingTest, NothingChangesTheFrameListWhileABatchLoads) {
    const wxString other = gui_test::WritePicture(Folder() + "/other.png", 40, 30);
    const wxString project = Folder() + "/p.xml";
    project_file::ProjectContents contents;
    contents.width = contents.height = 40;
    contents.delay = 10;
    contents.imagePaths = {other};
    ASSERT_TRUE(project_file::Save(project, contents).ok);
    const std::vector<std::pair<const char*, std::function<void()>>> attempts = {
        {"add", [&] { frame->AddImageFiles(wxArrayString(1, &other)); }},
        {"insert", [&] { frame->InsertImageFiles(wxArrayString(1, &other)); }},
        {"open project", [&] { frame->OpenProjectFile(project); }},
        {"delete", [&] { Command(&MyFrame::OnDeleteImages); }},
        {"clear all", [&] { Command(&MyFrame::OnClearAll); }},
    };
    const std::vector<wxString> paths = Batch();
    size_t next = 0;
    std::vector<std::string> refused;
    WhileLoading steps([&] {
        if (Count() < 2)
            return false;
        frame->GetThumbnailCtrl()->Select(0);
        const int before = Count();
        attempts[next].second();
        if (Count() >= before && frame->IsLoadingFrames())
            refused.push_back(attempts[next].first);
        return ++next == attempts.size();
    });
    AddFiles(paths);
    EXPECT_EQ(refused.size(), attempts.size());
    EXPECT_EQ(FrameNames(), BatchNames(kBatch));
    EXPECT_FALSE(frame->IsLoadingFrames());
    AddFiles({other});  // once done, the window takes pictures again
    EXPECT_EQ(Count(), kBatch + 1);
}

TEST_F(ResponsiveLoadingTest, ClosingWhileLoadingStopsTheBatchAndThenClosesAsUsual) {
    const std::vector<wxString> paths = Batch();
    const wxWeakRef<wxFrame> window(frame);
    bool stayedOpen = false;
    WhileLoading steps([&] {
        if (Count() < 3)
            return false;
        frame->Close();
        stayedOpen = window && !Destroyed();
        return true;
    });
    wxString asked;
    wxTEST_DIALOG(
        {
            AddFiles(paths);
            EXPECT_LT(Count(), kBatch);
            gui_test::PumpUntil([&window] { return !window; });
        },
        gui_test::ExpectMessage(wxID_NO, &asked));
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(window) << "the window did not close after the batch";
    if (!window)
        frame = nullptr;
    EXPECT_FALSE(asked.empty());
}
