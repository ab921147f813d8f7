// Draws the default icons of the widget collection's controls, the ones a host
// program without a style sheet sees, and writes the collection's resource
// list beside them. Run by hand (see CMakeLists.txt) with the collection's
// source folder as the argument.
//
// Every icon is drawn on a 48 x 48 transparent canvas in a dark ink and then
// given a thin light halo, so it reads on light buttons as well as on dark
// pictures and panels.

#include "qrcwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

const int Side = 48;
const QColor kInk(52, 56, 64);
const QColor kAccent(40, 120, 220);
const QColor kGood(30, 150, 60);
const QColor kBad(200, 50, 45);
const QColor kMuted(140, 144, 150);

using Draw = std::function<void(QPainter &)>;

QString g_folder;
QStringList g_files;
bool g_failed = false;

QPen ink(const QColor &c, qreal width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A light rim around whatever the glyph covers: the alpha of each pixel's
// neighbourhood (radius 2), in near-white, beneath the glyph.
QImage withHalo(const QImage &glyph)
{
    QImage out(glyph.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    const int w = glyph.width();
    const int h = glyph.height();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int alpha = 0;
            for (int dy = -2; dy <= 2; ++dy) {
                for (int dx = -2; dx <= 2; ++dx) {
                    if (dx * dx + dy * dy > 5)
                        continue;
                    const int sx = x + dx;
                    const int sy = y + dy;
                    if (sx >= 0 && sy >= 0 && sx < w && sy < h)
                        alpha = qMax(alpha, qAlpha(glyph.pixel(sx, sy)));
                }
            }
            out.setPixel(x, y, qPremultiply(qRgba(250, 250, 252, alpha * 3 / 4)));
        }
    }
    QPainter p(&out);
    p.drawImage(0, 0, glyph);
    return out;
}

void icon(const QString &name, const Draw &draw)
{
    QImage glyph(Side, Side, QImage::Format_ARGB32_Premultiplied);
    glyph.fill(Qt::transparent);
    {
        QPainter p(&glyph);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    const QString file = QStringLiteral("icons/") + name + QStringLiteral(".png");
    if (!withHalo(glyph).save(QDir(g_folder).filePath(file), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        g_failed = true;
        return;
    }
    g_files.append(file);
}

void cross(QPainter &p, const QRectF &r, const QColor &c, qreal width)
{
    p.setPen(ink(c, width));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void plus(QPainter &p, QPointF centre, qreal half, const QColor &c, qreal width, bool vertical = true)
{
    p.setPen(ink(c, width));
    p.drawLine(centre - QPointF(half, 0), centre + QPointF(half, 0));
    if (vertical)
        p.drawLine(centre - QPointF(0, half), centre + QPointF(0, half));
}

void magnifier(QPainter &p, bool withPlus, bool withMinus)
{
    p.setPen(ink(kInk, 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(20, 20), 13, 13);
    p.setPen(ink(kInk, 6));
    p.drawLine(QPointF(30, 30), QPointF(42, 42));
    if (withPlus || withMinus)
        plus(p, QPointF(20, 20), 7, kInk, 3.5, withPlus);
}

// A bent arrow: a quarter-circle shaft ending in a head; mirrored for redo.
void turnArrow(QPainter &p, bool mirrored)
{
    if (mirrored) {
        p.translate(Side, 0);
        p.scale(-1, 1);
    }
    QPainterPath shaft;
    shaft.moveTo(14, 18);
    shaft.lineTo(28, 18);
    shaft.arcTo(QRectF(16, 18, 24, 22), 90, -180);
    shaft.lineTo(16, 40);
    p.setPen(ink(kInk, 4.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shaft);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({QPointF(4, 18), QPointF(17, 8), QPointF(17, 28)}));
}

// The letter A from strokes, so no installed font is needed.
void letterA(QPainter &p, const QRectF &r, qreal width)
{
    p.setPen(ink(kInk, width));
    const QPointF apex(r.center().x(), r.top());
    p.drawLine(r.bottomLeft(), apex);
    p.drawLine(apex, r.bottomRight());
    const qreal barY = r.top() + r.height() * 0.62;
    const qreal inset = r.width() * 0.5 * (1.0 - 0.62);
    p.drawLine(QPointF(r.left() + inset, barY), QPointF(r.right() - inset, barY));
}

void drawIcons()
{
    // Drawing tools.
    icon(QStringLiteral("pen"), [](QPainter &p) {
        p.translate(24, 24);
        p.rotate(45);
        p.setPen(ink(kInk, 2.5));
        p.setBrush(QColor(250, 200, 70));
        p.drawRect(QRectF(-5, -20, 10, 28));
        p.setBrush(kInk);
        p.drawPolygon(QPolygonF({QPointF(-5, 8), QPointF(5, 8), QPointF(0, 19)}));
    });
    icon(QStringLiteral("eraser"), [](QPainter &p) {
        p.translate(24, 26);
        p.rotate(-35);
        p.setPen(ink(kInk, 2.5));
        p.setBrush(QColor(235, 120, 140));
        p.drawRoundedRect(QRectF(-17, -9, 20, 18), 3, 3);
        p.setBrush(QColor(245, 245, 245));
        p.drawRoundedRect(QRectF(3, -9, 14, 18), 3, 3);
    });
    icon(QStringLiteral("highlighter"), [](QPainter &p) {
        p.setPen(ink(QColor(250, 220, 40, 200), 8));
        p.drawLine(QPointF(6, 42), QPointF(28, 42));
        p.translate(26, 22);
        p.rotate(40);
        p.setPen(ink(kInk, 2.5));
        p.setBrush(QColor(250, 220, 40));
        p.drawRect(QRectF(-7, -18, 14, 24));
        p.setBrush(kInk);
        p.drawPolygon(QPolygonF({QPointF(-7, 6), QPointF(7, 6), QPointF(3, 16), QPointF(-3, 16)}));
    });
    icon(QStringLiteral("rectangle"), [](QPainter &p) {
        p.setPen(ink(kInk, 4));
        p.drawRect(QRectF(7, 11, 34, 26));
    });
    icon(QStringLiteral("filledrectangle"), [](QPainter &p) {
        p.setPen(ink(kInk, 4));
        p.setBrush(kAccent);
        p.drawRect(QRectF(7, 11, 34, 26));
    });
    icon(QStringLiteral("oval"), [](QPainter &p) {
        p.setPen(ink(kInk, 4));
        p.drawEllipse(QRectF(6, 10, 36, 28));
    });
    icon(QStringLiteral("filledoval"), [](QPainter &p) {
        p.setPen(ink(kInk, 4));
        p.setBrush(kAccent);
        p.drawEllipse(QRectF(6, 10, 36, 28));
    });
    icon(QStringLiteral("blur"), [](QPainter &p) {
        p.setPen(ink(kInk, 3));
        p.drawRect(QRectF(7, 9, 34, 30));
        p.setPen(Qt::NoPen);
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                const int shade = 70 + 40 * ((row + column) % 3);
                p.setBrush(QColor(shade, shade + 10, shade + 30, 170));
                p.drawEllipse(QPointF(12.5 + column * 7.7, 14.5 + row * 6.7), 4.2, 4.2);
            }
        }
    });
    icon(QStringLiteral("line"), [](QPainter &p) {
        p.setPen(ink(kInk, 4.5));
        p.drawLine(QPointF(8, 40), QPointF(40, 8));
    });
    icon(QStringLiteral("arrow"), [](QPainter &p) {
        p.setPen(ink(kInk, 4.5));
        p.drawLine(QPointF(8, 40), QPointF(34, 14));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPolygon(QPolygonF({QPointF(42, 6), QPointF(38, 25), QPointF(23, 10)}));
    });
    icon(QStringLiteral("text"), [](QPainter &p) {
        p.setPen(ink(kInk, 6));
        p.drawLine(QPointF(10, 10), QPointF(38, 10));
        p.drawLine(QPointF(24, 10), QPointF(24, 40));
        p.setPen(ink(kInk, 3));
        p.drawLine(QPointF(17, 40), QPointF(31, 40));
    });
    icon(QStringLiteral("thickness"), [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawRect(QRectF(7, 9, 34, 2));
        p.drawRect(QRectF(7, 17, 34, 4));
        p.drawRect(QRectF(7, 27, 34, 7));
        p.drawPolygon(QPolygonF({QPointF(34, 39), QPointF(42, 39), QPointF(38, 44)}));
    });
    icon(QStringLiteral("undo"), [](QPainter &p) { turnArrow(p, false); });
    icon(QStringLiteral("redo"), [](QPainter &p) { turnArrow(p, true); });
    icon(QStringLiteral("save"), [](QPainter &p) {
        p.setPen(ink(kInk, 4));
        p.drawPolyline(QPolygonF({QPointF(7, 28), QPointF(7, 41), QPointF(41, 41), QPointF(41, 28)}));
        p.drawLine(QPointF(24, 6), QPointF(24, 30));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPolygon(QPolygonF({QPointF(14, 22), QPointF(34, 22), QPointF(24, 34)}));
    });
    icon(QStringLiteral("quit"), [](QPainter &p) {
        p.setPen(ink(kInk, 4));
        p.drawPolyline(QPolygonF({QPointF(26, 14), QPointF(26, 7), QPointF(7, 7), QPointF(7, 41),
                                  QPointF(26, 41), QPointF(26, 34)}));
        p.drawLine(QPointF(16, 24), QPointF(36, 24));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPolygon(QPolygonF({QPointF(44, 24), QPointF(33, 15), QPointF(33, 33)}));
    });
    icon(QStringLiteral("apps"), [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column)
                p.drawRoundedRect(QRectF(8 + column * 12, 8 + row * 12, 8, 8), 2, 2);
        }
    });
    icon(QStringLiteral("moreapps"), [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawRoundedRect(QRectF(7, 7, 14, 14), 3, 3);
        p.drawRoundedRect(QRectF(27, 7, 14, 14), 3, 3);
        p.drawRoundedRect(QRectF(7, 27, 14, 14), 3, 3);
        plus(p, QPointF(34, 34), 7, kAccent, 4);
    });

    // Text note.
    icon(QStringLiteral("accept"), [](QPainter &p) {
        p.setPen(ink(kGood, 6));
        p.drawPolyline(QPolygonF({QPointF(8, 25), QPointF(19, 36), QPointF(40, 12)}));
    });
    icon(QStringLiteral("cancel"), [](QPainter &p) { cross(p, QRectF(11, 11, 26, 26), kBad, 6); });
    icon(QStringLiteral("increase"), [](QPainter &p) {
        letterA(p, QRectF(4, 10, 26, 32), 4);
        plus(p, QPointF(38, 14), 7, kAccent, 4);
    });
    icon(QStringLiteral("decrease"), [](QPainter &p) {
        letterA(p, QRectF(6, 20, 18, 22), 3.5);
        plus(p, QPointF(37, 14), 7, kAccent, 4, false);
    });

    // Viewer and title bar.
    icon(QStringLiteral("zoomin"), [](QPainter &p) { magnifier(p, true, false); });
    icon(QStringLiteral("zoomout"), [](QPainter &p) { magnifier(p, false, true); });
    icon(QStringLiteral("search"), [](QPainter &p) { magnifier(p, false, false); });
    icon(QStringLiteral("fit"), [](QPainter &p) {
        p.setPen(ink(kInk, 4));
        const QPolygonF corner({QPointF(0, 10), QPointF(0, 0), QPointF(10, 0)});
        for (int quarter = 0; quarter < 4; ++quarter) {
            p.save();
            p.translate(24, 24);
            p.rotate(90 * quarter);
            p.translate(-17, -17);
            p.drawPolyline(corner);
            p.restore();
        }
        p.setPen(ink(kInk, 2.5));
        p.drawRect(QRectF(15, 17, 18, 14));
    });
    icon(QStringLiteral("actualpixels"), [](QPainter &p) {
        p.setPen(ink(kInk, 5));
        p.drawLine(QPointF(12, 12), QPointF(12, 38));
        p.drawLine(QPointF(36, 12), QPointF(36, 38));
        p.drawLine(QPointF(12, 12), QPointF(7, 16));
        p.drawLine(QPointF(36, 12), QPointF(31, 16));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(24, 18), 3, 3);
        p.drawEllipse(QPointF(24, 32), 3, 3);
    });
    icon(QStringLiteral("optimize"), [](QPainter &p) {
        p.setPen(ink(kInk, 5));
        p.drawLine(QPointF(8, 40), QPointF(30, 18));
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        const QPointF stars[] = {QPointF(36, 12), QPointF(22, 8), QPointF(40, 28)};
        const qreal sizes[] = {7, 4.5, 4.5};
        for (int i = 0; i < 3; ++i) {
            const QPointF c = stars[i];
            const qreal s = sizes[i];
            p.drawPolygon(QPolygonF({c + QPointF(0, -s), c + QPointF(s / 3, -s / 3), c + QPointF(s, 0),
                                     c + QPointF(s / 3, s / 3), c + QPointF(0, s),
                                     c + QPointF(-s / 3, s / 3), c + QPointF(-s, 0),
                                     c + QPointF(-s / 3, -s / 3)}));
        }
    });
    icon(QStringLiteral("close"), [](QPainter &p) { cross(p, QRectF(12, 12, 24, 24), kInk, 5); });
    icon(QStringLiteral("next"), [](QPainter &p) {
        p.setPen(ink(kInk, 7));
        p.drawPolyline(QPolygonF({QPointF(17, 8), QPointF(33, 24), QPointF(17, 40)}));
    });
    icon(QStringLiteral("previous"), [](QPainter &p) {
        p.setPen(ink(kInk, 7));
        p.drawPolyline(QPolygonF({QPointF(31, 8), QPointF(15, 24), QPointF(31, 40)}));
    });

    // Switch parts, search field, progress and e-mail buttons.
    const auto power = [](const QColor &c) {
        return [c](QPainter &p) {
            p.setPen(ink(c, 5));
            p.drawArc(QRectF(9, 10, 30, 30), 120 * 16, 300 * 16);
            p.drawLine(QPointF(24, 5), QPointF(24, 22));
        };
    };
    icon(QStringLiteral("poweroff"), power(kMuted));
    icon(QStringLiteral("poweron"), power(kGood));
    icon(QStringLiteral("switchon"), [](QPainter &p) {
        p.setPen(ink(kGood, 6));
        p.drawLine(QPointF(24, 10), QPointF(24, 38));
    });
    icon(QStringLiteral("switchoff"), [](QPainter &p) {
        p.setPen(ink(kMuted, 5));
        p.drawEllipse(QPointF(24, 24), 13, 13);
    });
    icon(QStringLiteral("handle"), [](QPainter &p) {
        p.setPen(ink(kInk, 4));
        for (int x : {15, 24, 33})
            p.drawLine(QPointF(x, 12), QPointF(x, 36));
    });
    icon(QStringLiteral("clear"), [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kMuted);
        p.drawEllipse(QPointF(24, 24), 21, 21);
        cross(p, QRectF(15, 15, 18, 18), Qt::white, 6);
    });
    icon(QStringLiteral("stop"), [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBad);
        p.drawRoundedRect(QRectF(10, 10, 28, 28), 4, 4);
    });
    icon(QStringLiteral("email"), [](QPainter &p) {
        p.setPen(ink(kInk, 3.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 11, 38, 26));
        p.drawPolyline(QPolygonF({QPointF(5, 11), QPointF(24, 27), QPointF(43, 11)}));
    });
    icon(QStringLiteral("ecard"), [](QPainter &p) {
        p.setPen(ink(kInk, 3.5));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(5, 8, 38, 32), 3, 3);
        QPainterPath heart;
        heart.moveTo(24, 34);
        heart.cubicTo(8, 24, 14, 12, 24, 20);
        heart.cubicTo(34, 12, 40, 24, 24, 34);
        p.setPen(Qt::NoPen);
        p.setBrush(kBad);
        p.drawPath(heart);
    });
    icon(QStringLiteral("community"), [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kMuted);
        p.drawEllipse(QPointF(33, 15), 6, 6);
        p.drawPie(QRectF(22, 23, 22, 26), 0, 180 * 16);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(18, 17), 7.5, 7.5);
        p.drawPie(QRectF(4, 26, 28, 30), 0, 180 * 16);
    });
}

bool writeQrc()
{
    QVector<QrcEntry> entries;
    for (const QString &f : qAsConst(g_files))
        entries.append({QFileInfo(f).fileName(), f});
    return writeQrcFile(QDir(g_folder).filePath(QStringLiteral("collection.qrc")), QStringLiteral("/collection"),
                        QStringLiteral("resources/generator (collectionicons)"), entries);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: collectionicons <widget collection folder>\n");
        return 2;
    }
    g_folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    if (!QDir(g_folder).mkpath(QStringLiteral("icons"))) {
        std::fprintf(stderr, "cannot create the icons folder\n");
        return 1;
    }
    drawIcons();
    if (!writeQrc()) {
        std::fprintf(stderr, "cannot write collection.qrc\n");
        return 1;
    }
    return g_failed ? 1 : 0;
}
