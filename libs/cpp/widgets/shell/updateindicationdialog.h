#pragma once

#include <QDialog>

class QLabel;
class QMovie;
class QTimer;

namespace QMWidgets {

// A small frameless, slightly transparent, always-on-top dialog that shows
// the shell's loading animation beside a one-line text while some work runs.
// It accepts itself ten seconds after it was shown; hiding it stops the count
// and the animation, so showing it again starts a fresh ten seconds. The
// animation label, the movie and the timer all belong to the dialog.
class UpdateIndicationDialog : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateIndicationDialog(QWidget *parent = nullptr);

    void setText(const QString &text);

public slots:
    void slotTimeOut();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QLabel *m_animationLabel;
    QLabel *m_textLabel;
    QMovie *m_movie;
    QTimer *m_timer;
};

} // namespace QMWidgets
