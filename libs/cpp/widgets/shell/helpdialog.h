#pragma once

#include <QDialog>
#include <QString>

class QPushButton;

namespace QMWidgets {

class HelpViewArea;

// The introduction window: the slide show, the introduction video and the
// choice to skip the introduction for good (setting "NeverShowItAgain").
// The slide show runs while the window is visible.
class HelpDialog : public QDialog
{
    Q_OBJECT

public:
    explicit HelpDialog(QWidget *parent = nullptr);

    void addSlide(const QString &path);
    // Shows the video button for a non-empty address unless web links are
    // disabled; otherwise nothing changes.
    void setVideoUrl(const QString &address);
    // Keeps the skip button hidden at every showing.
    void hideSkipIntroButton();
    // False once the user chose to skip the introduction.
    static bool shouldShow();

    HelpViewArea *viewArea() const;

public slots:
    void slotReject();
    void slotNeverShowItAgain();
    void slotWatchVideo();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QPushButton *m_skipButton = nullptr;
    HelpViewArea *m_viewArea = nullptr;
    bool m_skipButtonOff = false;
    QPushButton *m_videoButton = nullptr;
    QString m_videoUrl;
};

} // namespace QMWidgets
