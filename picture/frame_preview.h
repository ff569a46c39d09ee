#pragma once
// Frames as the preview panel shows them, made at the size they are shown: a click needs neither the
// full-size picture kept per frame nor its reduction to 256 colours at full size, which alone takes
// most of a second for a 1920x1080 photograph.

#include "picture/picture_intake.h"

#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/string.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

struct PreviewKey {
    wxString path;
    picture_intake::FileStamp stamp;  // the file as it was added; another file is not shown
    wxSize size;                      // the size the picture is shown at
    bool reduced = true;              // to 256 colours as the GIF holds it, or in the file's own colours

    bool operator==(const PreviewKey& other) const {
        return path == other.path && stamp == other.stamp && size == other.size && reduced == other.reduced;
    }
};

struct PreparedPreview {
    wxImage picture;                  // of the key's size; empty when refused
    picture_intake::Outcome refusal;  // why there is none: the file changed, vanished, ...
};

// The picture scaled to `size` as the export scales (nearest pixel), then reduced to 256 colours as
// the export reduces its frames when `reduced`: scaling before reducing is also the export's order, so
// at the GIF's own size this is the GIF's frame.
wxImage MakePreviewPicture(const wxImage& picture, const wxSize& size, bool reduced);

// Reads the key's file and makes its preview; refused when the file is no longer the one added.
PreparedPreview PreparePreview(const PreviewKey& key);

// Prepares previews on a thread of its own ahead of need: the window names the frames it will
// probably show next, and the click or the player's tick finds them ready.
class PreviewPreparer {
public:
    PreviewPreparer();
    ~PreviewPreparer();  // stops the worker after the preview it is making
    PreviewPreparer(const PreviewPreparer&) = delete;
    PreviewPreparer& operator=(const PreviewPreparer&) = delete;

    // Replaces the previews still waiting by these, made in this order.
    void Prefetch(std::vector<PreviewKey> keys);

    // The preview: made in advance, awaited when the worker is making it, or else made now on the
    // calling thread.
    PreparedPreview Take(const PreviewKey& key);

    // Previews still to make (the one being made included), and made but not taken.
    size_t WaitingCount() const;
    size_t ReadyCount() const;

    // Previews made and not yet taken; older ones are dropped beyond this.
    static constexpr size_t kMaxReady = 8;

private:
    void Work();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;      // keys to prepare, or stopping
    std::condition_variable m_finished;  // the worker finished a preview
    std::deque<PreviewKey> m_waiting;
    std::optional<PreviewKey> m_preparing;
    std::deque<std::pair<PreviewKey, PreparedPreview>> m_ready;  // oldest first
    bool m_stopping = false;
    std::thread m_worker;
};
