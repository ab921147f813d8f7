#pragma once

#include <QFrame>
#include <QPixmap>
#include <QString>

namespace QMWidgets {

// Draws one slide picture scaled to fit, centred on black. A slide that cannot
// be loaded (no regular file or resource, no picture, over the decoding
// budget) leaves the black area; with no slide only the frame is painted.
class HelpDisplay : public QFrame
{
    Q_OBJECT

public:
    explicit HelpDisplay(QWidget *parent = nullptr);

    // File or resource path of the slide to show; repaints.
    void setImage(const QString &path);
    QString image() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_imagePath;
    QPixmap m_picture;
};

} // namespace QMWidgets
