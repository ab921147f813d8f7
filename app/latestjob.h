#pragma once

#include "workercourier.h"

#include <QObject>

#include <functional>
#include <memory>

// Runs work for its owner away from the GUI thread, one piece at a time, and
// hands the result over on the GUI thread. A start() while a piece runs waits
// for it; of the pieces waiting, only the newest runs. The running piece still
// hands its result over when it ends (nothing newer has been handed over by
// then), and the newest waiting piece starts before that result is handed
// over. cancel() drops the running piece's result and the waiting piece: the
// owner has put something newer in place itself. The work must touch no widget
// and no pixmap; done runs on the GUI thread, while the job lives.
class LatestJob : public QObject
{
    Q_OBJECT
public:
    explicit LatestJob(QObject *parent = nullptr);
    ~LatestJob() override;

    void start(std::function<void()> work, std::function<void()> done);
    void cancel();

    // True from a start() until its done has run or it was cancelled; within
    // a done, true when a newer piece is on its way.
    bool isBusy() const;

private:
    struct Piece
    {
        std::function<void()> work;
        std::function<void()> done;
    };
    void run(Piece piece);
    void finished();

    bool running = false;
    std::unique_ptr<Piece> runningPiece;  // null once cancelled
    std::unique_ptr<Piece> nextPiece;
    WorkerCourier courier;
};
