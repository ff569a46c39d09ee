#include "window/size_estimate_status.h"

#include "picture/added_pictures.h"

#include "window/my_frame.h"
#include "window/my_gifhandler/gif_export.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/intl.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>

#include <map>
#include <memory>

namespace {

// Often enough to feel immediate, rarely enough to cost nothing.
constexpr int kPollMilliseconds = 250;

}  // namespace

SizeEstimateStatus::SizeEstimateStatus(MyFrame& frame) : m_frame(frame), m_poll(this) {
    Bind(wxEVT_TIMER, &SizeEstimateStatus::OnPoll, this);
    m_poll.Start(kPollMilliseconds);
}

SizeEstimateStatus::~SizeEstimateStatus() {
    m_poll.Stop();
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
    // A result queued meanwhile is dropped with this handler's pending events.
}

wxString SizeEstimateStatus::Text(unsigned long long bytes) {
    const double value = static_cast<double>(bytes);
    const wxString amount = value >= 1e6 ? wxString::Format("%.1f MB", value / 1e6)
                                         : wxString::Format("%.0f kB", std::max(1.0, value / 1e3));
    return wxString::Format(wxGetTranslation("about %s"), amount);
}

bool SizeEstimateStatus::UpToDate() const {
    return !m_running && m_shownIsCurrent && m_started == Signature();
}

std::vector<uintptr_t> SizeEstimateStatus::Signature() const {
    wxThumbnailCtrl* strip = m_frame.GetThumbnailCtrl();
    // The item list's revision rather than the items: polled often, it must not cost a pass over them.
    return {uintptr_t(m_frame.m_outputWidth), uintptr_t(m_frame.m_outputHeight),
            uintptr_t(m_frame.m_spinctrl_delay->GetValue()), uintptr_t(m_frame.m_exportLevel),
            uintptr_t(strip ? strip->m_items.Revision() : 0)};
}

void SizeEstimateStatus::OnPoll(wxTimerEvent&) {
    if (m_running) {
        // A change while estimating makes the running estimate worthless.
        if (m_started != Signature())
            m_cancel = true;
        return;
    }
    if (m_started != Signature())
        Start();
}

void SizeEstimateStatus::Start() {
    if (m_worker.joinable())
        m_worker.join();
    m_started = Signature();
    m_shownIsCurrent = false;
    wxThumbnailCtrl* strip = m_frame.GetThumbnailCtrl();
    gif_export::Request request;
    request.frameCount = strip ? static_cast<size_t>(strip->GetCount()) : 0;
    request.width = m_frame.m_outputWidth;
    request.height = m_frame.m_outputHeight;
    request.delay = m_frame.m_spinctrl_delay->GetValue();
    request.level = static_cast<gif_optimise::Level>(m_frame.m_exportLevel);
    request.threads = 1;  // a background guess leaves the other cores to the window and to Save
    if (request.frameCount == 0 || request.width <= 0 || request.height <= 0) {
        m_frame.m_statusBar1->SetStatusText(wxString(), kStatusField);
        m_shownIsCurrent = true;
        return;
    }
    // The sampled pictures are read again from their files on the workers; the strip's items stay here.
    std::vector<AddedPictures::File> files;
    for (int i = 0; i < strip->GetCount(); ++i) {
        const auto* item = dynamic_cast<wxImageThumbnailItem*>(strip->GetItem(i));
        files.push_back({item ? item->m_path : wxString(), item ? item->m_stamp : picture_intake::FileStamp()});
    }
    auto pictures = std::make_shared<AddedPictures>(std::move(files));
    m_cancel = false;
    m_running = true;
    m_worker = std::thread([this, request, pictures] {
        const gif_export::SizeEstimate estimate = gif_export::EstimateSize(
            request, [pictures](size_t index) { return pictures->Read(index); },
            [this](size_t, size_t) { return !m_cancel; });
        CallAfter([this, ok = estimate.ok, bytes = estimate.bytes] { OnFinished(ok, bytes); });
    });
}

void SizeEstimateStatus::OnFinished(bool ok, unsigned long long bytes) {
    m_running = false;
    if (m_worker.joinable())
        m_worker.join();
    if (m_cancel || m_started != Signature()) {
        m_started.clear();  // the next poll starts afresh
        return;
    }
    m_frame.m_statusBar1->SetStatusText(ok ? Text(bytes) : wxString(), kStatusField);
    m_shownIsCurrent = true;
}
