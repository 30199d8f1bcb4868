#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

using ReadTitle = std::function<QString(const std::string& path)>;

// Titles already read, kept for the run: a file whose size or modification time has changed since
// is read again. Safe to use from any thread.
class TitleCache {
public:
    explicit TitleCache(ReadTitle read);
    QString titleOf(const std::string& path);

private:
    struct Known {
        long long size = 0;
        long long modified = 0; // nanoseconds
        QString title;
    };
    ReadTitle read;
    std::mutex mutex;
    std::unordered_map<std::string, Known> known;
};

// The title of the page at `path`, read once for the run (see TitleCache).
QString cachedPageTitle(const std::string& path);

// Reads titles on a worker thread and hands them to `arrived` on the thread that owns the loader,
// a batch at a time, with their search keys (see title_search.h), so that this thread neither
// waits for the disk nor spends long on a batch.
class TitleLoader : public QObject {
public:
    struct Read {
        std::size_t index; // in the paths
        QString title;
        QString key;
    };
    using Batch = std::vector<Read>;
    TitleLoader(ReadTitle read, std::function<void(const Batch&)> arrived,
                QObject* parent = nullptr);
    ~TitleLoader() override;

    // Reads the titles of `paths` in their order, in place of any reading under way.
    void load(std::vector<std::string> paths);
    // Drops the reading under way: none of its titles arrives any more.
    void stop();

private:
    ReadTitle read;
    std::function<void(const Batch&)> arrived;
    QThreadPool worker;
    std::shared_ptr<std::atomic<bool>> cancelled;
    unsigned long long generation = 0;
};
