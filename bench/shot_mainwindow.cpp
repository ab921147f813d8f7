// Draws the main window with a picture loaded and the HTML tab open, and saves
// it as a PNG: the screenshot for the documentation.
//
//   shot_mainwindow OUTPUT.png
//
// Run it on a real display server (xcb, e.g. under a virtual frame buffer) so
// fonts and window sizes are those a user sees. The program starts as main()
// does, in a temporary home so no settings of the user are read or changed.
// The picture is drawn here: an evening landscape with a low sun, hills and a
// lake, with a little grain so it encodes like a photograph.
#include "appstylesheet.h"
#include "droparea.h"
#include "mainapp.h"
#include "mainpage.h"
#include "promomenubar.h"
#include "representor.h"
#include "siteconfig.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QEventLoop>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Size budget of the saved screenshot.
const qint64 maxBytes = 400 * 1024;

// A small linear congruential generator: the same picture on every run.
class Grain
{
public:
    explicit Grain(quint64 seed) : m_state(seed) {}
    // -1 .. 1
    double next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(quint32(m_state >> 33)) / 2147483648.0 - 1.0;
    }

private:
    quint64 m_state;
};

// The outline of a range of hills: a few sines of different lengths over a base line.
QPainterPath hills(int width, int height, double base, double amplitude, double phase, double roughness)
{
    QPainterPath path;
    path.moveTo(0, height);
    for (int x = 0; x <= width; x += 4) {
        const double t = double(x) / width;
        const double y = base - amplitude * (0.55 * std::sin(t * 5.1 + phase) + 0.30 * std::sin(t * 11.3 + 2 * phase)
                                             + roughness * std::sin(t * 37.0 + 3 * phase));
        path.lineTo(x, y);
    }
    path.lineTo(width, height);
    path.closeSubpath();
    return path;
}

QImage sunsetLandscape(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double horizon = height * 0.62;

    // Sky: deep blue above, through violet and rose to orange at the horizon.
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0.0, QColor(24, 32, 88));
    sky.setColorAt(0.35, QColor(92, 62, 130));
    sky.setColorAt(0.65, QColor(214, 104, 96));
    sky.setColorAt(0.9, QColor(250, 168, 80));
    sky.setColorAt(1.0, QColor(255, 206, 120));
    painter.fillRect(QRectF(0, 0, width, horizon + 1), sky);

    // The sun low over the hills, with its glow.
    const QPointF sun(width * 0.64, horizon - height * 0.10);
    QRadialGradient glow(sun, height * 0.45);
    glow.setColorAt(0.0, QColor(255, 240, 190, 220));
    glow.setColorAt(0.25, QColor(255, 190, 110, 110));
    glow.setColorAt(1.0, QColor(255, 150, 90, 0));
    painter.fillRect(QRectF(0, 0, width, horizon + 1), glow);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 247, 214));
    painter.drawEllipse(sun, height * 0.07, height * 0.07);

    // A few thin clouds lit from below.
    Grain cloudGrain(7);
    for (int i = 0; i < 6; ++i) {
        const double cx = width * (0.1 + 0.16 * i + 0.05 * cloudGrain.next());
        const double cy = height * (0.16 + 0.05 * cloudGrain.next() + 0.03 * (i % 3));
        QLinearGradient cloud(cx - width * 0.12, cy, cx + width * 0.12, cy);
        cloud.setColorAt(0.0, QColor(255, 180, 150, 0));
        cloud.setColorAt(0.5, QColor(255, 186, 160, 120));
        cloud.setColorAt(1.0, QColor(255, 180, 150, 0));
        painter.setBrush(cloud);
        painter.drawEllipse(QPointF(cx, cy), width * 0.12, height * 0.012 + 2);
    }

    // The lake: the sky mirrored and darkened, with the sun's path on it.
    QLinearGradient water(0, horizon, 0, height);
    water.setColorAt(0.0, QColor(226, 140, 92));
    water.setColorAt(0.3, QColor(120, 70, 96));
    water.setColorAt(1.0, QColor(20, 24, 56));
    painter.fillRect(QRectF(0, horizon, width, height - horizon), water);
    for (int row = 0; row < 26; ++row) {
        const double y = horizon + 4 + row * (height - horizon) / 28.0;
        const double half = width * (0.05 + 0.004 * row) * (1.0 + 0.3 * std::sin(row * 1.7));
        painter.setBrush(QColor(255, 226, 160, 150 - row * 5));
        painter.drawRect(QRectF(sun.x() - half, y, 2 * half, 2));
    }

    // Three ranges of hills, the farther ones paler in the haze.
    painter.setBrush(QColor(120, 72, 110));
    painter.drawPath(hills(width, int(horizon + 2), horizon - height * 0.02, height * 0.10, 0.4, 0.05));
    painter.setBrush(QColor(70, 42, 76));
    painter.drawPath(hills(width, int(horizon + 2), horizon + height * 0.01, height * 0.07, 2.1, 0.08));

    // The near shore with a row of pines in silhouette.
    QPainterPath shore;
    shore.moveTo(0, height);
    shore.lineTo(0, height * 0.80);
    shore.cubicTo(width * 0.18, height * 0.74, width * 0.32, height * 0.86, width * 0.42, height * 0.92);
    shore.lineTo(width * 0.42, height);
    shore.closeSubpath();
    painter.setBrush(QColor(18, 14, 26));
    painter.drawPath(shore);
    Grain treeGrain(11);
    for (int i = 0; i < 9; ++i) {
        const double x = width * (0.02 + 0.042 * i) + 6 * treeGrain.next();
        const double foot = height * (0.80 - 0.03 * std::sin(i * 0.6)) + 4;
        const double tall = height * (0.13 + 0.05 * treeGrain.next());
        QPainterPath tree;
        tree.moveTo(x, foot - tall);
        for (int step = 1; step <= 4; ++step) {
            const double y = foot - tall + tall * step / 4.0;
            const double half = tall * 0.09 * step;
            tree.lineTo(x + half, y);
            tree.lineTo(x + half * 0.4, y);
        }
        for (int step = 4; step >= 1; --step) {
            const double y = foot - tall + tall * step / 4.0;
            const double half = tall * 0.09 * step;
            tree.lineTo(x - half * 0.4, y);
            tree.lineTo(x - half, y);
        }
        tree.closeSubpath();
        painter.drawPath(tree);
    }
    painter.end();

    // Grain, a little stronger in the dark parts, as a camera sensor gives it.
    Grain grain(1234);
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb c = line[x];
            const double strength = 3.0 + 5.0 * (1.0 - qGray(c) / 255.0);
            const double n = grain.next() * strength;
            auto channel = [n, &grain](int v) { return qBound(0, int(v + n + grain.next()), 255); };
            line[x] = qRgb(channel(qRed(c)), channel(qGreen(c)), channel(qBlue(c)));
        }
    }
    return image;
}

// Reduces a picture to at most 256 colours by median cut over its histogram:
// the box with the most pixels times the widest channel range is split at its
// weighted median until there are 256 boxes; every colour becomes the
// weighted mean of its box. Flat areas keep their exact colour.
QImage toPalette(const QImage &source)
{
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> histogram;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            ++histogram[line[x] | 0xff000000u];
    }
    struct Entry
    {
        QRgb colour;
        int count;
    };
    std::vector<Entry> colours;
    colours.reserve(size_t(histogram.size()));
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        colours.push_back({it.key(), it.value()});
    // A fixed order, so the same picture gives the same file.
    std::sort(colours.begin(), colours.end(), [](const Entry &a, const Entry &b) { return a.colour < b.colour; });

    struct Box
    {
        size_t begin;
        size_t end;
    };
    auto channel = [](QRgb c, int which) { return which == 0 ? qRed(c) : which == 1 ? qGreen(c) : qBlue(c); };
    // The widest channel of a box and its range.
    auto widest = [&](const Box &box, int *which) {
        int best = 0;
        *which = 0;
        for (int ch = 0; ch < 3; ++ch) {
            int low = 255;
            int high = 0;
            for (size_t i = box.begin; i < box.end; ++i) {
                low = std::min(low, channel(colours[i].colour, ch));
                high = std::max(high, channel(colours[i].colour, ch));
            }
            if (high - low > best) {
                best = high - low;
                *which = ch;
            }
        }
        return best;
    };
    std::vector<Box> boxes{{0, colours.size()}};
    while (boxes.size() < 256) {
        double bestScore = 0;
        size_t bestBox = 0;
        int bestChannel = 0;
        for (size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].end - boxes[b].begin < 2)
                continue;
            qint64 pixels = 0;
            for (size_t i = boxes[b].begin; i < boxes[b].end; ++i)
                pixels += colours[i].count;
            int which = 0;
            const double score = double(pixels) * widest(boxes[b], &which);
            if (score > bestScore) {
                bestScore = score;
                bestBox = b;
                bestChannel = which;
            }
        }
        if (bestScore <= 0)
            break;
        const Box box = boxes[bestBox];
        std::sort(colours.begin() + qint64(box.begin), colours.begin() + qint64(box.end),
                  [&](const Entry &a, const Entry &b) { return channel(a.colour, bestChannel) < channel(b.colour, bestChannel); });
        qint64 total = 0;
        for (size_t i = box.begin; i < box.end; ++i)
            total += colours[i].count;
        qint64 running = 0;
        size_t split = box.begin + 1;
        for (size_t i = box.begin; i < box.end - 1; ++i) {
            running += colours[i].count;
            split = i + 1;
            if (2 * running >= total)
                break;
        }
        boxes[bestBox] = {box.begin, split};
        boxes.push_back({split, box.end});
    }

    QVector<QRgb> table;
    QHash<QRgb, uchar> index;
    for (const Box &box : boxes) {
        double r = 0, g = 0, b = 0, n = 0;
        for (size_t i = box.begin; i < box.end; ++i) {
            r += qRed(colours[i].colour) * double(colours[i].count);
            g += qGreen(colours[i].colour) * double(colours[i].count);
            b += qBlue(colours[i].colour) * double(colours[i].count);
            n += colours[i].count;
        }
        const uchar slot = uchar(table.size());
        table.append(qRgb(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5)));
        for (size_t i = box.begin; i < box.end; ++i)
            index.insert(colours[i].colour, slot);
    }

    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    indexed.setColorTable(table);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *out = indexed.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x)
            out[x] = index.value(line[x] | 0xff000000u);
    }
    return indexed;
}

bool writeCompressed(const QImage &image, const QString &path)
{
    QImageWriter writer(path, "png");
    writer.setQuality(0); // strongest compression
    return writer.write(image);
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitUntilExposed(QWidget *window, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        if (window->windowHandle() && window->windowHandle()->isExposed())
            return true;
        wait(20);
    }
    return false;
}

// The platform's drop: the drag enters the area (which makes it the target), then drops.
void dropFile(QWidget *target, const QString &path)
{
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    const QPoint centre = target->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);

    // A fresh home: settings, work folder and documents go there and vanish afterwards.
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/glyphshot-XXXXXX"));
    if (!home.isValid()) {
        std::fprintf(stderr, "cannot make a temporary home\n");
        return 1;
    }
    const QByteArray homePath = QFile::encodeName(home.path());
    qputenv("HOME", homePath);
    qputenv("XDG_CONFIG_HOME", homePath + "/.config");
    qputenv("XDG_DATA_HOME", homePath + "/.local/share");
    qputenv("XDG_CACHE_HOME", homePath + "/.cache");
    {
        // No update check while the picture is taken.
        QSettings settings(QStringLiteral("Quillar"), QStringLiteral("Glyphcraft"));
        settings.setValue(QStringLiteral("Glyphcraft/checkupdates"), false);
        settings.setValue(QStringLiteral("Glyphcraft/AutoReminder"), false);
    }

    MainApp app(argc, argv, QStringLiteral("Quillar"), QStringLiteral("Glyphcraft"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.8"));
    // Started as main() starts the program, so the shot shows what a build
    // shows: with placeholder site addresses, what would open them is hidden.
    QCoreApplication::setOrganizationDomain(QMWidgets::SiteConfig::organizationDomain());
    app.setStyleSheet(appStyleSheet);
    app.setWebLinksDisabled(QMWidgets::SiteConfig::hasPlaceholderAddresses());
    app.setPrivacyPolicyUrl(QMWidgets::SiteConfig::privacyPolicyPage());
    app.setSharePage(QString());

    MainPage page;
    page.menuBar()->fillPromoMenu(QStringLiteral("photo"));
    page.setWindowTitle(QCoreApplication::applicationName());
    page.show();
    app.setMainWidget(&page);
    page.resize(1200, 760);
    if (!waitUntilExposed(&page, 5000))
        std::fprintf(stderr, "the window was not exposed; grabbing anyway\n");

    const QString picture = home.filePath(QStringLiteral("evening.png"));
    if (!sunsetLandscape(800, 500).save(picture, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(picture));
        return 1;
    }
    auto *dropArea = page.findChild<CreatorDropArea *>(QStringLiteral("DropArea"));
    if (!dropArea) {
        std::fprintf(stderr, "no DropArea in the main page\n");
        return 1;
    }
    dropFile(dropArea, picture);
    // The file is read on a worker.
    for (int waited = 0; dropArea->isReading() && waited < 10000; waited += 20)
        wait(20);

    auto *tabs = page.representor()->findChild<QTabWidget *>();
    if (!tabs) {
        std::fprintf(stderr, "no preview tabs in the main page\n");
        return 1;
    }
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == QLatin1String("HTML"))
            tabs->setCurrentIndex(i);
    }
    wait(1000);

    // The file goes into the repository: opaque, strongest compression, and
    // reduced to 256 colours when the full-colour file is over the budget.
    const QImage shot = page.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (shot.isNull() || !writeCompressed(shot, output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    if (QFileInfo(output).size() > maxBytes && !writeCompressed(toPalette(shot), output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s: %dx%d, %lld bytes\n", qPrintable(output), shot.width(), shot.height(),
                static_cast<long long>(QFileInfo(output).size()));
    app.setMainWidget(nullptr);
    return 0;
}
