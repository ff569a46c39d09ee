#include "window/frame_intake.h"

#include "picture/refused_files.h"

#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/window.h>

#include <memory>
#include <vector>

namespace frame_intake {

namespace {

// A handful of files is read before anyone could reach for Cancel.
constexpr size_t kQuietCount = 5;
// How long the GUI thread waits for the next frame before it lets the window repaint.
constexpr std::chrono::milliseconds kWaitSlice(30);

wxString CountText(size_t count, size_t total) { return wxString::Format("%zu / %zu", count, total); }

void ReportRefused(wxWindow* parent, const std::vector<RefusedFile>& refused) {
    wxMessageDialog message(parent, wxGetTranslation("These files were not added:"), parent->GetLabel(),
                            wxOK | wxICON_WARNING);
    message.SetExtendedMessage(RefusedFilesList(refused));
    message.ShowModal();
}

}  // namespace

Summary Run(wxWindow* parent, const char* titleKey, const wxArrayString& paths, const wxSize& thumbnailBox,
            const AddFrame& add) {
    Summary summary;
    if (paths.empty())
        return summary;
    std::unique_ptr<wxProgressDialog> progress;
    if (paths.size() > kQuietCount) {
        progress = std::make_unique<wxProgressDialog>(wxGetTranslation(titleKey), CountText(0, paths.size()),
                                                      static_cast<int>(paths.size()), parent,
                                                      wxPD_APP_MODAL | wxPD_AUTO_HIDE | wxPD_CAN_ABORT);
    }
    std::vector<RefusedFile> refused;
    {
        FrameLoader loader(std::vector<wxString>(paths.begin(), paths.end()), thumbnailBox);
        while (loader.Taken() < loader.Count()) {
            if (std::optional<LoadedFrame> frame = loader.TakeNext(kWaitSlice)) {
                if (frame->outcome.Taken()) {
                    add(*frame);
                    ++summary.added;
                } else {
                    refused.push_back({frame->path, picture_intake::ReasonText(frame->outcome)});
                }
            }
            // Updating the dialog also lets the window repaint.
            if (progress && !progress->Update(static_cast<int>(loader.Taken()), CountText(loader.Taken(), loader.Count()))) {
                summary.cancelled = true;
                break;
            }
        }
    }
    progress.reset();
    summary.refused = refused.size();
    if (!refused.empty())
        ReportRefused(parent, refused);
    return summary;
}

}  // namespace frame_intake
