#pragma once

#include <QLabel>

class QMovie;
class QTimer;

namespace QMWidgets {

// A label that plays an animation file while it is shown, optionally only
// for a given time after each show. The movie is scaled to the label's size
// divided by 1.1. Only a regular file (or a resource, ":/...") of at most the
// decoding budget's bytes is read, once, and its bytes are played when
// MGraphX::ImageDecoder::judge takes them (every frame fits the budget,
// judged from the headers); for any other the movie has no device and the
// label shows nothing.
class MovieLabel : public QLabel
{
    Q_OBJECT
public:
    explicit MovieLabel(const QString &fileName, QWidget *parent = nullptr);

    void setSpeed(int percent);
    // Stop the movie this many milliseconds after each show; 0 or less plays
    // until hidden.
    void setStopAfter(int ms) { stopAfter = ms; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QMovie *m_movie;     // child of the label; QLabel::movie() returns it
    int stopAfter = -1;
    QTimer *stopTimer;   // child of the label; restarted on each show
};

} // namespace QMWidgets
