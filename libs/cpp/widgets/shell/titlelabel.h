#pragma once

#include <QHash>
#include <QLabel>
#include <QPointer>

namespace QMWidgets {

// The title bar of a frameless window: dragging it moves its parent widget.
// It can carry a small popup window that rides along at a fixed offset, given
// in the label's coordinates. The popup is owned by the title label.
class TitleLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TitleLabel(QWidget *parent = nullptr);
    ~TitleLabel() override;

    // Replaces the popup: the previous one is hidden and deleted (unless it is
    // the same widget again); the new one becomes a tool-tip window. A null
    // popup removes the current one.
    void setPopup(QWidget *popup, const QPoint &offset);
    QWidget *popup() const { return m_popup; }
    QPoint popupOffset() const { return m_popupOffset; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void placePopup();
    // Hides a replaced popup and deletes it when the event loop comes round,
    // unless it is set again before that.
    void retirePopup(QWidget *popup);

    QPoint m_pressPoint;
    QPoint m_popupOffset;
    // Guarded: the popup may be destroyed by someone else first.
    QPointer<QWidget> m_popup;
    // Replaced popups awaiting deletion, keyed by the object whose deferred
    // deletion carries theirs.
    QHash<QObject *, QPointer<QWidget>> m_retired;
};

} // namespace QMWidgets
