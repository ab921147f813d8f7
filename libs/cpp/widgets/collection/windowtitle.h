#pragma once

#include <QFrame>
#include <QPoint>

class QHBoxLayout;
class QLayout;
class QPushButton;

namespace QMWidgets {

// A custom window title bar: a place for the caller's tools, zoom and optimise
// buttons, a close button and dragging. It moves and closes nothing itself: it
// reports the wanted top-left in changePosition() and the close request in
// closeWindow(), and passes its four view buttons on as signals.
class WindowTitle : public QFrame
{
    Q_OBJECT

public:
    explicit WindowTitle(QWidget *parent = nullptr);

    bool isMenuOpen() const;
    // Makes the layout the tools' layout, wrapped in a horizontal box; the
    // title bar takes ownership of it.
    void addToolLayout(QLayout *layout);

    // Empty places in the button row (after the optimise button, and at the
    // right end) for the caller's own content; owned by the title bar.
    QWidget *rowWidget() const { return m_rowWidget; }
    QWidget *rightEndWidget() const { return m_rightEndWidget; }

signals:
    void changePosition(QPoint);
    void closeWindow();
    // The view buttons, passed on for the window to act on. The zoom-in button
    // emits zoomOutClicked() and the zoom-out button zoomInClicked().
    void zoomOutClicked();
    void zoomInClicked();
    void hundertPercentClicked();
    void doOptimize();

public slots:
    void slotMenuAboutToShow();
    void slotMenuAboutToHide();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QWidget *m_rightEndWidget = nullptr;
    QWidget *m_rowWidget = nullptr;
    QPushButton *m_alwaysOptimizeButton = nullptr;
    QPushButton *m_hundredPercentButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QPushButton *m_actionsButton = nullptr;
    QHBoxLayout *m_barLayout = nullptr;
    int m_pressX = 0;
    int m_pressY = 0;
    QWidget *m_tools = nullptr;
    QFrame *m_bar = nullptr;
    bool m_menuOpen = false;
};

} // namespace QMWidgets
