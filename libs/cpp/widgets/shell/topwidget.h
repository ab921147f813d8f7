#pragma once

#include <QFrame>
#include <QPointer>

class QAction;
class QEventLoop;
class QMovie;
class QPushButton;
class QVBoxLayout;

namespace QMWidgets {

class IconLabel;
class TitleLabel;

// A frameless top-level window that draws its own title bar (centred title,
// optional icon, Close, Maximize and Minimize buttons; dragging the bar moves
// the window) and can run modally with a dialog's results: exec() returns 1
// after accept() and 0 after reject(), Escape, the Close button, close(),
// hide() or the window's destruction. Subclasses put their content into
// contentLayout(). Every child widget is owned by the window.
class TopWidget : public QFrame
{
    Q_OBJECT

public:
    // With withOverWidget true the content sits in a margin-free widget named
    // "TopOverWidget" below the title; with false the content layout itself is
    // the window's layout, one pixel in from the edge, the title its first item.
    explicit TopWidget(bool withOverWidget, QWidget *parent = nullptr);
    ~TopWidget() override;

    QVBoxLayout *contentLayout() const { return m_contentLayout; }

    // Sets the title bar's text and the window title.
    void setTitle(const QString &title);
    // Fixed height of the title bar (28 at construction).
    void setTitleHeight(int height);
    // Shows the icon, scaled to 24 x 24, at the title bar's side.
    void setIcon(const QPixmap &icon);

    void hideCloseButton();
    void hideMaximizeButton();
    void hideMinimizeButton();
    void showCloseButton();
    void showMaximizeButton();
    void showMinimizeButton();

    // A small window that rides on the title bar at the offset; the title bar
    // takes ownership of it.
    void setTitlePopup(QWidget *popup, const QPoint &offset);
    // A popup label that plays the movie (not owned; it must outlive the window
    // or be removed first) or shows the pixmap.
    void setTitleMovie(QMovie *movie, const QPoint &offset);
    void setTitlePixmap(const QPixmap &pixmap, const QPoint &offset);

    // Shows the window modally and waits until it is accepted, rejected,
    // closed, hidden or destroyed; returns 1 when accepted, else 0. A call
    // while the window's loop already runs returns -1 at once.
    int exec();
    bool isRunning() const { return m_loop != nullptr; }

public slots:
    // Ends the running loop with 1; without a loop it does nothing.
    void accept();
    // Ends the running loop with 0; without a loop it hides the window.
    void reject();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QPushButton *newTitleButton(const QString &name, const QString &toolTip);
    void endLoop(int code);

    QVBoxLayout *m_contentLayout = nullptr;
    QPushButton *m_closeButton = nullptr;
    QPushButton *m_maximizeButton = nullptr;
    QPushButton *m_minimizeButton = nullptr;
    TitleLabel *m_titleLabel = nullptr;
    IconLabel *m_iconLabel = nullptr;
    // The loop of the running exec(); it lives on exec()'s stack, so the window
    // may be destroyed while it runs. Null when no loop runs or it was told to end.
    QPointer<QEventLoop> m_loop;
    QAction *m_escapeAction = nullptr;
};

} // namespace QMWidgets
