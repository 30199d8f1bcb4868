#include "platform/files/file_progress.h"

void FileProgress::setItem(const std::string& path)
{
    {
        std::lock_guard lock(mutex_);
        item_ = path;
    }
    if (listener_)
        listener_(*this);
}

std::string FileProgress::item() const
{
    std::lock_guard lock(mutex_);
    return item_;
}

bool FileProgress::advance(std::uint64_t bytes)
{
    done_ += bytes;
    if (listener_)
        listener_(*this);
    return !cancelled_;
}

void FileProgress::finish()
{
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    finishedSignal_.notify_all();
}

bool FileProgress::waitFinished(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return finishedSignal_.wait_for(lock, timeout, [this] { return finished_.load(); });
}

void FileProgress::setListener(std::function<void(FileProgress&)> listener)
{
    listener_ = std::move(listener);
}
