#pragma once

#include <QFrame>
#include <QString>

class QButtonGroup;
class QHBoxLayout;
class QPushButton;
class QSignalMapper;
class QTimer;

namespace QMWidgets {

class HelpDisplay;

// The slide show: a display and a row of numbered, exclusive slide buttons.
// Checking a button shows its slide; while the show runs the next slide is
// checked every 5000 ms; clicking a button stops the show.
class HelpViewArea : public QFrame
{
    Q_OBJECT

public:
    explicit HelpViewArea(QWidget *parent = nullptr);

    // Appends a slide and its button, numbered from 1 in the order of adding.
    void addSlide(const QString &path);

    // Flat, 18 x 18, checkable, with the given object name; returns the button.
    static QPushButton *styleSlideButton(QPushButton *button, const QString &objectName);

    HelpDisplay *display() const;
    QTimer *slideTimer() const;

public slots:
    void slotButtonClicked();
    void slotShowSlide(const QString &path);
    void slotShowNextSlide();
    void slotStartSlideShow();
    void slotStopSlideShow();

private:
    QTimer *m_timer = nullptr;
    HelpDisplay *m_display = nullptr;
    QHBoxLayout *m_buttonRow = nullptr;
    QButtonGroup *m_buttonGroup = nullptr;
    QSignalMapper *m_mapper = nullptr;
    int m_slideCount = 0;
};

} // namespace QMWidgets
