#pragma once

#include <QLabel>
#include <QPixmap>

namespace QMWidgets {

// A label that paints a picture of its own over its ordinary QLabel content,
// scaled to the label on every paint. Mode 0 fits the picture inside and
// centres it; any other mode fills the label from the top-left corner and cuts
// what lies beyond. The opacity applies to the picture only.
class Label : public QLabel
{
    Q_OBJECT

public:
    explicit Label(QWidget *parent = nullptr);

    // Stores the picture and repaints; a null picture draws nothing.
    void setPixmap(const QPixmap &picture);
    // Stores the placement mode; takes effect on the next paint.
    void setMode(int mode);
    // Stores the picture's opacity; 1.0 or more draws it opaque.
    void setOpacity(double opacity);

    QPixmap picture() const { return m_picture; }
    int mode() const { return m_mode; }
    double opacity() const { return m_opacity; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    int m_mode = 0;
    double m_opacity = 1.0;
};

} // namespace QMWidgets
