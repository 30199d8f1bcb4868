#include "platform/titles/page_titles.h"

#include "platform/base/shown_text.h"
#include "platform/titles/page_title.h"
#include "platform/titles/title_search.h"

#include <QMetaObject>

#include <chrono>
#include <sys/stat.h>

TitleCache::TitleCache(ReadTitle read) : read(std::move(read)) {}

QString TitleCache::titleOf(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return read(path);
    const long long size = info.st_size;
    const long long modified = info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
    {
        const std::lock_guard lock(mutex);
        const auto found = known.find(path);
        if (found != known.end() && found->second.size == size &&
            found->second.modified == modified)
            return found->second.title;
    }
    // Read outside the lock, so that readers of other pages never wait for this one.
    const QString title = read(path);
    const std::lock_guard lock(mutex);
    known[path] = Known{size, modified, title};
    return title;
}

QString cachedPageTitle(const std::string& path)
{
    static TitleCache cache(readPageTitle);
    return cache.titleOf(path);
}

TitleLoader::TitleLoader(ReadTitle read, std::function<void(const Batch&)> arrived, QObject* parent)
    : QObject(parent), read(std::move(read)), arrived(std::move(arrived)),
      cancelled(std::make_shared<std::atomic<bool>>(false))
{
    worker.setMaxThreadCount(1);
}

TitleLoader::~TitleLoader()
{
    stop();
    worker.waitForDone();
}

void TitleLoader::stop()
{
    cancelled->store(true);
    cancelled = std::make_shared<std::atomic<bool>>(false);
    ++generation;
}

void TitleLoader::load(std::vector<std::string> paths)
{
    stop();
    const unsigned long long batchGeneration = generation;
    worker.start(
        [this, paths = std::move(paths), read = read, cancelled = cancelled, batchGeneration] {
            using Clock = std::chrono::steady_clock;
            // Often enough for the list to fill in as it is looked at, seldom enough to cost
            // nothing.
            constexpr auto kPause = std::chrono::milliseconds(30);
            Batch batch;
            auto sent = Clock::now();
            const auto send = [&] {
                QMetaObject::invokeMethod(
                    this,
                    [this, batch = std::move(batch), batchGeneration] {
                        if (batchGeneration == generation)
                            arrived(batch);
                    },
                    Qt::QueuedConnection);
                batch = Batch();
                sent = Clock::now();
            };
            for (std::size_t i = 0; i < paths.size() && !cancelled->load(); ++i) {
                const std::string& path = paths[i];
                QString title = read(path);
                QString key = searchKey(title, shownText(path.substr(path.rfind('/') + 1)));
                batch.push_back({i, std::move(title), std::move(key)});
                if (Clock::now() - sent >= kPause)
                    send();
            }
            if (!batch.empty() && !cancelled->load())
                send();
        });
}
