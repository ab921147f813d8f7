#include "latestjob.h"

#include <utility>

LatestJob::LatestJob(QObject *parent)
    : QObject(parent)
{
}

LatestJob::~LatestJob() = default;

void LatestJob::start(std::function<void()> work, std::function<void()> done)
{
    Piece piece{std::move(work), std::move(done)};
    if (running) {
        // Waits for the running piece; an older waiting one never runs.
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
    runningPiece = std::make_unique<Piece>();
    runningPiece->done = std::move(piece.done);
    courier.run(std::move(piece.work), [this] { finished(); });
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
