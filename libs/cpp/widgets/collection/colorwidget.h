#pragma once

#include <QColor>
#include <QWidget>

namespace QMWidgets {

class ColorWidgetPopup;

// A colour swatch with a drop-down mark. A press opens (or closes) a grid of
// 48 colours under it; picking one makes it the swatch's colour and emits
// colorChanged(). setColor() changes the shown colour silently.
class ColorWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ColorWidget(QWidget *parent = nullptr);

    QColor color() const;
    void setColor(const QColor &color);
    // Window opacity of the popup, 0.0 to 1.0.
    void setPopupOpacity(float opacity);

    // The popup grid; owned by the swatch.
    ColorWidgetPopup *popup() const;

signals:
    void colorChanged(QColor color);

public slots:
    void slotColorChanged(const QColor &color);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    ColorWidgetPopup *m_popup;
    QColor m_color;
};

} // namespace QMWidgets
