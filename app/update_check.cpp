#include "app/update_check.h"

#include "app/http_get.h"
#include "app/paths.h"
#include "app/xml_nesting.h"

#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/stream.h>
#include <wx/url.h>
#include <wx/xml/xml.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

wxDEFINE_EVENT(wxEVT_COMMAND_UPDATE_RESULT, wxCommandEvent);

namespace {
// The reply needs two levels; anything far deeper is no reply of ours.
constexpr size_t kDeepestReply = 64;
}  // namespace

namespace {

constexpr size_t kKeyLength = 9;
// Part values below this take one byte; the bytes above it announce how many digits follow.
constexpr std::uint32_t kOneByteLimit = 240;

// The numbers of a version, without the trailing zeros, so that "1.2" and "1.2.0" give the same key.
// A part's value is its leading digits (0 without any), saturated at the largest 32-bit value.
std::vector<std::uint32_t> VersionParts(const wxString& version) {
    wxString text = version;
    text.Trim(true).Trim(false);
    const std::string bytes(text.utf8_str());
    std::vector<std::uint32_t> parts;
    if (bytes.empty())
        return parts;
    size_t start = 0;
    while (true) {
        std::uint64_t value = 0;
        for (size_t i = start; i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9'; ++i)
            value = std::min<std::uint64_t>(value * 10 + static_cast<unsigned>(bytes[i] - '0'), UINT32_MAX);
        parts.push_back(static_cast<std::uint32_t>(value));
        const size_t dot = bytes.find('.', start);
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    while (!parts.empty() && parts.back() == 0)
        parts.pop_back();
    return parts;
}

// Each part becomes bytes that never hold 0 and sort as the numbers do: 1..240 for the values below 240;
// otherwise 0xF0 plus the count of base-255 digits of (value - 240), then those digits plus one. A part
// is never a prefix of another, and the end of the key (the zero fill) sorts before any further part.
void AppendPart(std::uint32_t value, std::string& key) {
    if (value < kOneByteLimit) {
        key += static_cast<char>(value + 1);
        return;
    }
    std::uint32_t rest = value - kOneByteLimit;
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>(rest % 255 + 1));
        rest /= 255;
    } while (rest > 0);
    key += static_cast<char>(0xF0 + digits.size());
    key += digits;
}

std::array<char, kKeyLength + 1> VersionKey(const wxString& version) {
    std::string key;
    for (std::uint32_t part : VersionParts(version)) {
        AppendPart(part, key);
        if (key.size() >= kKeyLength)
            break;
    }
    std::array<char, kKeyLength + 1> buffer{};
    std::memcpy(buffer.data(), key.data(), std::min(key.size(), kKeyLength));
    return buffer;
}

}  // namespace

wxString ReadNewestVersion(wxInputStream& stream) {
    if (!stream.IsOk())
        return wxString();
    // The reply comes from the network: measured before the toolkit builds its recursive tree of it.
    std::string bytes;
    char buffer[16384];
    while (stream.Read(buffer, sizeof buffer).LastRead() > 0)
        bytes.append(buffer, stream.LastRead());
    if (!xml_nesting::NestedAtMost(bytes.data(), bytes.size(), kDeepestReply))
        return wxString();
    wxMemoryInputStream reply(bytes.data(), bytes.size());
    wxXmlDocument document;
    {
        wxLogNull silence;  // a broken document is a failed check, not a log message
        if (!document.Load(reply, "UTF-8") || !document.GetRoot())
            return wxString();
    }
    const wxString product = paths::DisplayName();
    wxString newest;
    for (const wxXmlNode* element = document.GetRoot()->GetChildren(); element; element = element->GetNext()) {
        if (element->GetType() != wxXML_ELEMENT_NODE)
            continue;
        for (const wxXmlAttribute* attribute = element->GetAttributes(); attribute && attribute->GetNext();
             attribute = attribute->GetNext()) {
            if (attribute->GetValue() == product) {
                newest = attribute->GetNext()->GetValue();
                break;
            }
        }
    }
    return newest;
}

int CompareVersions(const wxString& a, const wxString& b) {
    return std::strncmp(VersionKey(a).data(), VersionKey(b).data(), kKeyLength);
}

UpdateFetch::~UpdateFetch() { Wait(); }

bool UpdateFetch::Start(const wxString& address, wxEvtHandler* target, int timeoutSeconds) {
    HttpAddress http;
    {
        wxLogNull silence;
        wxURL url(address);
        if (url.GetError() != wxURL_NOERR)
            return false;
        http.host = url.GetServer().utf8_string();
        http.port = url.HasPort() ? url.GetPort().utf8_string() : std::string("80");
        http.path = url.GetPath().empty() ? std::string("/") : url.GetPath().utf8_string();
        if (url.HasQuery())
            http.path += "?" + url.GetQuery().utf8_string();
        // Only plain HTTP is fetched; another scheme simply finds no version.
        if (url.GetScheme() != "http")
            http.host.clear();
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_running)
        return false;
    if (m_worker.joinable())
        m_worker.join();  // the previous fetch has delivered its result and is ending
    m_target = target;
    m_running = true;
    m_worker = std::thread(&UpdateFetch::Run, this, http, timeoutSeconds);
    return true;
}

bool UpdateFetch::IsRunning() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_running;
}

void UpdateFetch::Forget(wxEvtHandler* target) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_target == target)
        m_target = nullptr;
}

void UpdateFetch::Wait() {
    std::thread worker;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        worker.swap(m_worker);
    }
    if (worker.joinable())
        worker.join();
}

void UpdateFetch::Run(HttpAddress address, int timeoutSeconds) {
    wxLogNull silence;  // on this thread only: failures are told by the empty result
    wxString newest;
    if (!address.host.empty()) {
        if (const std::optional<std::string> body = HttpGet(address, timeoutSeconds)) {
            wxMemoryInputStream stream(body->data(), body->size());
            newest = ReadNewestVersion(stream);
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_target) {
        auto event = std::make_unique<wxCommandEvent>(wxEVT_COMMAND_UPDATE_RESULT, 0);
        event->SetString(newest.Clone());  // nothing of this thread's string may be shared with the window's
        wxQueueEvent(m_target, event.release());
    }
    m_target = nullptr;
    m_running = false;
}

UpdateFetch& TheUpdateFetch() {
    static UpdateFetch fetch;
    return fetch;
}
