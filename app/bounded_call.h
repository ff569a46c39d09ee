#pragma once
// Calls that cannot be interrupted (name resolution has no timeout) bounded by a deadline: the call runs
// on a helper thread of its own, and whoever waits stops waiting when the deadline passes. A helper
// still running then finishes on its own and throws its result away.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

template <typename T>
std::optional<T> CallWithin(std::chrono::steady_clock::time_point deadline, std::function<T()> work) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable finished;
        std::optional<T> result;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, work = std::move(work)] {
        T value = work();
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->result = std::move(value);
        shared->finished.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(shared->mutex);
    if (!shared->finished.wait_until(lock, deadline, [&shared] { return shared->result.has_value(); }))
        return std::nullopt;
    return std::move(shared->result);
}
