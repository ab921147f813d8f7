#pragma once

#include <QFrame>
#include <QImage>

class QPushButton;
class QSlider;

namespace QMWidgets {

class ImageArea;

// A picture with a zoom tool bar (1 to 100 per cent with step buttons,
// "Actual Pixels" and fit to window) and a button that hands the picture to
// the desktop's default program through "preview.png" in the work folder.
// Which picture comes next is up to whoever listens to next() and previous().
class ImageViewer : public QFrame
{
    Q_OBJECT

public:
    explicit ImageViewer(QWidget *parent = nullptr);

    void setInfo(const QString &text);
    void setNavigationHidden(bool hidden);

    // Opens an existing file as a local file URL, anything else as a URL
    // parsed in tolerant mode; the desktop's answer is ignored.
    static void openFile(const QString &fileOrUrl);

    // The file slotSysPreview() writes: the work folder plus "preview.png".
    static QString previewFilePath();

    ImageArea *imageArea() const { return m_area; }

signals:
    void next();
    void previous();
    void systemPreviewOpened();
    void infoChanged();

public slots:
    // The picture of a regular file, decoded within MGraphX::ImageDecoder's
    // budget; nothing is shown for anything else.
    void slotLoad(const QString &path);
    void slotLoad(const QImage &image);
    void slotActualPixels();
    void slotZoom(int value);
    void slotFitScreen();
    void slotIncZoom();
    void slotDecZoom();
    void slotSysPreview();
    void slotShowInfo();

private:
    ImageArea *m_area;
    QSlider *m_slider;
    QPushButton *m_fitButton;
    QPushButton *m_actualPixelsButton;
};

} // namespace QMWidgets
