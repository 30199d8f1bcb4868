#pragma once

#include "platform/files/file_failure.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

// The state of one long piece of work, shared between the worker thread that does it and the
// dialogs that show it: what is done, on which file, how many bytes, and whether to stop.
class FileProgress {
public:
    explicit FileProgress(FileAction action) : action_(action) {}

    FileAction action() const { return action_; }

    void setTotal(std::uint64_t bytes) { total_ = bytes; }
    // Counts more bytes to do, for work whose later items are known only as it goes.
    void addToTotal(std::uint64_t bytes) { total_ += bytes; }
    std::uint64_t total() const { return total_; }
    std::uint64_t done() const { return done_; }

    void setItem(const std::string& path);
    std::string item() const;

    // Counts bytes just written; false once a cancel was asked, so that the worker stops.
    bool advance(std::uint64_t bytes);

    void requestCancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

    // Called by the worker when its work has ended, whatever the outcome.
    void finish();
    bool finished() const { return finished_; }
    // Waits until the work has ended or the time is up; true when it has ended.
    bool waitFinished(std::chrono::milliseconds timeout);

    // A function told of every step on the worker thread (set before the work starts).
    void setListener(std::function<void(FileProgress&)> listener);

private:
    const FileAction action_;
    std::atomic<std::uint64_t> total_{0};
    std::atomic<std::uint64_t> done_{0};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    mutable std::mutex mutex_;
    std::condition_variable finishedSignal_;
    std::string item_;
    std::function<void(FileProgress&)> listener_;
};
