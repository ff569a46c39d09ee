#include "window/frame_intake.h"

#include "picture/refused_files.h"

#include <wx/evtloop.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/timer.h>
#include <wx/window.h>

#include <memory>
#include <vector>

namespace frame_intake {

namespace {

// A handful of files is read before anyone could reach for Cancel.
constexpr size_t kQuietCount = 5;
// How often the GUI thread collects finished frames; it handles the window's events in between.
constexpr int kCollectIntervalMs = 15;
// The longest the GUI thread adds frames before it returns to the window's events.
constexpr std::chrono::milliseconds kAddingSlice(25);
// How long, within a slice, it waits for the next frame: small pictures keep coming, large ones do not.
constexpr std::chrono::milliseconds kNextFrameWait(3);

// Set while a batch is read; raised to stop it. The GUI thread alone touches it.
bool* g_stopRequest = nullptr;

wxString CountText(size_t count, size_t total) { return wxString::Format("%zu / %zu", count, total); }

void ReportRefused(wxWindow* parent, const std::vector<RefusedFile>& refused) {
    wxMessageDialog message(parent, wxGetTranslation("These files were not added:"), parent->GetLabel(),
                            wxOK | wxICON_WARNING);
    message.SetExtendedMessage(RefusedFilesList(refused));
    message.ShowModal();
}

class BusyMark {
public:
    explicit BusyMark(bool& stop) { g_stopRequest = &stop; }
    ~BusyMark() { g_stopRequest = nullptr; }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;
};

}  // namespace

bool Busy() { return g_stopRequest != nullptr; }

void CancelBusy() {
    if (g_stopRequest)
        *g_stopRequest = true;
}

Summary Run(wxWindow* parent, const char* titleKey, const wxArrayString& paths, const wxSize& thumbnailBox,
            const AddFrame& add) {
    Summary summary;
    if (Busy()) {
        summary.cancelled = true;
        return summary;
    }
    if (paths.empty())
        return summary;
    bool stop = false;
    const BusyMark busy(stop);
    std::unique_ptr<wxProgressDialog> progress;
    if (paths.size() > kQuietCount) {
        progress = std::make_unique<wxProgressDialog>(wxGetTranslation(titleKey), CountText(0, paths.size()),
                                                      static_cast<int>(paths.size()), parent,
                                                      wxPD_AUTO_HIDE | wxPD_CAN_ABORT);
        // Without wxPD_APP_MODAL the dialog still disables the window it belongs to, whose strip
        // should scroll and answer clicks while the frames arrive.
        parent->Enable();
    }
    std::vector<RefusedFile> refused;
    {
        FrameLoader loader(std::vector<wxString>(paths.begin(), paths.end()), thumbnailBox);
        wxGUIEventLoop loop;
        const auto collect = [&] {
            // A dialog opened meanwhile runs its own loop: the frames wait until it is closed.
            if (!loop.IsRunning())
                return;
            const auto sliceEnd = std::chrono::steady_clock::now() + kAddingSlice;
            while (!stop && std::chrono::steady_clock::now() < sliceEnd) {
                std::optional<LoadedFrame> frame = loader.TakeNext(kNextFrameWait);
                if (!frame)
                    break;
                if (frame->outcome.Taken()) {
                    add(*frame);
                    ++summary.added;
                } else {
                    refused.push_back({frame->path, picture_intake::ReasonText(frame->outcome)});
                }
            }
            if (progress && !stop &&
                (progress->WasCancelled() ||
                 !progress->Update(static_cast<int>(loader.Taken()), CountText(loader.Taken(), loader.Count()))))
                stop = true;
            if (stop || loader.Taken() == loader.Count())
                loop.Exit();
        };
        wxTimer timer;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { collect(); });
        timer.Start(kCollectIntervalMs);
        loop.Run();
        timer.Stop();
        summary.cancelled = stop;
    }
    progress.reset();
    summary.refused = refused.size();
    if (!refused.empty())
        ReportRefused(parent, refused);
    return summary;
}

}  // namespace frame_intake
