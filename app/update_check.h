#pragma once
// Asking the product's web server whether a newer version exists. The update document is fetched on a
// worker thread, so a server that never answers cannot freeze the window; the newest version it names
// reaches the window that asked as a queued wxEVT_COMMAND_UPDATE_RESULT event.

#include "app/http_get.h"

#include <wx/event.h>
#include <wx/string.h>

#include <mutex>
#include <thread>

class wxInputStream;

// Command identifier 0; its string is the newest version, or "" when no document came back or it names
// no version of this product.
wxDECLARE_EVENT(wxEVT_COMMAND_UPDATE_RESULT, wxCommandEvent);

// The version that the document's last element naming the product gives: the value of the attribute
// that directly follows the one holding the display name. "" for anything else, bad XML included.
wxString ReadNewestVersion(wxInputStream& stream);

// Negative when version `a` is older than `b`, 0 when they are the same, positive when `a` is newer.
// Versions are dot-separated numbers compared part by part ("1.2.10" after "1.2.9", "1.10" after "1.9");
// missing parts count as 0 ("1.2" equals "1.2.0"), and a part's value is its leading digits.
// Each version is compared through a 9-byte key: parts below 240 take one byte, larger ones two to six.
// What does not fit in nine bytes is not compared, so versions that differ only beyond that (from the
// tenth part of small numbers on) compare as the same.
int CompareVersions(const wxString& a, const wxString& b);

class UpdateFetch {
public:
    static constexpr int kTimeoutSeconds = 10;

    UpdateFetch() = default;
    // Waits for a running fetch.
    ~UpdateFetch();
    UpdateFetch(const UpdateFetch&) = delete;
    UpdateFetch& operator=(const UpdateFetch&) = delete;

    // Fetches the document at `address` and queues the result to `target`. Does nothing and returns false
    // when the address is no usable URL (an empty one included) or a fetch is still running.
    // Must be called on the GUI thread.
    bool Start(const wxString& address, wxEvtHandler* target, int timeoutSeconds = kTimeoutSeconds);
    bool IsRunning() const;
    // `target` is going away: a running fetch delivers its result nowhere.
    void Forget(wxEvtHandler* target);
    // Blocks until a running fetch has ended, at most about its timeout.
    void Wait();

private:
    void Run(HttpAddress address, int timeoutSeconds);

    mutable std::mutex m_mutex;
    wxEvtHandler* m_target = nullptr;
    bool m_running = false;
    std::thread m_worker;
};

// The process's one fetch: the window starts it and forgets itself when destroyed; the application
// waits for it before the toolkit's sockets go away.
UpdateFetch& TheUpdateFetch();
