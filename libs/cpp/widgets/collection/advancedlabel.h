#pragma once

#include <QPixmap>
#include <QWidget>

namespace QMWidgets {

// A clickable label that paints its picture stretched over its area (inside
// the margin) with a caption on top; while the mouse is over it the picture is
// drawn brighter and the cursor is a pointing hand.
class AdvancedLabel : public QWidget
{
    Q_OBJECT

public:
    explicit AdvancedLabel(QWidget *parent = nullptr);

    // Each setter stores the value and repaints at once.
    void setText(const QString &text);
    void setPixmap(const QPixmap &pixmap);
    void setMargin(int margin);

    QString text() const { return m_text; }
    int margin() const { return m_margin; }
    bool isHovered() const { return m_hover; }

signals:
    // Emitted on every press, before any release.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QPixmap m_pixmap;
    int m_margin = 0;
    bool m_hover = false;
};

} // namespace QMWidgets
