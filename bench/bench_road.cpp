// Times the program's main road with the real classes, headless: a photo-like
// picture written as JPEG is dropped on a real main page, then a slider step,
// a format change and each text tab are timed until the view on screen is
// final. For each step it also prints the longest time the event loop did not
// run (a 10 ms timer notes the gaps between its ticks).
//
//   bench_road [--quick] [--noise] [WIDTHxHEIGHT]
//
// Default size 4000x3000; --quick uses 1000x750. --noise drops a picture of
// random pixels written as PNG instead (default size 6000x4000), the worst
// case for the size of the texts. It also times a drop with the HTML tab
// current (caption and text), an arrow key held on Resize for 2 s (the
// platform's auto-repeat: 660 ms, then every 40 ms), counting its encodings,
// and a Copy clicked right after one key step, checking that the copied text
// carries the picture of the new size. A picture at or under the size the form
// processes inline (1000x750 included) is followed by a 1600x1200 one, which
// the form processes on its worker, for the same steps.
// At the end it prints the peak memory and the longest stall of a drop. With
// GLYPH_BENCH_TEXTS set to a folder, it writes the five texts there for a few
// settings, to compare builds byte for byte. Run it by hand (it sets the
// offscreen platform and a temporary home itself, unless a platform is set).
// It exits with 1 when a step timed out or a check failed, listing them last.
#include "photolike.h"
#include "app.h"
#include "appstylesheet.h"
#include "comboslider.h"
#include "encodedimagecache.h"
#include "droparea.h"
#include "effectsform.h"
#include "imagedecoder.h"
#include "imagekernel.h"
#include "imagepreview.h"
#include "longtextedit.h"
#include "mainpage.h"
#include "textpreview.h"

#include <QAbstractEventDispatcher>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStyleOptionSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

enum Tab { PreviewTab, HtmlTab, CssTab, XmlTab, XhtmlTab, Base64Tab };
const char *const tabNames[] = {"PREVIEW", "HTML", "CSS", "XML", "XHTML", "BASE64"};

// Each step may take this long before it is given up (GLYPH_BENCH_TIMEOUT
// seconds; by default 30 s for --quick, whose steps take a few seconds at
// most, else 15 minutes). Set in main().
qint64 s_stepTimeoutMs = 15 * 60 * 1000;

// The pictures the form processes on its worker are larger than this (in
// pixels); the bench also notes whether a step really took the worker.
const qint64 InlinePixels = qint64(1) << 20;

// What went wrong, printed at the end: waits given up, failed checks.
int s_timeouts = 0;
QStringList s_failures;


// Random opaque pixels: nothing for the PNG encoder to compress.
QImage noiseImage(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint64 state = seed;
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            row[x] = quint32(state >> 32) | 0xFF000000u;
        }
    }
    return image;
}

// A line of /proc/self/status, such as "VmHWM" (peak) or "VmRSS" (now).
QString statusValue(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    const QStringList lines = QString::fromLatin1(status.readAll()).split(QLatin1Char('\n'));
    const QString prefix = QLatin1String(key) + QLatin1Char(':');
    for (const QString &line : lines)
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed();
    return QStringLiteral("unknown");
}

// Notes the longest gap between the ticks of a 10 ms timer, i.e. the longest
// time the event loop was kept from running.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_timer.setInterval(10);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_clock.start();
        m_timer.start();
    }
    void reset()
    {
        m_last = m_clock.elapsed();
        m_longest = 0;
    }
    // The longest gap since reset(), the one still open included.
    qint64 longest() const { return std::max(m_longest, m_clock.elapsed() - m_last); }

private:
    void tick()
    {
        const qint64 now = m_clock.elapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Runs the event loop until nothing is left to do: no event handled in three
// rounds in a row and no work in the global thread pool. False on time-out.
bool settle(qint64 timeoutMs = s_stepTimeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    int quiet = 0;
    while (clock.elapsed() < timeoutMs) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const bool handled = dispatcher->processEvents(QEventLoop::AllEvents);
        const bool poolBusy = QThreadPool::globalInstance()->activeThreadCount() > 0;
        // The stall meter's own tick does not count as work.
        if (!handled && !poolBusy) {
            if (++quiet >= 3)
                return true;
            QThread::usleep(300);
        } else {
            quiet = 0;
            if (!handled)
                QThread::usleep(300);
        }
    }
    ++s_timeouts;
    return false;
}

// Runs the event loop until the condition holds. False on time-out.
bool waitUntil(const std::function<bool()> &condition, qint64 timeoutMs = s_stepTimeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    while (!condition()) {
        if (clock.elapsed() >= timeoutMs) {
            ++s_timeouts;
            return false;
        }
        QCoreApplication::sendPostedEvents();
        if (!dispatcher->processEvents(QEventLoop::AllEvents))
            QThread::usleep(300);
    }
    return true;
}

struct StepResult
{
    qint64 readyMs = -1;   // until the condition held
    qint64 settledMs = -1; // until the event loop was idle as well
    qint64 stallMs = 0;
};

// The real main page with handles on what the user touches.
class Road
{
public:
    Road()
    {
        page.resize(1100, 800);
        page.show();
        tabs = page.findChild<QTabWidget *>();
        dropArea = page.findChild<CreatorDropArea *>(QStringLiteral("DropArea"));
        effects = page.findChild<CreatorEffects *>();
        form = effects->findChild<QFormLayout *>();
        picture = qobject_cast<ImagePreview *>(tabs->widget(PreviewTab));
        pictureWidget = picture->findChild<QScrollArea *>(QStringLiteral("PreviewWidget"))->widget();
        for (QLabel *label : picture->findChildren<QLabel *>())
            if (label->text().startsWith(QLatin1String("Size: ")))
                sizeLabel = label;
    }

    // The picture the picture tab shows, as a key that changes with it.
    qint64 pictureKey() const
    {
        return pictureWidget->palette().brush(pictureWidget->backgroundRole()).texture().cacheKey();
    }

    // Blanks the picture tab's size text, so that its next real preview shows.
    void blankSize() { sizeLabel->setText(QString()); }
    bool sizeShown() const { return sizeLabel->text().startsWith(QLatin1String("Size: ")); }

    QWidget *control(const char *label) const
    {
        for (int row = 0; row < form->rowCount(); ++row) {
            auto *caption = qobject_cast<QLabel *>(form->itemAt(row, QFormLayout::LabelRole)->widget());
            if (caption && caption->text() == QLatin1String(label))
                return form->itemAt(row, QFormLayout::FieldRole)->widget();
        }
        return nullptr;
    }

    void drop(const QString &path)
    {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(140, 140), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(dropArea, &enter);
        QDropEvent drop(QPointF(140, 140), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(dropArea, &drop);
    }

    // One step of the brightness slider with the mouse: the value moves by
    // one, then the handle is let go.
    void brightnessStep()
    {
        auto *combo = qobject_cast<QMWidgets::ComboSlider *>(control("Brightness:"));
        QSlider *slider = combo->findChild<QSlider *>();
        QSpinBox *spin = combo->findChild<QSpinBox *>();
        spin->setValue(spin->value() < spin->maximum() ? spin->value() + 1 : spin->value() - 1);
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.subControls = QStyle::SC_All;
        option.orientation = slider->orientation();
        option.minimum = slider->minimum();
        option.maximum = slider->maximum();
        option.sliderPosition = slider->sliderPosition();
        option.sliderValue = slider->value();
        option.pageStep = slider->pageStep();
        option.singleStep = slider->singleStep();
        option.tickPosition = slider->tickPosition();
        option.tickInterval = slider->tickInterval();
        const QPoint handle =
            slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
        QMouseEvent press(QEvent::MouseButtonPress, handle, slider->mapToGlobal(handle), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(slider, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, handle, slider->mapToGlobal(handle), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(slider, &release);
    }

    QSpinBox *spinOf(const char *label) const { return control(label)->findChild<QSpinBox *>(); }

    // One press and release of Down on the control's number box.
    void keyDown(QSpinBox *spin)
    {
        spin->setFocus();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(spin, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(spin, &release);
    }

    QPushButton *copyButton(int tab) const
    {
        return tabs->widget(tab)->findChild<QPushButton *>(QStringLiteral("CopyButton"));
    }

    // Holds Down on the control's number box: a press, the repeat delay, then
    // a release and a press marked auto-repeated every 40 ms, and the release.
    void holdDown(QSpinBox *spin, int holdMs)
    {
        spin->setFocus();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(spin, &press);
        QElapsedTimer held;
        held.start();
        qint64 nextRepeat = 660;
        while (held.elapsed() < holdMs) {
            if (held.elapsed() >= nextRepeat) {
                QKeyEvent up(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
                QCoreApplication::sendEvent(spin, &up);
                QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
                QCoreApplication::sendEvent(spin, &down);
                nextRepeat += 40;
            }
            QCoreApplication::sendPostedEvents();
            if (!QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents))
                QThread::usleep(300);
        }
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(spin, &release);
    }

    QString wholeText(int tab) const
    {
        const LongTextEdit *e = editor(tab);
        return e->textMid(0, e->textLength());
    }

    void chooseFormat(const char *format)
    {
        auto *box = qobject_cast<QComboBox *>(control("Format:"));
        box->setCurrentIndex(box->findText(QLatin1String(format)));
    }

    LongTextEdit *editor(int tab) const { return tabs->widget(tab)->findChild<LongTextEdit *>(); }

    // The ends of a tab's text: enough to tell texts apart without building
    // a whole copy of one (that copy would count in the peak memory).
    QString textEnds(int tab) const
    {
        const LongTextEdit *e = editor(tab);
        return e->textMid(0, 400) + e->textMid(e->textLength() - 400, 400);
    }

    // Where the payload starts, per tab, and the format word it follows.
    bool textCarries(int tab, const QString &word, const QString &base64Start) const
    {
        const QString t = editor(tab)->textMid(0, 400);
        if (tab == Base64Tab)
            return t.startsWith(base64Start);
        return t.contains(QLatin1String("data:image/") + word + QLatin1String(";base64,") + base64Start);
    }

    MainPage page;
    QTabWidget *tabs = nullptr;
    CreatorDropArea *dropArea = nullptr;
    CreatorEffects *effects = nullptr;
    QFormLayout *form = nullptr;
    ImagePreview *picture = nullptr;
    QWidget *pictureWidget = nullptr;
    QLabel *sizeLabel = nullptr;
};

StallMeter *s_meter = nullptr;

// Runs the action, then waits until the condition holds and the loop is idle.
StepResult timeStep(const std::function<void()> &action, const std::function<bool()> &ready)
{
    settle();
    s_meter->reset();
    QElapsedTimer clock;
    clock.start();
    action();
    StepResult result;
    if (waitUntil(ready))
        result.readyMs = clock.elapsed();
    if (settle())
        result.settledMs = clock.elapsed();
    result.stallMs = s_meter->longest();
    return result;
}

QString ms(qint64 value)
{
    return value < 0 ? QStringLiteral("timeout") : QStringLiteral("%1 ms").arg(value);
}

void report(const char *step, const StepResult &r)
{
    std::printf("  %-34s ready %12s   settled %12s   longest stall %9s\n", step, qPrintable(ms(r.readyMs)),
                qPrintable(ms(r.settledMs)), qPrintable(ms(r.stallMs)));
    std::fflush(stdout);
}

// The picture tab's caption for a picture of that size.
QString captionOf(const QSize &size)
{
    return QStringLiteral("<H2>%1x%2</H2>").arg(size.width()).arg(size.height());
}

// An arrow key held on Resize with the given tab current: the encodings it
// costs, the longest stall while held, and how long after the release the
// picture tab shows the final picture and its size, the program's own size
// for the value the key ended at.
void holdResize(Road &road, const QSize &size, int heldTab)
{
    road.tabs->setCurrentIndex(heldTab);
    settle();
    EncodedImageCache *cache = road.picture->encodedImageCache().get();
    const int encodesBefore = cache->encodeCount();
    QSpinBox *resize = road.spinOf("Resize:");
    const int startValue = resize->value();
    road.blankSize();
    settle();
    s_meter->reset();
    road.holdDown(resize, 2000);
    const qint64 heldStall = s_meter->longest();
    QElapsedTimer afterRelease;
    afterRelease.start();
    const QString finalCaption = captionOf(ImageKernel::scaledSize(size, resize->value()));
    // Settled: the last change of the shown picture, its size or the
    // encodings, once nothing has changed for 1.5 s (longer than any
    // wait after a step) and the final picture is shown.
    qint64 lastChange = 0;
    qint64 key = road.pictureKey();
    QString sizeText = road.picture->sizeText();
    int encodes = cache->encodeCount();
    const bool shown = waitUntil([&] {
        const qint64 now = afterRelease.elapsed();
        if (road.pictureKey() != key || road.picture->sizeText() != sizeText
            || cache->encodeCount() != encodes) {
            key = road.pictureKey();
            sizeText = road.picture->sizeText();
            encodes = cache->encodeCount();
            lastChange = now;
        }
        return now - lastChange > 1500 && !cache->isBusy()
            && road.picture->captionText() == finalCaption && road.sizeShown();
    });
    const qint64 settledMs = shown ? lastChange : -1;
    std::printf("  %-34s %d -> %d %%, %d encodings, longest stall while held %s, "
                "settled %s after the release\n",
                qPrintable(QStringLiteral("arrow key held 2 s, %1 tab").arg(QLatin1String(tabNames[heldTab]))),
                startValue, resize->value(), cache->encodeCount() - encodesBefore,
                qPrintable(ms(heldStall)), qPrintable(ms(settledMs)));
    if (!shown)
        std::printf("  picture tab shows %s, expected %s\n", qPrintable(road.picture->captionText()),
                    qPrintable(finalCaption));
    std::printf("  peak memory (VmHWM) after the held key: %s\n", qPrintable(statusValue("VmHWM")));
    resize->setValue(100);
    settle();
}

// The size of the picture in a text's data URI, read from the picture's
// header; an empty size when there is none.
QSize pictureSizeInText(const QString &text)
{
    const QLatin1String marker(";base64,");
    const int start = text.indexOf(marker);
    if (start < 0)
        return QSize();
    const int from = start + marker.size();
    int end = from;
    for (; end < text.size(); ++end) {
        const ushort c = text.at(end).unicode();
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+'
              || c == '/' || c == '='))
            break;
    }
    QByteArray bytes = QByteArray::fromBase64(text.mid(from, end - from).toLatin1());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).size();
}

// Copy clicked on the HTML tab at once after one Down key on Resize: how long
// until the clipboard holds the text, and whether that text carries the
// picture at the new value (the program's own size for it), not the one
// before the key.
void exportAfterStep(Road &road, const QSize &size)
{
    road.tabs->setCurrentIndex(HtmlTab);
    QSpinBox *resize = road.spinOf("Resize:");
    QPushButton *copy = road.copyButton(HtmlTab);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    settle();
    if (!copy->isEnabled()) {
        s_failures << QStringLiteral("Copy is not offered for the %1x%2 picture").arg(size.width()).arg(size.height());
        return;
    }
    const QSize before = ImageKernel::scaledSize(size, resize->value());
    const QSize expected = ImageKernel::scaledSize(size, resize->value() - 1);
    bool copied = false;
    const QMetaObject::Connection watch =
        QObject::connect(clipboard, &QClipboard::dataChanged, [&copied] { copied = true; });
    s_meter->reset();
    QElapsedTimer clock;
    clock.start();
    road.keyDown(resize);
    copy->click();
    const bool done = waitUntil([&copied] { return copied; });
    const qint64 copiedMs = done ? clock.elapsed() : -1;
    const qint64 stall = s_meter->longest();
    QObject::disconnect(watch);
    const QSize got = done ? pictureSizeInText(clipboard->text()) : QSize();
    QString verdict = got == expected ? QStringLiteral("the new size")
        : got == before               ? QStringLiteral("the size BEFORE the key, expected %1x%2")
                                            .arg(expected.width()).arg(expected.height())
                                      : QStringLiteral("expected %1x%2").arg(expected.width()).arg(expected.height());
    std::printf("  %-34s copied %11s   longest stall %9s   picture %dx%d, %s\n", "Copy at once after a key step",
                qPrintable(ms(copiedMs)), qPrintable(ms(stall)), got.width(), got.height(),
                qPrintable(verdict));
    if (done && got != expected)
        s_failures << QStringLiteral("a Copy after a key step on the %1x%2 picture carried %3x%4, not %5x%6")
                          .arg(size.width()).arg(size.height()).arg(got.width()).arg(got.height())
                          .arg(expected.width()).arg(expected.height());
    resize->setValue(100);
    settle();
}

// The drop, a slider step and a key step of a picture the form processes on
// its worker, each noting whether it did, then a held key and a Copy right
// after a step. The values are put back as they were, so that what follows
// makes the same texts as without this road.
void workerRoad(Road &road, const QString &path, const QSize &size)
{
    QSpinBox *brightness = road.spinOf("Brightness:");
    const int brightnessBefore = brightness->value();
    std::printf("  %dx%d photo-like picture, JPEG quality 92, over the inline limit:\n", size.width(),
                size.height());
    road.tabs->setCurrentIndex(PreviewTab);
    settle();
    const QString caption = captionOf(size);
    qint64 keyBefore = road.pictureKey();
    road.blankSize();
    report("drop to picture ready", timeStep([&] { road.drop(path); }, [&] {
        return road.picture->captionText() == caption && road.sizeShown() && road.pictureKey() != keyBefore;
    }));

    const auto noteWorker = [](bool onWorker, const char *step) {
        if (!onWorker)
            s_failures << QStringLiteral("%1 on the large picture was not processed on the worker")
                              .arg(QLatin1String(step));
        return onWorker ? "" : " (INLINE)";
    };
    bool onWorker = false;
    keyBefore = road.pictureKey();
    road.blankSize();
    StepResult r = timeStep([&] { road.brightnessStep(); onWorker = road.effects->isProcessing(); }, [&] {
        return road.sizeShown() && road.pictureKey() != keyBefore;
    });
    report(qPrintable(QStringLiteral("slider step, PREVIEW tab%1").arg(QLatin1String(noteWorker(onWorker, "a slider step")))), r);

    QSpinBox *resize = road.spinOf("Resize:");
    const QString stepped = captionOf(ImageKernel::scaledSize(size, resize->value() - 1));
    keyBefore = road.pictureKey();
    road.blankSize();
    r = timeStep([&] { road.keyDown(resize); onWorker = road.effects->isProcessing(); }, [&] {
        return road.picture->captionText() == stepped && road.sizeShown() && road.pictureKey() != keyBefore;
    });
    report(qPrintable(QStringLiteral("Resize key step, PREVIEW tab%1").arg(QLatin1String(noteWorker(onWorker, "a key step")))), r);
    resize->setValue(100);
    settle();

    holdResize(road, size, PreviewTab);
    exportAfterStep(road, size);
    brightness->setValue(brightnessBefore);
    settle();
}

// Uses a fresh temporary home, so the bench leaves no settings behind.
QTemporaryDir *prepareHome()
{
    auto *home = new QTemporaryDir;
    const QByteArray path = QFile::encodeName(home->path());
    qputenv("HOME", path);
    qputenv("XDG_CONFIG_HOME", path + "/.config");
    qputenv("XDG_DATA_HOME", path + "/.local/share");
    qputenv("XDG_CACHE_HOME", path + "/.cache");
    qputenv("XDG_RUNTIME_DIR", path + "/.runtime");
    QFile::setPermissions(home->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return home;
}

void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    QSize size;
    bool quick = false;
    bool noise = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(arg);
        if (arg == QLatin1String("--quick"))
            quick = true;
        else if (arg == QLatin1String("--noise"))
            noise = true;
        else if (m.hasMatch())
            size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        else if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-platform")) {
            std::fprintf(stderr, "usage: bench_road [--quick] [--noise] [WIDTHxHEIGHT]\n");
            return 2;
        }
    }
    if (size.isEmpty())
        size = quick ? QSize(1000, 750) : noise ? QSize(6000, 4000) : QSize(4000, 3000);
    if (qEnvironmentVariableIsSet("GLYPH_BENCH_TIMEOUT"))
        s_stepTimeoutMs = qEnvironmentVariableIntValue("GLYPH_BENCH_TIMEOUT") * qint64(1000);
    else if (quick)
        s_stepTimeoutMs = 30 * 1000;

    QTemporaryDir *home = prepareHome();
    int result = 0;
    {
        QMWidgets::App app(argc, argv, QStringLiteral("Quillar"), QStringLiteral("Glyphcraft"));
        qInstallMessageHandler(quietHandler);
        app.setStyleSheet(appStyleSheet);
        StallMeter meter;
        s_meter = &meter;

        // The picture: photo-like as a JPEG file of quality 92, or noise as PNG.
        QTemporaryDir work;
        const QString photo = work.filePath(QLatin1String(noise ? "noise.png" : "photo.jpg"));
        {
            const QImage image = noise ? noiseImage(size.width(), size.height(), 20240611u)
                                       : photoLike(size.width(), size.height(), false, 20240611u);
            QImageWriter writer(photo, noise ? "PNG" : "JPEG");
            if (!noise)
                writer.setQuality(92);
            if (!writer.write(image)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(photo));
                return 1;
            }
        }
        std::printf("bench_road: %dx%d %s, %lld bytes; %d cores\n", size.width(), size.height(),
                    noise ? "noise picture, PNG" : "photo-like picture, JPEG quality 92",
                    QFileInfo(photo).size(), QThread::idealThreadCount());
        std::printf("  (times until the visible view is final; 'settled' adds the idle event loop)\n");

        QElapsedTimer clock;
        clock.start();
        const QImage decoded = MGraphX::ImageDecoder::decodeFile(photo, true);
        const qint64 decodeMs = clock.elapsed();
        std::printf("  %-34s %12s   (%dx%d)\n", "file decode (decodeFile)", qPrintable(ms(decodeMs)),
                    decoded.width(), decoded.height());

        Road road;
        settle();
        const QString caption = captionOf(size);

        // Drop to picture ready: caption, encoded picture and its size shown.
        qint64 keyBefore = road.pictureKey();
        road.blankSize();
        const StepResult load = timeStep([&] { road.drop(photo); }, [&] {
            return road.picture->captionText() == caption && road.sizeShown()
                && road.pictureKey() != keyBefore;
        });
        report("drop to picture ready", load);
        if (load.readyMs < 0)
            std::printf("  picture preview shows %s, %s\n", qPrintable(road.picture->captionText()),
                        qPrintable(road.picture->sizeText()));

        // One slider step with the picture tab current.
        keyBefore = road.pictureKey();
        road.blankSize();
        report("slider step, PREVIEW tab", timeStep([&] { road.brightnessStep(); }, [&] {
            return road.sizeShown() && road.pictureKey() != keyBefore;
        }));

        // Each text tab shown (PNG).
        for (int tab = HtmlTab; tab <= Base64Tab; ++tab) {
            const StepResult r = timeStep([&] { road.tabs->setCurrentIndex(tab); },
                                          [&] { return road.textCarries(tab, QStringLiteral("png"), QStringLiteral("iVBOR")); });
            report(qPrintable(QStringLiteral("show %1 tab").arg(QLatin1String(tabNames[tab]))), r);
        }

        // One slider step with the HTML tab current.
        road.tabs->setCurrentIndex(HtmlTab);
        settle();
        const QString htmlBefore = road.textEnds(HtmlTab);
        report("slider step, HTML tab", timeStep([&] { road.brightnessStep(); }, [&] {
            const QString now = road.textEnds(HtmlTab);
            return now != htmlBefore && road.textCarries(HtmlTab, QStringLiteral("png"), QStringLiteral("iVBOR"));
        }));

        // Format changes, with the picture tab current.
        road.tabs->setCurrentIndex(PreviewTab);
        settle();
        keyBefore = road.pictureKey();
        road.blankSize();
        report("format PNG -> JPG, PREVIEW tab", timeStep([&] { road.chooseFormat("JPG"); }, [&] {
            return road.sizeShown() && road.pictureKey() != keyBefore;
        }));
        // A new drop while JPG output is chosen.
        keyBefore = road.pictureKey();
        road.blankSize();
        const StepResult jpgLoad = timeStep([&] { road.drop(photo); }, [&] {
            return road.picture->captionText() == caption && road.sizeShown()
                && road.pictureKey() != keyBefore;
        });
        report("drop to picture ready, JPG output", jpgLoad);
        keyBefore = road.pictureKey();
        road.blankSize();
        report("format JPG -> PNG, PREVIEW tab", timeStep([&] { road.chooseFormat("PNG"); }, [&] {
            return road.sizeShown() && road.pictureKey() != keyBefore;
        }));

        std::printf("  HTML text: %lld characters\n", qint64(road.editor(HtmlTab)->textLength()));
        std::printf("  peak memory (VmHWM), every tab visited: %s\n", qPrintable(statusValue("VmHWM")));

        // A drop with the HTML tab current: until the caption names the new
        // picture, and until the text carries it.
        {
            const auto *html = qobject_cast<TextPreview *>(road.tabs->widget(HtmlTab));
            road.tabs->setCurrentIndex(HtmlTab);
            settle();
            road.picture->slotSetPixmap(QPixmap());
            road.editor(HtmlTab)->setPlainText(QString());
            qint64 captionMs = -1;
            QElapsedTimer since;
            const StepResult r = timeStep([&] { since.start(); road.drop(photo); }, [&] {
                if (captionMs < 0 && road.picture->captionText() == caption)
                    captionMs = since.elapsed();
                return captionMs >= 0 && !html->isTextPending()
                    && road.textCarries(HtmlTab, QStringLiteral("png"), QStringLiteral("iVBOR"));
            });
            std::printf("  %-34s caption %10s   text %12s   longest stall %9s\n", "drop, HTML tab",
                        qPrintable(ms(captionMs)), qPrintable(ms(r.readyMs)), qPrintable(ms(r.stallMs)));
        }

        // An arrow key held on Resize with the picture tab current, then the
        // HTML tab.
        for (const int heldTab : {int(PreviewTab), int(HtmlTab)})
            holdResize(road, size, heldTab);
        exportAfterStep(road, size);

        // The same steps on a picture the form processes on its worker.
        if (qint64(size.width()) * size.height() <= InlinePixels) {
            const QSize large(1600, 1200);
            const QString largePhoto = work.filePath(QStringLiteral("large.jpg"));
            QImageWriter writer(largePhoto, "JPEG");
            writer.setQuality(92);
            if (writer.write(photoLike(large.width(), large.height(), false, 20240612u)))
                workerRoad(road, largePhoto, large);
            else
                s_failures << QStringLiteral("cannot write %1").arg(largePhoto);
        }

        // The five texts for a few settings, for a byte-for-byte comparison
        // of builds.
        const QString textsDir = qEnvironmentVariable("GLYPH_BENCH_TEXTS");
        if (!textsDir.isEmpty()) {
            struct Setting { const char *name; int brightness, contrast, resize; const char *format; };
            const Setting settings[] = {{"neutral-png", 0, 0, 100, "PNG"},
                                        {"b10-c20-r50-png", 10, 20, 50, "PNG"},
                                        {"b-30-c0-r73-jpg", -30, 0, 73, "JPG"}};
            road.drop(photo);
            settle();
            for (const Setting &setting : settings) {
                road.spinOf("Brightness:")->setValue(setting.brightness);
                road.spinOf("Contrast:")->setValue(setting.contrast);
                road.spinOf("Resize:")->setValue(setting.resize);
                road.chooseFormat(setting.format);
                for (int tab = HtmlTab; tab <= Base64Tab; ++tab) {
                    road.tabs->setCurrentIndex(tab);
                    const auto *view = qobject_cast<TextPreview *>(road.tabs->widget(tab));
                    settle();
                    waitUntil([&] { return !view->isTextPending(); });
                    QFile out(QStringLiteral("%1/%2-%3.txt").arg(textsDir, QLatin1String(setting.name),
                                                                QLatin1String(tabNames[tab])));
                    if (out.open(QIODevice::WriteOnly))
                        out.write(road.wholeText(tab).toUtf8());
                }
            }
            road.spinOf("Brightness:")->setValue(0);
            road.spinOf("Contrast:")->setValue(0);
            road.spinOf("Resize:")->setValue(100);
            road.chooseFormat("PNG");
            settle();
            std::printf("  texts written to %s\n", qPrintable(textsDir));
        }
        std::printf("  longest stall of a drop: %s\n",
                    qPrintable(ms(std::max(load.stallMs, jpgLoad.stallMs))));

        // Freed buffers must not pile up: alternate the large picture with a
        // small one and note the resident memory while the small one is shown.
        // A picture's HTML text is final when the picture tab's caption names
        // its size (every view has the pixmap then) and no text is on its way.
        {
            const QString small = work.filePath(QStringLiteral("small.jpg"));
            photoLike(400, 300, false, 7u).save(small, "JPEG", 92);
            const QString smallCaption = QStringLiteral("<H2>400x300</H2>");
            const auto *html = qobject_cast<TextPreview *>(road.tabs->widget(HtmlTab));
            const auto textShown = [&](const QString &shownCaption) {
                return road.picture->captionText() == shownCaption && !html->isTextPending()
                    && road.textCarries(HtmlTab, QStringLiteral("png"), QStringLiteral("iVBOR"));
            };
            road.tabs->setCurrentIndex(HtmlTab);
            QString first;
            int timeouts = 0;
            qint64 largeChars = 0;
            qint64 smallChars = 0;
            clock.restart();
            for (int round = 1; round <= 12; ++round) {
                road.drop(photo);
                timeouts += waitUntil([&] { return textShown(caption); }) ? 0 : 1;
                largeChars = road.editor(HtmlTab)->textLength();
                settle();
                road.drop(small);
                timeouts += waitUntil([&] { return textShown(smallCaption); }) ? 0 : 1;
                smallChars = road.editor(HtmlTab)->textLength();
                settle();
                if (round == 1)
                    first = statusValue("VmRSS");
            }
            std::printf("  12 large + 12 small loads, HTML tab: %s (HTML text %lld / %lld characters, "
                        "%d waits timed out)\n",
                        qPrintable(ms(clock.elapsed())), largeChars, smallChars, timeouts);
            std::printf("  resident memory, small picture shown after 1 / 12 large loads: %s / %s\n",
                        qPrintable(first), qPrintable(statusValue("VmRSS")));
        }

        // The same job by ImageMagick, when it is really there.
        QProcess probe;
        probe.start(QStringLiteral("convert"), {QStringLiteral("-version")});
        const bool realConvert = probe.waitForFinished(10000)
            && QString::fromLocal8Bit(probe.readAllStandardOutput()).contains(QLatin1String("ImageMagick"));
        if (realConvert) {
            clock.restart();
            const int rc = QProcess::execute(QStringLiteral("bash"),
                                             {QStringLiteral("-c"),
                                              QStringLiteral("convert '%1' png:- | base64 -w0 > /dev/null").arg(photo)});
            const qint64 convertMs = clock.elapsed();
            std::printf("  convert photo.jpg png:- | base64 -w0: %s (exit %d)\n", qPrintable(ms(convertMs)), rc);
            if (convertMs > 0 && load.readyMs >= 0)
                std::printf("  ratio drop-to-picture-ready / convert: %.2f\n", double(load.readyMs) / convertMs);
        } else {
            std::printf("  convert: not ImageMagick here, comparison skipped\n");
        }
        if (load.readyMs < 0)
            s_failures << QStringLiteral("the first drop was not shown");
        if (s_timeouts > 0)
            s_failures << QStringLiteral("%1 waits timed out (after %2 ms each)").arg(s_timeouts).arg(s_stepTimeoutMs);
        for (const QString &failure : qAsConst(s_failures))
            std::printf("  FAILED: %s\n", qPrintable(failure));
        result = s_failures.isEmpty() ? 0 : 1;
    }
    delete home;
    return result;
}
