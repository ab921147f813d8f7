#include "latestjob.h"

#include <QThreadPool>

#include <mutex>
#include <utility>

// Lets the worker post back for as long as the job lives.
struct LatestJob::Link
{
    std::mutex mutex;
    LatestJob *job = nullptr;

    void post()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (job)
            QMetaObject::invokeMethod(job, [target = job] { target->finished(); }, Qt::QueuedConnection);
    }
};

LatestJob::LatestJob(QObject *parent)
    : QObject(parent),
      link(std::make_shared<Link>())
{
    link->job = this;
}

LatestJob::~LatestJob()
{
    std::lock_guard<std::mutex> lock(link->mutex);
    link->job = nullptr;
}

void LatestJob::start(std::function<void()> work, std::function<void()> done)
{
    Piece piece{std::move(work), std::move(done)};
    if (running) {
        // The running piece is superseded; this one waits for it to end.
        runningPiece.reset();
        nextPiece = std::make_unique<Piece>(std::move(piece));
        return;
    }
    run(std::move(piece));
}

void LatestJob::cancel()
{
    runningPiece.reset();
    nextPiece.reset();
}

bool LatestJob::isBusy() const
{
    return runningPiece || nextPiece;
}

void LatestJob::run(Piece piece)
{
    running = true;
    std::function<void()> work = std::move(piece.work);
    runningPiece = std::make_unique<Piece>();
    runningPiece->done = std::move(piece.done);
    const std::shared_ptr<Link> courier = link;
    QThreadPool::globalInstance()->start([work = std::move(work), courier] {
        work();
        courier->post();
    });
}

void LatestJob::finished()
{
    running = false;
    std::unique_ptr<Piece> ended = std::move(runningPiece);
    if (nextPiece) {
        std::unique_ptr<Piece> next = std::move(nextPiece);
        run(std::move(*next));
    }
    if (ended && ended->done)
        ended->done();
}
