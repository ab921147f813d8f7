#include "encodedimagecache.h"

#include "imagekernel.h"
#include "largebuffers.h"
#include "pngencoder.h"
#include "workercourier.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QThread>
#include <QThreadPool>
#include <QWidget>
#include <QtDebug>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <list>
#include <utility>
#include <vector>

namespace {

// What the workers make for one pair, handed to the GUI thread under the mutex.
struct Work
{
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false;    // the encoding itself has begun
    bool abandoned = false;  // given up before it began: no bytes will come
    bool hurry = false;      // a picture waits: end the wait before encoding
    bool bytesDone = false;
    QByteArray bytes;
    bool itself = false;
    bool base64Done = false;
    QByteArray base64;  // Latin-1
    bool decodeDone = false;
    QImage decoded;
};

enum class Stage { None, Queued, Running, Done };

struct Waiter
{
    EncodedImageCache::Ticket ticket = 0;
    QPointer<QObject> receiver;
    bool wantsText = false;  // else the bytes, then the picture
    bool bytesDelivered = false;
    EncodedImageCache::TextCallback onText;
    EncodedImageCache::BytesCallback onBytes;
    EncodedImageCache::PictureCallback onPicture;
};

struct Entry
{
    quint64 id = 0;
    qint64 key = 0;
    QString formatSpec;
    QPixmap pixmap;  // the source: encoded by the worker, and the picture where it decodes to itself
    Stage encode = Stage::None;
    Stage decode = Stage::None;
    std::shared_ptr<Work> work;

    bool hasBytes = false;
    QByteArray bytes;
    bool itself = false;
    bool hasBase64 = false;
    QByteArray base64;  // Latin-1, shared with the text views
    bool hasPicture = false;
    QPixmap picture;

    std::vector<Waiter> waiters;

    bool hasLiveWaiters() const
    {
        for (const Waiter &waiter : waiters)
            if (waiter.receiver)
                return true;
        return false;
    }
};

std::atomic<quint64> nextTicket{1};

// Standard alphabet, padded, one line: the same characters as
// MTools::toBase64String, kept as Latin-1 bytes (half the size of a QString).
QByteArray base64Of(const QByteArray &bytes)
{
    return bytes.toBase64(QByteArray::Base64Encoding);
}

// One encoding runs for the requests that wait; the PNG writer already uses
// every core. An encoding nobody waits for any more cannot be stopped, so one
// more may run beside it, and no further one.
constexpr int maxRunningEncodes = 2;
// An encoding for text views only (a new pixmap on a text tab, a format
// change), or one that supersedes another, first waits this long on its worker
// and is given up if superseded meanwhile: while a slider is dragged no
// encoding competes with the GUI thread for the cores, and the encoding for
// the last step does not queue behind stale ones. A picture request (a new
// file, a slider let go) starts at once.
constexpr int graceMs = 200;
// Results kept without anyone waiting for them.
constexpr int keptPairs = 2;

bool isVisibleWidget(const QObject *object)
{
    return object && object->isWidgetType() && static_cast<const QWidget *>(object)->isVisible();
}

} // namespace

struct EncodedImageCache::Impl
{
    WorkerCourier courier;  // workers post their results back through it
    std::list<std::unique_ptr<Entry>> entries;  // most recently requested first
    quint64 nextEntryId = 1;
    int runningEncodes = 0;
    int runningDecodes = 0;
    int postedDeliveries = 0;
    int encodeCount = 0;
    int decodeCount = 0;
    int shortcutCount = 0;
    QElapsedTimer lastSuperseded;  // when work last lost its last request

    Entry *byId(quint64 id)
    {
        for (auto &entry : entries)
            if (entry->id == id)
                return entry.get();
        return nullptr;
    }

    // The entry of the pair, created if new, moved to the front.
    Entry *touch(const QPixmap &pixmap, const QString &formatSpec)
    {
        const qint64 key = pixmap.cacheKey();
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if ((*it)->key == key && (*it)->formatSpec == formatSpec) {
                entries.splice(entries.begin(), entries, it);
                return entries.front().get();
            }
        }
        auto entry = std::make_unique<Entry>();
        entry->id = nextEntryId++;
        entry->key = key;
        entry->formatSpec = formatSpec;
        entry->pixmap = pixmap;
        Entry *e = entry.get();
        entries.push_front(std::move(entry));
        const QString name = formatName(formatSpec);
        // Nothing to encode: the rule answers at once (and logs an unknown name).
        if (pixmap.isNull() || (name != QLatin1String("PNG") && name != QLatin1String("JPG")))
            encodeHere(e);
        prune();
        return e;
    }

    // Encodes on the calling (GUI) thread.
    void encodeHere(Entry *e)
    {
        const QImage image = e->pixmap.toImage();
        e->bytes = encode(image, e->formatSpec);
        e->itself = !e->bytes.isEmpty() && e->pixmap.devicePixelRatio() == 1.0
                    && decodesToItself(image, e->formatSpec);
        e->hasBytes = true;
        e->base64 = base64Of(e->bytes);
        e->hasBase64 = true;
        e->encode = Stage::Done;
        ++encodeCount;
    }

    // False when the running work was given up before it began.
    bool takeBytes(Entry *e)
    {
        if (e->hasBytes || !e->work)
            return e->hasBytes;
        std::unique_lock<std::mutex> lock(e->work->mutex);
        while (!e->work->bytesDone && !e->work->abandoned)
            e->work->changed.wait(lock);
        if (!e->work->bytesDone)
            return false;
        e->bytes = e->work->bytes;
        e->itself = e->work->itself;
        e->hasBytes = true;
        ++encodeCount;
        return true;
    }

    void takeBase64(Entry *e)
    {
        if (e->hasBase64 || !e->work || !e->hasBytes)
            return;
        std::unique_lock<std::mutex> lock(e->work->mutex);
        while (!e->work->base64Done && !e->work->abandoned)
            e->work->changed.wait(lock);
        if (!e->work->base64Done)
            return;
        e->base64 = std::move(e->work->base64);
        e->hasBase64 = true;
    }

    void takePicture(Entry *e)
    {
        if (e->hasPicture || !e->work)
            return;
        QImage decoded;
        {
            std::unique_lock<std::mutex> lock(e->work->mutex);
            while (!e->work->decodeDone)
                e->work->changed.wait(lock);
            decoded = std::move(e->work->decoded);
        }
        e->picture = QPixmap::fromImage(std::move(decoded));
        e->hasPicture = true;
    }

    // Synchronous products: wait for running work, do the rest here. Work
    // handed to the pool that has not begun is taken over rather than waited
    // for: the pool may be busy with other work for a long time.
    void ensureBytes(Entry *e)
    {
        if (e->hasBytes)
            return;
        if (e->encode == Stage::Running && e->work) {
            std::lock_guard<std::mutex> lock(e->work->mutex);
            if (!e->work->started) {
                e->work->abandoned = true;
                e->work->changed.notify_all();
            }
        }
        if (e->encode != Stage::Running || !takeBytes(e))
            encodeHere(e);
        scheduleDelivery(e);
    }

    void ensureBase64(Entry *e)
    {
        ensureBytes(e);
        if (e->hasBase64)
            return;
        if (e->encode == Stage::Running && e->work && e->work->started) {
            takeBase64(e);
        } else {
            e->base64 = base64Of(e->bytes);
            e->hasBase64 = true;
        }
    }

    void ensurePicture(Entry *e)
    {
        ensureBytes(e);
        if (e->hasPicture)
            return;
        if (takePictureFromSource(e))
            return;
        if (e->decode == Stage::Running) {
            takePicture(e);
            return;
        }
        e->picture = QPixmap::fromImage(decode(e->bytes));
        e->hasPicture = true;
        e->decode = Stage::Done;
        ++decodeCount;
    }

    bool takePictureFromSource(Entry *e)
    {
        if (!e->hasBytes || !e->itself || e->hasPicture)
            return e->hasPicture;
        e->picture = e->pixmap;
        e->hasPicture = true;
        e->decode = Stage::Done;
        ++decodeCount;
        ++shortcutCount;
        return true;
    }

    // Gives up running work that nobody waits for, if it has not begun.
    // Returns true if the entry had work under way that is now unwanted.
    bool dropUnwanted(Entry *e)
    {
        if (e->hasLiveWaiters() || (e->encode != Stage::Running && e->encode != Stage::Queued))
            return false;
        if (e->encode == Stage::Running && e->work) {
            std::unique_lock<std::mutex> lock(e->work->mutex);
            if (!e->work->started) {
                e->work->abandoned = true;
                e->work->changed.notify_all();
            }
        }
        return true;
    }

    // A request for a new pair supersedes the work that has just lost its
    // requests (a view cancels its old request before it makes the new one).
    void supersedeOthers(const Entry *requested)
    {
        for (auto &entry : entries)
            if (entry.get() != requested && dropUnwanted(entry.get()))
                lastSuperseded.start();
    }

    // After a cancel: the work is given up unless asked for again meanwhile.
    void reviewLater(Entry *e)
    {
        ++postedDeliveries;
        const quint64 id = e->id;
        courier.post([this, id] {
            --postedDeliveries;
            if (Entry *entry = byId(id))
                dropUnwanted(entry);
            startNext();
            prune();
        });
    }

    bool isWanted(const Entry &e) const
    {
        if (!e.hasLiveWaiters() || !e.work)
            return false;
        std::lock_guard<std::mutex> lock(e.work->mutex);
        return !e.work->abandoned;
    }

    void startNext()
    {
        for (const auto &entry : entries)
            if (entry->encode == Stage::Running && isWanted(*entry))
                return;  // the wanted encoding runs; the next waits for it
        if (runningEncodes < maxRunningEncodes) {
            Entry *next = nullptr;
            for (auto &entry : entries) {
                if (entry->encode != Stage::Queued)
                    continue;
                if (!entry->hasLiveWaiters()) {
                    entry->encode = Stage::None;  // nobody waits for it any more
                    continue;
                }
                next = entry.get();
                break;
            }
            if (!next)
                return;
            const bool superseding = lastSuperseded.isValid() && lastSuperseded.elapsed() < graceMs;
            bool forPicture = false;
            for (const Waiter &w : next->waiters)
                forPicture = forPicture || (w.receiver && !w.wantsText);
            startEncode(next, superseding || !forPicture ? graceMs : 0);
        }
    }

    // A picture request joins work that may still be waiting: start it now.
    void hurry(Entry *e)
    {
        if (e->encode != Stage::Running || !e->work)
            return;
        std::lock_guard<std::mutex> lock(e->work->mutex);
        e->work->hurry = true;
        e->work->changed.notify_all();
    }

    void startEncode(Entry *e, int grace)
    {
        e->encode = Stage::Running;
        ++runningEncodes;
        auto work = std::make_shared<Work>();
        e->work = work;
        const QImage image = e->pixmap.toImage();
        const QString formatSpec = e->formatSpec;
        const bool plainScale = e->pixmap.devicePixelRatio() == 1.0;
        const quint64 id = e->id;
        const WorkerCourier::Address back = courier.address();
        Impl *self = this;
        QThreadPool::globalInstance()->start([=] {
            {
                std::unique_lock<std::mutex> lock(work->mutex);
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(grace);
                work->changed.wait_until(lock, deadline, [&] { return work->abandoned || work->hurry; });
                if (work->abandoned) {
                    lock.unlock();
                    back.post([self, id] { self->encodeFinished(id); });
                    return;
                }
                work->started = true;
            }
            const QByteArray bytes = encode(image, formatSpec);
            const bool itself = plainScale && !bytes.isEmpty() && decodesToItself(image, formatSpec);
            {
                std::lock_guard<std::mutex> lock(work->mutex);
                work->bytes = bytes;
                work->itself = itself;
                work->bytesDone = true;
                work->changed.notify_all();
            }
            back.post([self, id] { self->bytesReady(id); });
            QByteArray base64 = base64Of(bytes);
            {
                std::lock_guard<std::mutex> lock(work->mutex);
                work->base64 = std::move(base64);
                work->base64Done = true;
                work->changed.notify_all();
            }
            back.post([self, id] { self->encodeFinished(id); });
        });
    }

    void startDecode(Entry *e)
    {
        e->decode = Stage::Running;
        ++runningDecodes;
        ++decodeCount;
        if (!e->work)
            e->work = std::make_shared<Work>();
        const std::shared_ptr<Work> work = e->work;
        const QByteArray bytes = e->bytes;
        const quint64 id = e->id;
        const WorkerCourier::Address back = courier.address();
        Impl *self = this;
        QThreadPool::globalInstance()->start([=] {
            QImage decoded = decode(bytes);
            {
                std::lock_guard<std::mutex> lock(work->mutex);
                work->decoded = std::move(decoded);
                work->decodeDone = true;
                work->changed.notify_all();
            }
            back.post([self, id] { self->decodeFinished(id); });
        });
    }

    void bytesReady(quint64 id)
    {
        if (Entry *e = byId(id)) {
            takeBytes(e);
            deliver(e);
        }
    }

    void encodeFinished(quint64 id)
    {
        --runningEncodes;
        Entry *e = byId(id);
        if (e && e->encode == Stage::Running && !e->hasBytes && !takeBytes(e)) {
            // Given up before it began; encoded again if someone asks by now.
            e->work.reset();
            e->encode = e->hasLiveWaiters() ? Stage::Queued : Stage::None;
            e = nullptr;
        }
        if (e) {
            takeBase64(e);
            e->encode = Stage::Done;
            deliver(e);
        }
        startNext();
        prune();
    }

    void decodeFinished(quint64 id)
    {
        --runningDecodes;
        if (Entry *e = byId(id)) {
            takePicture(e);
            e->decode = Stage::Done;
            deliver(e);
        }
        prune();
    }

    void scheduleDelivery(Entry *e)
    {
        if (e->waiters.empty())
            return;
        ++postedDeliveries;
        const quint64 id = e->id;
        courier.post([this, id] {
            --postedDeliveries;
            if (Entry *entry = byId(id))
                deliver(entry);
        });
    }

    bool isReady(const Entry *e, const Waiter &w) const
    {
        if (w.wantsText)
            return e->hasBase64;
        return e->hasBytes && (!w.bytesDelivered || e->hasPicture);
    }

    // Hands one finished result to one waiting request, those of visible
    // widgets first; the others follow in later rounds of the event loop so
    // that no single round sets more than one big text.
    void deliver(Entry *e)
    {
        e->waiters.erase(std::remove_if(e->waiters.begin(), e->waiters.end(),
                                        [](const Waiter &w) { return !w.receiver; }),
                         e->waiters.end());
        dropUnwanted(e);
        bool needsPicture = false;
        for (const Waiter &w : e->waiters)
            needsPicture = needsPicture || !w.wantsText;
        if (needsPicture && e->hasBytes && !e->hasPicture && !takePictureFromSource(e)
            && e->decode == Stage::None)
            startDecode(e);

        int chosen = -1;
        int ready = 0;
        for (int i = 0; i < int(e->waiters.size()); ++i) {
            const Waiter &w = e->waiters[size_t(i)];
            if (!isReady(e, w))
                continue;
            ++ready;
            if (chosen < 0 || (!isVisibleWidget(e->waiters[size_t(chosen)].receiver)
                               && isVisibleWidget(w.receiver)))
                chosen = i;
        }
        if (chosen < 0)
            return;
        if (ready > 1)
            scheduleDelivery(e);

        Waiter &w = e->waiters[size_t(chosen)];
        if (w.wantsText) {
            const TextCallback callback = std::move(w.onText);
            const QByteArray bytes = e->bytes;
            const QByteArray base64 = e->base64;
            e->waiters.erase(e->waiters.begin() + chosen);
            callback(bytes, base64);
            return;
        }
        const Ticket ticket = w.ticket;
        if (!w.bytesDelivered) {
            w.bytesDelivered = true;
            const BytesCallback callback = w.onBytes;
            const QByteArray bytes = e->bytes;
            const quint64 id = e->id;
            callback(bytes);
            // The callback may have changed the cache; look the request up again.
            e = byId(id);
            if (!e || !e->hasPicture)
                return;
        }
        for (auto it = e->waiters.begin(); it != e->waiters.end(); ++it) {
            if (it->ticket != ticket)
                continue;
            const PictureCallback callback = std::move(it->onPicture);
            const QPixmap picture = e->picture;
            e->waiters.erase(it);
            callback(picture);
            return;
        }
    }

    // Keeps the most recently requested pairs and every pair still in use.
    void prune()
    {
        int kept = 0;
        for (auto it = entries.begin(); it != entries.end();) {
            Entry &e = **it;
            if (kept < keptPairs) {
                ++kept;
                ++it;
                continue;
            }
            if (e.encode == Stage::Queued && !e.hasLiveWaiters())
                e.encode = Stage::None;
            const bool inUse = e.encode == Stage::Running || e.encode == Stage::Queued
                               || e.decode == Stage::Running || e.hasLiveWaiters();
            if (inUse)
                ++it;
            else
                it = entries.erase(it);
        }
    }

    Ticket addWaiter(Entry *e, Waiter waiter)
    {
        waiter.ticket = nextTicket++;
        const Ticket ticket = waiter.ticket;
        e->waiters.push_back(std::move(waiter));
        return ticket;
    }
};

EncodedImageCache::EncodedImageCache()
    : d(std::make_unique<Impl>())
{
    // The cache and its workers make the largest buffers of the program.
    mapLargeBuffersSeparately();
}

EncodedImageCache::~EncodedImageCache() = default;

QByteArray EncodedImageCache::encode(const QImage &image, const QString &formatSpec)
{
    const QStringList parts = formatSpec.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    const QString name = parts.first();
    const QString compression = parts.last();

    const char *format = nullptr;
    int quality = -1;
    if (name == QLatin1String("PNG")) {
        format = "PNG";
    } else if (name == QLatin1String("JPG")) {
        format = "JPG";
        if (compression == QLatin1String("0"))
            quality = 20;
        else if (compression == QLatin1String("1"))
            quality = 70;
        else
            quality = 90;
    } else {
        qDebug("Unknown format");
        return QByteArray();
    }

    QByteArray bytes;
    if (image.isNull())
        return bytes;
    // PNG through the parallel encoder: the same pixels as Qt's writer, several
    // times faster. One core is left to the GUI thread, which keeps processing
    // slider steps while a picture is encoded.
    if (qstrcmp(format, "PNG") == 0)
        return PngEncoder::encode(image, quality, qMax(1, QThread::idealThreadCount() - 1));
    QBuffer buffer(&bytes);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        return QByteArray();
    return bytes;
}

QImage EncodedImageCache::decode(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QImage();
    return QImage::fromData(bytes);
}

QString EncodedImageCache::formatName(const QString &formatSpec)
{
    return formatSpec.split(QLatin1Char(';'), Qt::KeepEmptyParts).first();
}

bool EncodedImageCache::decodesToItself(const QImage &image, const QString &formatSpec)
{
    if (image.isNull() || formatName(formatSpec) != QLatin1String("PNG"))
        return false;
    switch (image.format()) {
    case QImage::Format_RGB32:
        return true;
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return ImageKernel::isOpaque(image);
    default:
        return false;
    }
}

QByteArray EncodedImageCache::bytes(const QPixmap &pixmap, const QString &formatSpec)
{
    Entry *e = d->touch(pixmap, formatSpec);
    d->ensureBytes(e);
    return e->bytes;
}

QString EncodedImageCache::base64(const QPixmap &pixmap, const QString &formatSpec)
{
    Entry *e = d->touch(pixmap, formatSpec);
    d->ensureBase64(e);
    return QString::fromLatin1(e->base64);
}

QPixmap EncodedImageCache::decodedPixmap(const QPixmap &pixmap, const QString &formatSpec)
{
    Entry *e = d->touch(pixmap, formatSpec);
    d->ensurePicture(e);
    return e->picture;
}

EncodedImageCache::Ticket EncodedImageCache::requestText(const QPixmap &pixmap,
                                                         const QString &formatSpec,
                                                         QObject *receiver, TextCallback onText)
{
    Entry *e = d->touch(pixmap, formatSpec);
    if (e->hasBase64) {
        const QByteArray bytes = e->bytes;
        const QByteArray base64 = e->base64;
        onText(bytes, base64);
        return 0;
    }
    d->supersedeOthers(e);
    Waiter waiter;
    waiter.receiver = receiver;
    waiter.wantsText = true;
    waiter.onText = std::move(onText);
    const Ticket ticket = d->addWaiter(e, std::move(waiter));
    if (e->encode == Stage::None)
        e->encode = Stage::Queued;
    d->startNext();
    return ticket;
}

EncodedImageCache::Ticket EncodedImageCache::requestPicture(const QPixmap &pixmap,
                                                            const QString &formatSpec,
                                                            QObject *receiver,
                                                            BytesCallback onBytes,
                                                            PictureCallback onPicture)
{
    Entry *e = d->touch(pixmap, formatSpec);
    Waiter waiter;
    waiter.receiver = receiver;
    waiter.onPicture = std::move(onPicture);
    if (e->hasBytes) {
        const quint64 id = e->id;
        onBytes(QByteArray(e->bytes));
        e = d->byId(id);
        if (!e)
            return 0;
        if (d->takePictureFromSource(e)) {
            waiter.onPicture(QPixmap(e->picture));
            return 0;
        }
        waiter.bytesDelivered = true;
        const Ticket ticket = d->addWaiter(e, std::move(waiter));
        if (e->decode == Stage::None)
            d->startDecode(e);
        return ticket;
    }
    d->supersedeOthers(e);
    waiter.onBytes = std::move(onBytes);
    const Ticket ticket = d->addWaiter(e, std::move(waiter));
    if (e->encode == Stage::None)
        e->encode = Stage::Queued;
    d->startNext();
    d->hurry(e);
    return ticket;
}

void EncodedImageCache::cancel(Ticket ticket)
{
    if (ticket == 0)
        return;
    for (auto &entry : d->entries) {
        auto &waiters = entry->waiters;
        for (auto it = waiters.begin(); it != waiters.end(); ++it) {
            if (it->ticket == ticket) {
                waiters.erase(it);
                if (!entry->hasLiveWaiters())
                    d->reviewLater(entry.get());
                return;
            }
        }
    }
}

void EncodedImageCache::cancelAll(const QObject *receiver)
{
    for (auto &entry : d->entries) {
        auto &waiters = entry->waiters;
        waiters.erase(std::remove_if(waiters.begin(), waiters.end(),
                                     [receiver](const Waiter &w) {
                                         return !w.receiver || w.receiver == receiver;
                                     }),
                      waiters.end());
        d->dropUnwanted(entry.get());
    }
    d->startNext();
    d->prune();
}

int EncodedImageCache::encodeCount() const
{
    return d->encodeCount;
}

int EncodedImageCache::decodeCount() const
{
    return d->decodeCount;
}

int EncodedImageCache::shortcutCount() const
{
    return d->shortcutCount;
}

bool EncodedImageCache::isBusy() const
{
    if (d->runningEncodes > 0 || d->runningDecodes > 0 || d->postedDeliveries > 0)
        return true;
    for (const auto &entry : d->entries)
        if (entry->encode == Stage::Queued || !entry->waiters.empty())
            return true;
    return false;
}

void EncodedImageCache::clear()
{
    for (auto it = d->entries.begin(); it != d->entries.end();) {
        Entry &e = **it;
        const bool inUse = e.encode == Stage::Running || e.decode == Stage::Running
                           || e.hasLiveWaiters();
        it = inUse ? std::next(it) : d->entries.erase(it);
    }
}
