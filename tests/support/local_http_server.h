#pragma once
// A small HTTP server on 127.0.0.1 for tests that fetch over the network. It runs on a thread of its own,
// on a free port, and answers every request with one fixed response, or, when it has none, accepts
// connections and never answers them.

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class LocalHttpServer {
public:
    // An HTTP/1.0 response with the given status line text ("200 OK") and body.
    static std::string Response(const std::string& status, const std::string& body);

    // Without a response the server stays silent. With a pause, the response trickles out one byte per pause.
    explicit LocalHttpServer(std::optional<std::string> response,
                             std::chrono::milliseconds pause = std::chrono::milliseconds(0));
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int Port() const { return m_port; }
    std::string Address(const std::string& path) const;

    // Connections accepted so far, and the request lines received ("GET /x HTTP/1.0").
    int Accepted() const { return m_accepted; }
    // Bytes of a trickled response sent so far.
    size_t Trickled() const { return m_trickled; }
    std::vector<std::string> RequestLines() const;

    // Closes the connections a silent server holds, so that their clients see the end at once.
    void HangUp();

private:
    void Serve();
    // Sends the response one byte per pause; stops early when the server is being destroyed.
    void Trickle(int connection);
    std::string ReadRequest(int connection);

    std::optional<std::string> m_response;
    std::chrono::milliseconds m_pause;
    int m_listener = -1;
    int m_wakeUp[2] = {-1, -1};
    int m_port = 0;
    std::atomic<int> m_accepted{0};
    std::atomic<size_t> m_trickled{0};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requestLines;
    std::vector<int> m_held;
    std::thread m_thread;
};

// A port on 127.0.0.1 that refuses connections: bound for the object's lifetime, never listening.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    int Port() const { return m_port; }

private:
    int m_socket = -1;
    int m_port = 0;
};
