#include "screencropper.h"

#include "app.h"
#include "mmessagebox.h"
#include "os.h"
#include "stylehelpers.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QtMath>

namespace QMWidgets {

ScreenCropper::ScreenCropper(QWidget *parent)
    : QFrame(parent)
{
    auto *closeAction = new QAction(tr("Close"), this);
    closeAction->setShortcut(Qt::Key_Escape);
    addAction(closeAction);
    connect(closeAction, SIGNAL(triggered()), this, SLOT(slotClose()));
    connect(closeAction, SIGNAL(triggered()), this, SIGNAL(escaped()));

    // Without a folder the file would land in the file-system root.
    ScreenCropper::saveLocationText();
}

ScreenCropper::~ScreenCropper()
{
    releaseApplicationCursor();
}

void ScreenCropper::setHintText(const QString &text)
{
    customHint = text;
}

void ScreenCropper::setShowMode(int mode)
{
    showMode = mode;
}

QPixmap ScreenCropper::croppedPixmap() const
{
    return cropped;
}

void ScreenCropper::refreshDisplay()
{
    displayPixmap = grabbedPixmap;
}

QString ScreenCropper::hintText() const
{
    return tr("Select the area you want to crop.\n") + tr("The image file will be saved ") + locationText
        + QStringLiteral("\n") + tr("Hold [ALT] to go, after screenshot is done, to its location\n")
        + tr("Press [A] to see about dialog\n") + tr("Press [ESC] to cancel this operation");
}

QString ScreenCropper::shortHintText() const
{
    return tr("Select the area you want to crop. \n") + tr("(to cancel this operation press ESC button)");
}

void ScreenCropper::saveLocationText()
{
    const QStringList desktops = QStandardPaths::standardLocations(QStandardPaths::DesktopLocation);
    const QString desktop = desktops.isEmpty() ? QString() : desktops.first();
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir() && QDir(desktop).isReadable()) {
        saveFolder = desktop;
        locationText = tr("on Desktop");
    } else {
        const QStringList homes = QStandardPaths::standardLocations(QStandardPaths::HomeLocation);
        saveFolder = homes.isEmpty() ? QDir::homePath() : homes.first();
        locationText = tr("in Home Location");
    }
}

void ScreenCropper::grabScreen()
{
    selecting = false;
    grabbedPixmap = grabDesktop();
    showByMode();
    raise();
    activateWindow();
    displayPixmap = grabbedPixmap;
    repaint();
    setFocus(Qt::OtherFocusReason);
    setCursor(Qt::CrossCursor);
    setApplicationCursor(Qt::CrossCursor);
}

void ScreenCropper::slotClose()
{
    releaseApplicationCursor();
    selecting = false;
    showByMode();
    hide();
    emit closed();
}

void ScreenCropper::slotSave()
{
    m_lastSavedPath.clear();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss"));
    const QString base = saveFolder + QStringLiteral("/ScreenShot_") + stamp;
    // Two saves within one second must not overwrite each other.
    QString path = base + QStringLiteral(".png");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = base + QLatin1Char('_') + QString::number(n) + QStringLiteral(".png");

    // A save file leaves nothing behind when the picture cannot be written.
    // flush() is checked on its own: an error while emptying the write buffer
    // would otherwise not stop commit().
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && cropped.save(&file, "PNG") && file.flush() && file.commit()) {
        m_lastSavedPath = path;
        if (goToLocation) {
            // Told even when the cropper has closed meanwhile.
            const QString shown = QDir::toNativeSeparators(path);
            const bool started = Os::showInFileManager(path, qApp, [shown](const QString &cause) {
                MMessageBox::warning(QApplication::activeWindow(), tr("Show in Folder"),
                                     tr("\"%1\" was saved, but its folder could not be opened: %2.")
                                         .arg(shown, cause),
                                     QMessageBox::Ok);
            });
            if (!started) {
                MMessageBox::warning(this, tr("Show in Folder"),
                                     tr("\"%1\" was saved, but no program could be started to open "
                                        "its folder: this system has no opener for folders "
                                        "(xdg-open) or no file manager.")
                                         .arg(shown),
                                     QMessageBox::Ok);
            }
        }
    }
    emit saved();
}

void ScreenCropper::mousePressEvent(QMouseEvent *event)
{
    pressPoint = event->localPos().toPoint();
    currentPoint = pressPoint;
    selecting = true;
    QFrame::mousePressEvent(event);
    repaint();
}

void ScreenCropper::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->modifiers() & Qt::AltModifier)
        goToLocation = true;
    QFrame::mouseReleaseEvent(event);

    cropped = grabbedPixmap.copy(selectionInGrab());

    slotClose();
    emit done(cropped);
    emit done();
}

QRect ScreenCropper::selectionInGrab() const
{
    const QRect selected = QRect(pressPoint, currentPoint).normalized();
    if (width() <= 0 || height() <= 0 || grabbedPixmap.isNull())
        return selected;
    // The grab is painted stretched over the whole widget (in device pixels
    // when the screen is scaled): each widget pixel covers kx by ky of it.
    const double kx = double(grabbedPixmap.width()) / width();
    const double ky = double(grabbedPixmap.height()) / height();
    // A small tolerance keeps exact products from rounding to the next pixel.
    const double e = 1e-9;
    const int left = qFloor(selected.left() * kx + e);
    const int top = qFloor(selected.top() * ky + e);
    const int right = qMax(left, qCeil((selected.right() + 1) * kx - e) - 1);
    const int bottom = qMax(top, qCeil((selected.bottom() + 1) * ky - e) - 1);
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void ScreenCropper::mouseMoveEvent(QMouseEvent *event)
{
    QFrame::mouseMoveEvent(event);
    currentPoint = event->localPos().toPoint();
    repaint();
}

void ScreenCropper::keyPressEvent(QKeyEvent *event)
{
    QFrame::keyPressEvent(event);
    if (event->key() == Qt::Key_Return) {
        goToLocation = true;
    } else if (event->key() == Qt::Key_A) {
        if (App *app = App::instance())
            app->slotAbout();
    }
}

void ScreenCropper::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(255, 255, 255, 128), 7, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(Qt::black);
    painter.drawRect(QRect(QPoint(0, 0), QPoint(width(), height())));
    painter.drawPixmap(rect(), displayPixmap);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(0, 0), QPoint(width() - 1, height() - 1)));

    if (selecting) {
        painter.setPen(QPen(QColor(210, 210, 210), 1, Qt::SolidLine));
        painter.setBrush(QColor(10, 10, 80, 100));
        painter.drawRect(QRect(pressPoint, currentPoint));
    } else {
        paintHintBox(painter, 20, 3.7, 2.5);
    }
}

void ScreenCropper::paintHintBox(QPainter &painter, int pixelSize, double sideDivisor, double topDivisor)
{
    const QString text = customHint.isEmpty() ? hintText() : customHint;
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    const int padding = 12;
    const int side = int(width() / sideDivisor);
    const int top = int(height() / topDivisor);
    const QRect usual = rect().adjusted(side, top, -side, -top);
    const QRect limit = rect().adjusted(10, 10, -10, -10);

    // The box keeps its usual place while the text fits in it. Otherwise it
    // grows around its centre up to the window's edges, and only then does the
    // font shrink, so on a small window the whole hint stays inside.
    QFont hintFont = font();
    QRect box = usual;
    for (int px = pixelSize;; --px) {
        hintFont.setPixelSize(px);
        const QFontMetrics metrics(hintFont);
        const auto needed = [&](int boxWidth) {
            const QRect room(0, 0, qMax(1, boxWidth - 2 * padding), QWIDGETSIZE_MAX);
            return metrics.boundingRect(room, flags, text).size() + QSize(2 * padding, 2 * padding);
        };
        if (needed(usual.width()).height() <= usual.height()) {
            box = usual;
            break;
        }
        const QSize wide = needed(limit.width());
        box = QRect(QPoint(0, 0), wide.expandedTo(usual.size()).boundedTo(limit.size()));
        box.moveCenter(rect().center());
        if ((wide.width() <= limit.width() && wide.height() <= limit.height()) || px <= 8)
            break;
    }

    painter.setFont(hintFont);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(200, 200, 200), 4, Qt::SolidLine));
    painter.setBrush(QColor(0, 0, 0, 180));
    painter.drawRoundedRect(box, 5, 20, Qt::RelativeSize);
    painter.drawText(box.adjusted(padding, padding, -padding, -padding), flags, text);
}

void ScreenCropper::resizeEvent(QResizeEvent *event)
{
    displayPixmap = grabbedPixmap;
    QFrame::resizeEvent(event);
}

void ScreenCropper::closeEvent(QCloseEvent *event)
{
    // Closing by the window system only hides the overlay.
    event->ignore();
    hide();
}

void ScreenCropper::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
}

void ScreenCropper::hideEvent(QHideEvent *event)
{
    releaseApplicationCursor();
    QFrame::hideEvent(event);
}

void ScreenCropper::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        saveLocationText();
}

void ScreenCropper::setApplicationCursor(Qt::CursorShape shape)
{
    if (m_overrideCursorSet) {
        QGuiApplication::changeOverrideCursor(shape);
    } else {
        QGuiApplication::setOverrideCursor(shape);
        m_overrideCursorSet = true;
    }
}

void ScreenCropper::releaseApplicationCursor()
{
    if (m_overrideCursorSet) {
        QGuiApplication::restoreOverrideCursor();
        m_overrideCursorSet = false;
    }
}

void ScreenCropper::showByMode()
{
    if (showMode == 0) {
        // Without a window manager nobody acts on the full-screen request:
        // the overlay covers the grabbed screen because it is given its geometry.
        if (QScreen *screen = QGuiApplication::primaryScreen())
            setGeometry(screen->geometry());
        showFullScreen();
    }
    else if (showMode == 1)
        showMaximized();
    else
        show();
}

} // namespace QMWidgets
