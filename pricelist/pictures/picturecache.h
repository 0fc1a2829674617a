#pragma once
// The process-wide cache of decoded, fitted pictures (a few MB, the least recently used
// dropped first), keyed by path, the file's identity (inode, size, times) and the box
// size, so a file that changes on disk is decoded again. A worker thread decodes the
// pictures asked for ahead of time (the detail dialog's neighbours); a decode failure is
// remembered and thrown by load(), on the caller's thread, never by the worker.

#include "pricelist/pictures/decodedpicture.h"

#include <QString>
#include <QStringList>

#include <memory>

class PictureCache {
public:
    static PictureCache& instance();
    ~PictureCache();

    // The picture of the file at path fitted to box: from the cache, or waited for while
    // the worker decodes it, else decoded here. Throws as decodePicture does. decodedHere
    // (when given) tells whether this call decoded.
    DecodedPicture load(const QString& path, QSize box, bool* decodedHere = nullptr);
    // Decodes these files on the worker thread unless they are cached; earlier requests
    // not yet started are dropped.
    void prefetch(const QStringList& paths, QSize box);

    // Tests and benchmarks: wait until the worker has nothing to do; its decode count;
    // empty the cache; the capacity in bytes of pixels.
    void waitUntilIdle();
    int workerDecodes() const;
    void clear();
    void setCapacity(qint64 bytes);

private:
    PictureCache();
    struct State;
    std::unique_ptr<State> state_;
};
