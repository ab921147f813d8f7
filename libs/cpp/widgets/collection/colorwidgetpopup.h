#pragma once

#include <QColor>
#include <QWidget>

class QPushButton;

namespace QMWidgets {

// The drop-down grid of the colour swatch: 48 fixed colours in six rows of
// eight (a grey ramp, then red, orange, yellow, green, cyan, blue and magenta
// from light to dark). A click on a colour emits colorChanged() and hides the
// popup; leaving the popup with the pointer hides it too.
class ColorWidgetPopup : public QWidget
{
    Q_OBJECT

public:
    ColorWidgetPopup(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    bool isMouseOver() const;

    // One grid button showing the colour; the caller takes ownership (it has no parent).
    QPushButton *addColorButton(const QColor &color);

    // The colour of the grid cell; rows 0 to 5, columns 0 to 7.
    static QColor gridColor(int row, int column);

    static const int Rows = 6;
    static const int Columns = 8;

signals:
    void colorChanged(QColor color);

public slots:
    void slotColorChanged();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool m_mouseOver = false;
};

} // namespace QMWidgets
