#pragma once

#include <QAbstractAnimation>
#include <QColor>
#include <QFrame>
#include <QPointer>
#include <QPolygonF>

namespace QMWidgets {

// A frameless, translucent tool window drawn as a speech bubble with a pointer
// on its top edge (or on its bottom edge). The caller fills, places and shows
// it; a press on it hides it, and so does any press in the application after
// hideOnAnyClick(). Animations, when set, start on every show and hide; the
// caller owns them, and one destroyed meanwhile is simply skipped.
class BubbleWindow : public QFrame
{
    Q_OBJECT

public:
    BubbleWindow(QWidget *parent, const QColor &color);

    // Hides the bubble on every mouse press the application delivers. Needs
    // the application object to be a QMWidgets::App; returns false otherwise.
    // Calling it again adds no second connection.
    bool hideOnAnyClick();

    void setColor(const QColor &color);
    void setPointerDown(bool down);
    void setShowAnimation(QAbstractAnimation *animation);
    void setHideAnimation(QAbstractAnimation *animation);

    // The outline painted for a bubble of the given size.
    static QPolygonF outline(qreal width, qreal height, bool pointerDown);

public slots:
    // Hides the bubble unless it is the application's active window.
    void slotFocusChanged(QWidget *, QWidget *);

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QPointer<QAbstractAnimation> m_showAnimation;
    QPointer<QAbstractAnimation> m_hideAnimation;
    bool m_pointerDown = false;
    QColor m_color;
};

} // namespace QMWidgets
