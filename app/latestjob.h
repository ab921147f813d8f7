#pragma once

#include <QObject>

#include <functional>
#include <memory>

// Runs work for its owner away from the GUI thread, one piece at a time, and
// hands the result over on the GUI thread. Only the latest piece counts: a
// newer start() or a cancel() supersedes the earlier pieces, so one that has
// not begun never runs and one that is running finishes with its result
// dropped. The work must touch no widget and no pixmap; done runs on the GUI
// thread, while the job lives.
class LatestJob : public QObject
{
    Q_OBJECT
public:
    explicit LatestJob(QObject *parent = nullptr);
    ~LatestJob() override;

    void start(std::function<void()> work, std::function<void()> done);
    void cancel();

    // True from a start() until its done has run or it was cancelled.
    bool isBusy() const;

private:
    struct Piece
    {
        std::function<void()> work;
        std::function<void()> done;
    };
    void run(Piece piece);
    void finished();

    struct Link;
    std::shared_ptr<Link> link;
    bool running = false;
    std::unique_ptr<Piece> runningPiece;  // null once superseded
    std::unique_ptr<Piece> nextPiece;
};
