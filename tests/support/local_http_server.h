#pragma once
// A small HTTP server on 127.0.0.1 for tests that fetch over the network. It runs on a thread of its own,
// on a free port, and answers every request with one fixed response, at once or trickled out byte by byte.

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LocalHttpServer {
public:
    // An HTTP/1.0 response with the given status line text ("200 OK") and body.
    static std::string Response(const std::string& status, const std::string& body);

    // With a pause, the response trickles out one byte per pause.
    explicit LocalHttpServer(std::string response, std::chrono::milliseconds pause = std::chrono::milliseconds(0));
    ~LocalHttpServer();

    int Port() const { return m_port; }
    std::string Address(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
    // Bytes of the response sent so far, and the request lines received ("GET /x HTTP/1.0").
    size_t Trickled() const { return m_trickled; }
    std::vector<std::string> RequestLines() const;

private:
    void Serve();

    const std::string m_response;
    const std::chrono::milliseconds m_pause;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<size_t> m_trickled{0};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requestLines;
    std::thread m_thread;
};
