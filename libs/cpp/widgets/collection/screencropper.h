#pragma once

#include <QFrame>
#include <QPixmap>
#include <QString>

namespace QMWidgets {

// A screen-capture overlay: grabs the primary screen, shows the picture over
// the screen and lets the user drag a rectangle whose part of the grab is
// handed out by done(QPixmap). slotSave() writes that part as a PNG file
// "ScreenShot_<date>_<time>.png" into the desktop (or home) folder.
class ScreenCropper : public QFrame
{
    Q_OBJECT

public:
    explicit ScreenCropper(QWidget *parent = nullptr);
    ~ScreenCropper() override;

    void setHintText(const QString &text);
    // 0 full screen, 1 maximised, any other value a normal window.
    void setShowMode(int mode);
    QPixmap croppedPixmap() const;
    void refreshDisplay();
    QString hintText() const;
    QString shortHintText() const;
    // Chooses the save folder: the desktop when it can be read, else home.
    virtual void saveLocationText();

    // The folder slotSave() writes into.
    QString saveFolderPath() const { return saveFolder; }
    // The file the last successful slotSave() wrote; empty after a failure.
    QString lastSavedPath() const { return m_lastSavedPath; }

signals:
    void done();
    void done(QPixmap pixmap);
    void saved();
    void closed();
    void escaped();

public slots:
    virtual void grabScreen();
    virtual void slotClose();
    void slotSave();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Hiding, however it comes about, gives the application its cursor back.
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

    // Makes the application's override cursor the shape, replacing the one
    // this overlay set before instead of stacking another on top.
    void setApplicationCursor(Qt::CursorShape shape);
    // Removes the override cursor this overlay set, if any.
    void releaseApplicationCursor();
    // The part of the grab under the selection, through the same stretch
    // that paints the grab over the widget.
    QRect selectionInGrab() const;
    // Shows the widget full screen, maximised or normal by showMode.
    void showByMode();
    // Draws the rounded box with the hint (custom or built-in) text.
    void paintHintBox(QPainter &painter, int pixelSize, double sideDivisor, double topDivisor);

    QPixmap grabbedPixmap;
    bool selecting = false;
    QPoint pressPoint;
    QPoint currentPoint;
    QString saveFolder;
    QString locationText;
    QString customHint;
    QPixmap cropped;
    bool goToLocation = false;
    int showMode = 0;
    QPixmap displayPixmap;
    double measureFactor = 1.0;

private:
    QString m_lastSavedPath;
    bool m_overrideCursorSet = false;
};

} // namespace QMWidgets
