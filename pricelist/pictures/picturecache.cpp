#include "pricelist/pictures/picturecache.h"

#include "common/errors.h"
#include "pricelist/pictures/picturedecoder.h"
#include "pricelist/pictures/picturefile.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <list>
#include <mutex>
#include <optional>
#include <thread>

namespace {

// About twenty pictures of the detail dialog's box.
constexpr qint64 defaultCapacity = qint64(6) * 1024 * 1024;
constexpr int entryLimit = 64;

struct Key {
    QString path;
    PictureFile::Identity file;
    QSize box;
    bool operator==(const Key&) const = default;
};

struct Entry {
    Key key;
    std::optional<DecodedPicture> picture;
    std::optional<Error> failure;
    qint64 bytes() const { return picture ? picture->shown.sizeInBytes() : 0; }
};

struct Job {
    QString path;
    QSize box;
};

std::optional<Key> keyOf(const QString& path, QSize box)
{
    Key key {path, {}, box};
    if (!PictureFile::identify(path, key.file))
        return std::nullopt;
    return key;
}

Entry decodeEntry(const Key& key)
{
    Entry entry {key, std::nullopt, std::nullopt};
    try {
        entry.picture = decodePicture(key.path, key.box);
    } catch (const Error& error) {
        entry.failure = error;
    } catch (const std::bad_alloc&) {
        entry.failure = Error(QStringLiteral("Out of memory"));
    }
    return entry;
}

} // namespace

struct PictureCache::State {
    std::mutex mutex;
    std::condition_variable changed;
    std::list<Entry> entries; // most recently used first
    std::list<Key> decoding;
    std::deque<Job> jobs;
    qint64 capacity = defaultCapacity;
    int workerDecodes = 0;
    bool busy = false;
    bool stopping = false;
    std::thread worker;

    std::list<Entry>::iterator find(const Key& key)
    {
        for (auto it = entries.begin(); it != entries.end(); ++it)
            if (it->key == key)
                return it;
        return entries.end();
    }
    bool isDecoding(const Key& key) const { return std::find(decoding.begin(), decoding.end(), key) != decoding.end(); }

    void insert(Entry entry)
    {
        // An older version of the same file at the same size is of no more use.
        entries.remove_if([&](const Entry& e) { return e.key.path == entry.key.path && e.key.box == entry.key.box; });
        entries.push_front(std::move(entry));
        qint64 total = 0;
        int count = 0;
        for (auto it = entries.begin(); it != entries.end();) {
            total += it->bytes();
            if (++count > 1 && (total > capacity || count > entryLimit))
                it = entries.erase(it);
            else
                ++it;
        }
    }

    void run()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || !jobs.empty(); });
            if (stopping)
                return;
            const Job job = jobs.front();
            jobs.pop_front();
            busy = true;
            lock.unlock();
            const std::optional<Key> key = keyOf(job.path, job.box);
            lock.lock();
            if (key && find(*key) == entries.end() && !isDecoding(*key)) {
                decoding.push_back(*key);
                lock.unlock();
                Entry entry = decodeEntry(*key);
                lock.lock();
                decoding.remove(*key);
                ++workerDecodes;
                insert(std::move(entry));
            }
            busy = false;
            changed.notify_all();
        }
    }
};

PictureCache::PictureCache() : state_(std::make_unique<State>()) {}

PictureCache::~PictureCache()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        state_->jobs.clear();
    }
    state_->changed.notify_all();
    if (state_->worker.joinable())
        state_->worker.join();
}

PictureCache& PictureCache::instance()
{
    static PictureCache cache;
    return cache;
}

DecodedPicture PictureCache::load(const QString& path, QSize box, bool* decodedHere)
{
    if (decodedHere)
        *decodedHere = false;
    const std::optional<Key> key = keyOf(path, box);
    if (!key) {
        // Missing: the decoder gives the error.
        if (decodedHere)
            *decodedHere = true;
        return decodePicture(path, box);
    }
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    // A decode on the worker ends within the decoders' own limits.
    s.changed.wait(lock, [&] { return !s.isDecoding(*key); });
    auto found = s.find(*key);
    if (found == s.entries.end()) {
        s.decoding.push_back(*key);
        lock.unlock();
        if (decodedHere)
            *decodedHere = true;
        Entry entry = decodeEntry(*key);
        lock.lock();
        s.decoding.remove(*key);
        s.insert(std::move(entry));
        s.changed.notify_all();
        found = s.find(*key);
    } else {
        s.entries.splice(s.entries.begin(), s.entries, found);
    }
    if (found->failure)
        throw *found->failure;
    return *found->picture;
}

void PictureCache::prefetch(const QStringList& paths, QSize box)
{
    State& s = *state_;
    {
        std::lock_guard lock(s.mutex);
        s.jobs.clear();
        for (const QString& path : paths)
            s.jobs.push_back({path, box});
        if (!s.worker.joinable() && !paths.isEmpty())
            s.worker = std::thread([&s] { s.run(); });
    }
    s.changed.notify_all();
}

void PictureCache::waitUntilIdle()
{
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    s.changed.wait(lock, [&] { return s.jobs.empty() && !s.busy; });
}

int PictureCache::workerDecodes() const
{
    std::lock_guard lock(state_->mutex);
    return state_->workerDecodes;
}

void PictureCache::clear()
{
    std::lock_guard lock(state_->mutex);
    state_->entries.clear();
}

void PictureCache::setCapacity(qint64 bytes)
{
    std::lock_guard lock(state_->mutex);
    state_->capacity = bytes;
}
