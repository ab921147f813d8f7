// Draws every picture of Glyphcraft's resources and writes the resource lists
// (images.qrc, pix.qrc) that compile them into the program. All artwork is
// drawn here from simple shapes; nothing is taken from elsewhere.
//
// Build and run by hand (not part of the program's build):
//   cmake -S resources/generator -B /tmp/glyphgen
//   cmake --build /tmp/glyphgen
//   /tmp/glyphgen/glyphgen resources        (the argument is the resources folder)
//
// Sizes are at least those at which the program shows each picture, most of
// them twice that so they stay sharp on high-density screens.

#include "gifwriter.h"
#include "qrcwriter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QFontMetricsF>
#include <QTextStream>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

// ---------------------------------------------------------------- output

QString g_root;
QVector<QrcEntry> g_images; // images.qrc
QVector<QrcEntry> g_pix;    // pix.qrc
bool g_failed = false;

void ensureFolder(const QString &relativeFile)
{
    QDir(g_root).mkpath(QFileInfo(relativeFile).path());
}

void fail(const QString &what)
{
    std::fprintf(stderr, "glyphgen: cannot write %s\n", qPrintable(what));
    g_failed = true;
}

// Writes a picture under images/ and lists it as ":/<name>".
void saveImage(const QImage &image, const QString &name)
{
    const QString file = QStringLiteral("images/") + name;
    ensureFolder(file);
    if (!image.save(g_root + "/" + file, "PNG"))
        fail(file);
    g_images.append(QrcEntry{name, file});
}

// Lists an existing file once more under another name (one drawing, several rows).
void alias(const QString &name, const QString &file)
{
    g_images.append(QrcEntry{name, file});
}

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

class Painter : public QPainter
{
public:
    explicit Painter(QImage *image) : QPainter(image)
    {
        setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform
                       | QPainter::TextAntialiasing);
    }
};

// Maps a 100 x 100 design box onto the given rectangle for the glyph functions.
class UnitBox
{
public:
    UnitBox(QPainter &p, const QRectF &r) : m_p(p)
    {
        m_p.save();
        m_p.translate(r.topLeft());
        m_p.scale(r.width() / 100.0, r.height() / 100.0);
    }
    ~UnitBox() { m_p.restore(); }

private:
    QPainter &m_p;
};

QFont font(qreal pixelSize, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void text(QPainter &p, const QRectF &r, const QString &s, qreal px, bool bold, const QColor &c,
          int flags = Qt::AlignCenter)
{
    p.save();
    p.setFont(font(px, bold));
    p.setPen(c);
    p.drawText(r, flags, s);
    p.restore();
}

QPen roundPen(const QColor &c, qreal width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// ---------------------------------------------------------------- palette

const QColor kGlyph(226, 226, 230);
const QColor kGlyphHover(255, 255, 255);
const QColor kAccent(86, 156, 250);
const QColor kDark(38, 38, 42);

// ---------------------------------------------------------------- glyphs
// Each draws inside r (scaled from a 100 x 100 design box) in colour c.

using Glyph = std::function<void(QPainter &, const QRectF &, const QColor &)>;

void glyphCopy(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(roundPen(c, 7));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(14, 6, 50, 62), 7, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(34, 28, 54, 68), 7, 7);
    p.setPen(roundPen(kDark, 5));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(44, 44 + i * 13), QPointF(i == 3 ? 64 : 78, 44 + i * 13));
}

void glyphEye(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    QPainterPath lid;
    lid.moveTo(4, 50);
    lid.quadTo(50, 0, 96, 50);
    lid.quadTo(50, 100, 4, 50);
    p.setPen(roundPen(c, 7));
    p.setBrush(Qt::NoBrush);
    p.drawPath(lid);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(50, 50), 19, 19);
    p.setBrush(kDark);
    p.drawEllipse(QPointF(50, 50), 8, 8);
    p.setBrush(c);
    p.drawEllipse(QPointF(45, 45), 3, 3);
}

void glyphDisk(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    QPainterPath body;
    body.moveTo(8, 14);
    body.quadTo(8, 8, 14, 8);
    body.lineTo(76, 8);
    body.lineTo(92, 24);
    body.lineTo(92, 86);
    body.quadTo(92, 92, 86, 92);
    body.lineTo(14, 92);
    body.quadTo(8, 92, 8, 86);
    body.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(body);
    p.setBrush(kDark);
    p.drawRect(QRectF(26, 8, 44, 28));
    p.setBrush(c);
    p.drawRect(QRectF(55, 13, 10, 18));
    p.setBrush(kDark);
    p.drawRoundedRect(QRectF(20, 52, 60, 34), 4, 4);
    p.setPen(roundPen(c, 4));
    p.drawLine(QPointF(28, 63), QPointF(72, 63));
    p.drawLine(QPointF(28, 75), QPointF(60, 75));
}

QPainterPath gearPath(int teeth, qreal outer, qreal inner, qreal hole)
{
    QPainterPath gear;
    gear.addEllipse(QPointF(50, 50), inner, inner);
    for (int i = 0; i < teeth; ++i) {
        QTransform t;
        t.translate(50, 50);
        t.rotate(360.0 * i / teeth);
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-8.5, -outer, 17, outer - inner + 6), 3, 3);
        gear = gear.united(t.map(tooth));
    }
    QPainterPath centre;
    centre.addEllipse(QPointF(50, 50), hole, hole);
    return gear.subtracted(centre);
}

void glyphGear(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(gearPath(8, 46, 33, 14));
}

void glyphPlay(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPolygonF tri;
    tri << QPointF(34, 22) << QPointF(80, 50) << QPointF(34, 78);
    QPainterPath path;
    path.addPolygon(tri);
    path.closeSubpath();
    p.setPen(roundPen(c, 8));
    p.drawPath(path);
}

QPolygonF starPolygon(QPointF centre, qreal outer, qreal inner)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 ? inner : outer;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        star << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    return star;
}

void glyphStar(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(roundPen(c, 4));
    p.setBrush(c);
    p.drawPolygon(starPolygon(QPointF(50, 54), 47, 20));
}

void glyphQuestion(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(roundPen(c, 8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(50, 50), 44, 44);
    QPainterPath hook;
    hook.moveTo(34, 38);
    hook.cubicTo(34, 18, 68, 18, 67, 38);
    hook.cubicTo(66, 52, 50, 50, 50, 64);
    p.setPen(roundPen(c, 10));
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(50, 79), 6.5, 6.5);
}

void glyphShare(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(roundPen(c, 8));
    p.drawLine(QPointF(26, 50), QPointF(74, 22));
    p.drawLine(QPointF(26, 50), QPointF(74, 78));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(74, 22), 15, 15);
    p.drawEllipse(QPointF(26, 50), 15, 15);
    p.drawEllipse(QPointF(74, 78), 15, 15);
}

void person(QPainter &p, QPointF head, qreal scale, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(head, 16 * scale, 16 * scale);
    QPainterPath body;
    const qreal top = head.y() + 22 * scale;
    body.moveTo(head.x() - 32 * scale, top + 36 * scale);
    body.cubicTo(head.x() - 32 * scale, top - 4 * scale, head.x() + 32 * scale, top - 4 * scale,
                 head.x() + 32 * scale, top + 36 * scale);
    body.closeSubpath();
    p.drawPath(body);
}

void glyphPersonPlus(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    person(p, QPointF(40, 30), 1.0, c);
    p.setPen(QPen(c, 9, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(84, 26), QPointF(84, 56));
    p.drawLine(QPointF(69, 41), QPointF(99, 41));
}

void glyphPeople(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    QColor back = c;
    back.setAlphaF(c.alphaF() * 0.7);
    person(p, QPointF(66, 30), 0.8, back);
    person(p, QPointF(40, 36), 0.95, c);
}

void glyphHamburger(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(12, 18 + i * 26, 76, 12), 6, 6);
}

void glyphGrid4(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            p.drawRoundedRect(QRectF(10 + x * 44, 10 + y * 44, 36, 36), 8, 8);
}

void glyphDots9(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            p.drawEllipse(QPointF(18 + x * 32, 18 + y * 32), 10, 10);
}

void glyphBubble(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(6, 10, 88, 62), 18, 18);
    QPainterPath tail;
    tail.moveTo(24, 66);
    tail.lineTo(18, 94);
    tail.lineTo(48, 70);
    tail.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(bubble.united(tail));
    p.setBrush(kDark);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(30 + i * 20, 41), 6.5, 6.5);
}

void glyphEnvelope(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(roundPen(c, 7));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(8, 20, 84, 60), 7, 7);
    QPolygonF flap;
    flap << QPointF(12, 26) << QPointF(50, 56) << QPointF(88, 26);
    p.drawPolyline(flap);
}

void glyphGlobe(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(roundPen(c, 6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(50, 50), 43, 43);
    p.drawEllipse(QPointF(50, 50), 19, 43);
    p.drawLine(QPointF(50, 7), QPointF(50, 93));
    p.drawLine(QPointF(7, 50), QPointF(93, 50));
    QPainterPath clip;
    clip.addEllipse(QPointF(50, 50), 43, 43);
    p.save();
    p.setClipPath(clip);
    p.drawLine(QPointF(0, 28), QPointF(100, 28));
    p.drawLine(QPointF(0, 72), QPointF(100, 72));
    p.restore();
}

void glyphFolderOpen(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    QPainterPath back;
    back.moveTo(8, 22);
    back.lineTo(36, 22);
    back.lineTo(44, 30);
    back.lineTo(84, 30);
    back.lineTo(84, 80);
    back.lineTo(8, 80);
    back.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c.darker(135));
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(20, 44);
    front.lineTo(96, 44);
    front.lineTo(84, 80);
    front.lineTo(8, 80);
    front.closeSubpath();
    p.setBrush(c);
    p.drawPath(front);
}

void glyphMagnifier(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(roundPen(c, 13));
    p.drawLine(QPointF(62, 62), QPointF(88, 88));
    p.setPen(roundPen(c, 9));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(40, 40), 27, 27);
}

void glyphPicture(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(roundPen(c, 6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(6, 14, 88, 72), 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(68, 36), 9, 9);
    QPolygonF hills;
    hills << QPointF(12, 80) << QPointF(38, 44) << QPointF(56, 66) << QPointF(66, 56)
          << QPointF(88, 80);
    p.drawPolygon(hills);
}

void glyphPhotoStack(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    QColor faded = c;
    faded.setAlphaF(c.alphaF() * 0.55);
    p.setPen(roundPen(faded, 5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(22, 6, 72, 56), 6, 6);
    p.drawRoundedRect(QRectF(14, 16, 72, 56), 6, 6);
    glyphPicture(p, QRectF(4, 22, 76, 76), c);
}

void glyphCollage(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(6, 6, 52, 52), 6, 6);
    p.drawRoundedRect(QRectF(64, 6, 30, 24), 5, 5);
    p.drawRoundedRect(QRectF(64, 36, 30, 22), 5, 5);
    p.drawRoundedRect(QRectF(6, 64, 88, 30), 6, 6);
}

void glyphMonitor(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(roundPen(c, 7));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(6, 10, 88, 60), 6, 6);
    p.drawLine(QPointF(50, 72), QPointF(50, 86));
    p.drawLine(QPointF(30, 90), QPointF(70, 90));
}

void glyphCrop(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(QPen(c, 9, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    QPolygonF a, b;
    a << QPointF(26, 8) << QPointF(26, 74) << QPointF(92, 74);
    b << QPointF(8, 26) << QPointF(74, 26) << QPointF(74, 92);
    p.drawPolyline(a);
    p.drawPolyline(b);
}

void glyphScreenSnap(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    glyphMonitor(p, QRectF(0, 0, 100, 100), c);
    glyphCrop(p, QRectF(26, 18, 48, 48), c);
}

void glyphRuler(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.translate(50, 50);
    p.rotate(-45);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(-48, -17, 96, 34), 5, 5);
    p.setPen(QPen(kDark, 4, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 9; ++i) {
        const qreal x = -38 + i * 9.5;
        p.drawLine(QPointF(x, -17), QPointF(x, i % 2 ? -7 : 1));
    }
}

void glyphDropper(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.translate(50, 50);
    p.rotate(45);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(-14, -48, 28, 22), 8, 8);
    p.drawRect(QRectF(-20, -28, 40, 8));
    p.drawRect(QRectF(-9, -22, 18, 42));
    QPainterPath tip;
    tip.moveTo(-9, 20);
    tip.lineTo(9, 20);
    tip.lineTo(2, 44);
    tip.lineTo(-2, 44);
    tip.closeSubpath();
    p.drawPath(tip);
}

void glyphBraces(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(roundPen(c, 8));
    p.setBrush(Qt::NoBrush);
    QPainterPath left;
    left.moveTo(36, 10);
    left.cubicTo(20, 10, 28, 46, 12, 50);
    left.cubicTo(28, 54, 20, 90, 36, 90);
    QPainterPath right;
    right.moveTo(64, 10);
    right.cubicTo(80, 10, 72, 46, 88, 50);
    right.cubicTo(72, 54, 80, 90, 64, 90);
    p.drawPath(left);
    p.drawPath(right);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(50, 50), 6, 6);
}

void glyphChordGrid(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(QPen(c, 6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(18, 12), QPointF(82, 12));
    p.setPen(QPen(c, 3.5, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(18 + i * 16, 12), QPointF(18 + i * 16, 92));
    for (int i = 1; i < 5; ++i)
        p.drawLine(QPointF(18, 12 + i * 20), QPointF(82, 12 + i * 20));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(34, 42), 8, 8);
    p.drawEllipse(QPointF(50, 62), 8, 8);
    p.drawEllipse(QPointF(66, 62), 8, 8);
}

void glyphChordLearner(QPainter &p, const QRectF &r, const QColor &c)
{
    glyphChordGrid(p, QRectF(r.x(), r.y(), r.width() * 0.8, r.height()), c);
    UnitBox u(p, r);
    p.setPen(roundPen(kDark, 16));
    QPolygonF tick;
    tick << QPointF(58, 76) << QPointF(72, 90) << QPointF(96, 62);
    p.drawPolyline(tick);
    p.setPen(roundPen(c, 8));
    p.drawPolyline(tick);
}

void glyphTuningFork(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(roundPen(c, 9));
    p.setBrush(Qt::NoBrush);
    QPainterPath fork;
    fork.moveTo(34, 8);
    fork.lineTo(34, 44);
    fork.cubicTo(34, 64, 66, 64, 66, 44);
    fork.lineTo(66, 8);
    p.drawPath(fork);
    p.drawLine(QPointF(50, 60), QPointF(50, 94));
}

void glyphNote(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.save();
    p.translate(38, 76);
    p.rotate(-22);
    p.drawEllipse(QPointF(0, 0), 17, 12);
    p.restore();
    p.setPen(QPen(c, 7, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(52, 74), QPointF(52, 10));
    QPainterPath flag;
    flag.moveTo(52, 10);
    flag.cubicTo(62, 26, 84, 28, 76, 54);
    p.setPen(roundPen(c, 7));
    p.setBrush(Qt::NoBrush);
    p.drawPath(flag);
}

void glyphMetronome(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    QPolygonF body;
    body << QPointF(38, 8) << QPointF(62, 8) << QPointF(86, 92) << QPointF(14, 92);
    p.setPen(roundPen(c, 7));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(body);
    p.drawLine(QPointF(20, 74), QPointF(80, 74));
    p.drawLine(QPointF(50, 74), QPointF(74, 22));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(QRectF(62, 36, 12, 10));
}

void glyphClock(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPie(QRectF(4, 4, 34, 34), 30 * 16, 180 * 16);
    p.drawPie(QRectF(62, 4, 34, 34), -30 * 16, 180 * 16);
    p.setPen(roundPen(c, 8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(50, 56), 36, 36);
    p.drawLine(QPointF(50, 56), QPointF(50, 34));
    p.drawLine(QPointF(50, 56), QPointF(66, 64));
}

void glyphAt(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    p.setPen(roundPen(c, 8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(50, 50), 16, 16);
    QPainterPath outer;
    outer.moveTo(66, 38);
    outer.lineTo(66, 58);
    outer.cubicTo(66, 72, 90, 72, 90, 50);
    outer.arcTo(QRectF(10, 10, 80, 80), 0, 300);
    p.drawPath(outer);
}

void glyphNodes(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    const QPointF a(22, 26), b(78, 22), d(50, 80), e(50, 44);
    p.setPen(roundPen(c, 6));
    p.drawLine(a, e);
    p.drawLine(b, e);
    p.drawLine(d, e);
    p.drawLine(a, d);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (const QPointF &pt : {a, b, d})
        p.drawEllipse(pt, 13, 13);
    p.drawEllipse(e, 9, 9);
}

void glyphQuill(QPainter &p, const QRectF &r, const QColor &c)
{
    UnitBox u(p, r);
    QPainterPath feather;
    feather.moveTo(10, 92);
    feather.cubicTo(30, 60, 50, 20, 92, 6);
    feather.cubicTo(84, 40, 60, 70, 22, 82);
    feather.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(feather);
    p.setPen(roundPen(kDark, 3));
    p.drawLine(QPointF(20, 84), QPointF(78, 22));
}

// The program's own mark: a picture whose right half turns into lines of text.
void drawLogo(QPainter &p, const QRectF &r)
{
    UnitBox u(p, r);
    QLinearGradient bg(0, 0, 100, 100);
    bg.setColorAt(0, QColor(40, 110, 210));
    bg.setColorAt(1, QColor(20, 160, 150));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(2, 2, 96, 96), 20, 20);
    QLinearGradient gloss(0, 0, 0, 100);
    gloss.setColorAt(0, QColor(255, 255, 255, 70));
    gloss.setColorAt(0.5, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawRoundedRect(QRectF(2, 2, 96, 96), 20, 20);

    const QColor white(255, 255, 255);
    p.setPen(roundPen(white, 4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(14, 22, 72, 56), 6, 6);
    // Left half: the picture.
    p.save();
    p.setClipRect(QRectF(14, 22, 36, 56));
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawEllipse(QPointF(30, 36), 6, 6);
    QPolygonF hills;
    hills << QPointF(14, 78) << QPointF(30, 52) << QPointF(42, 66) << QPointF(50, 58)
          << QPointF(62, 78);
    p.drawPolygon(hills);
    p.restore();
    // The seam: pixels breaking off the picture.
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    const QPointF bits[] = {{52, 30}, {56, 42}, {52, 54}, {56, 66}};
    for (const QPointF &b : bits)
        p.drawRect(QRectF(b, QSizeF(3.5, 3.5)));
    // Right half: lines of text.
    p.setPen(roundPen(white, 4.5));
    const qreal lengths[] = {20, 14, 22, 10};
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(62, 33 + i * 11), QPointF(62 + lengths[i], 33 + i * 11));
}

// ---------------------------------------------------------------- button bases

// A rounded, shaded picture-button face; the hover face is lighter with a blue rim.
void buttonFace(QPainter &p, const QRectF &r, qreal radius, bool hover)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    if (hover) {
        g.setColorAt(0, QColor(104, 116, 138));
        g.setColorAt(0.45, QColor(62, 74, 98));
        g.setColorAt(1, QColor(36, 52, 86));
    } else {
        g.setColorAt(0, QColor(82, 82, 86));
        g.setColorAt(0.45, QColor(48, 48, 52));
        g.setColorAt(1, QColor(30, 30, 33));
    }
    const qreal w = qMax<qreal>(2.0, r.height() / 30.0);
    p.setPen(QPen(hover ? kAccent : QColor(118, 118, 124), w));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(w / 2, w / 2, -w / 2, -w / 2), radius, radius);
    // A soft highlight over the upper half.
    QLinearGradient gloss(r.topLeft(), QPointF(r.left(), r.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, hover ? 60 : 36));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawRoundedRect(r.adjusted(w, w, -w, -r.height() / 2), radius - w, radius - w);
}

// Copy, Show and Save: the glyph on the left, the button's own text goes right.
void previewButton(const QString &name, const Glyph &glyph)
{
    for (bool hover : {false, true}) {
        QImage img = canvas(170, 88);
        Painter p(&img);
        buttonFace(p, QRectF(0, 0, 170, 88), 16, hover);
        glyph(p, QRectF(14, 18, 52, 52), hover ? kGlyphHover : kGlyph);
        p.end();
        saveImage(img, name + (hover ? "_hvr.png" : ".png"));
    }
}

// Menu-bar buttons (60 x 32): a glyph on the bar; hovering lights up a plate.
void barButton(const QString &normalName, const QString &hoverName, const Glyph &glyph)
{
    for (bool hover : {false, true}) {
        QImage img = canvas(120, 64);
        Painter p(&img);
        if (hover) {
            QLinearGradient g(0, 0, 0, 64);
            g.setColorAt(0, QColor(110, 140, 190, 150));
            g.setColorAt(1, QColor(40, 70, 130, 150));
            p.setPen(QPen(kAccent, 2.5));
            p.setBrush(g);
            p.drawRoundedRect(QRectF(3, 3, 114, 58), 12, 12);
        }
        glyph(p, QRectF(38, 10, 44, 44), hover ? kGlyphHover : QColor(200, 200, 205));
        p.end();
        saveImage(img, hover ? hoverName : normalName);
    }
}

// Sharing and following panel buttons (190 x 35): a coloured badge and a label.
void panelButton(const QString &name, const QString &label, const QColor &badge, const Glyph &glyph)
{
    for (bool hover : {false, true}) {
        QImage img = canvas(380, 70);
        Painter p(&img);
        buttonFace(p, QRectF(0, 0, 380, 70), 14, hover);
        const QColor b = hover ? badge.lighter(125) : badge;
        p.setPen(QPen(QColor(255, 255, 255, hover ? 200 : 90), 2));
        p.setBrush(b);
        p.drawEllipse(QPointF(38, 35), 25, 25);
        glyph(p, QRectF(22, 19, 32, 32), QColor(255, 255, 255));
        text(p, QRectF(76, 0, 296, 70), label, 25, true, hover ? kGlyphHover : QColor(222, 222, 226),
             Qt::AlignLeft | Qt::AlignVCenter);
        p.end();
        saveImage(img, name + (hover ? "_hover.png" : ".png"));
    }
}

// A 64 x 64 icon: a coloured rounded square with a white glyph.
QImage tileIcon(const QColor &colour, const Glyph &glyph)
{
    QImage img = canvas(64, 64);
    Painter p(&img);
    QLinearGradient g(0, 0, 0, 64);
    g.setColorAt(0, colour.lighter(130));
    g.setColorAt(1, colour.darker(115));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 13, 13);
    glyph(p, QRectF(13, 13, 38, 38), QColor(255, 255, 255));
    return img;
}

// ---------------------------------------------------------------- pictures

void drawStyleSheetPictures()
{
    previewButton("copy", glyphCopy);
    previewButton("show", glyphEye);
    previewButton("save", glyphDisk);

    // Video button: a play badge at the left; the button's text sits right.
    for (bool hover : {false, true}) {
        QImage img = canvas(300, 64);
        Painter p(&img);
        buttonFace(p, QRectF(0, 0, 300, 64), 14, hover);
        p.setPen(Qt::NoPen);
        p.setBrush(hover ? QColor(230, 70, 60) : QColor(190, 52, 46));
        p.drawEllipse(QPointF(34, 32), 22, 22);
        glyphPlay(p, QRectF(16, 14, 36, 36), QColor(255, 255, 255));
        p.end();
        saveImage(img, hover ? "videobutton_hover.png" : "videobutton.png");
    }

    // Settings gear (32 x 32 button).
    for (bool hover : {false, true}) {
        QImage img = canvas(64, 64);
        Painter p(&img);
        if (hover) {
            QRadialGradient glow(32, 32, 32);
            glow.setColorAt(0, QColor(86, 156, 250, 150));
            glow.setColorAt(1, QColor(86, 156, 250, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawEllipse(QPointF(32, 32), 32, 32);
        }
        glyphGear(p, QRectF(5, 5, 54, 54), hover ? kGlyphHover : QColor(190, 190, 196));
        p.end();
        saveImage(img, hover ? "settings_hover.png" : "settings.png");
    }

    // Slider handle (20 x 20): a knob with a point underneath.
    {
        QImage img = canvas(40, 40);
        Painter p(&img);
        QPainterPath dart;
        dart.addEllipse(QPointF(20, 16), 13.5, 13.5);
        QPainterPath point;
        point.moveTo(9, 22);
        point.lineTo(31, 22);
        point.lineTo(20, 38);
        point.closeSubpath();
        dart = dart.united(point);
        QRadialGradient g(16, 11, 20);
        g.setColorAt(0, QColor(255, 255, 255));
        g.setColorAt(1, QColor(150, 150, 158));
        p.setPen(QPen(QColor(30, 30, 34), 2));
        p.setBrush(g);
        p.drawPath(dart);
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(20, 16), 5, 5);
        p.end();
        saveImage(img, "dart.png");
    }

    // Combo-box arrow and menu indicator: a small downward triangle.
    {
        QImage img = canvas(16, 16);
        Painter p(&img);
        QPolygonF tri;
        tri << QPointF(2.5, 5) << QPointF(13.5, 5) << QPointF(8, 12);
        p.setPen(roundPen(QColor(225, 225, 228), 1.5));
        p.setBrush(QColor(225, 225, 228));
        p.drawPolygon(tri);
        p.end();
        saveImage(img, "spinbox_button2.png");
    }

    // Tab-bar scroll arrows (40 x 40 buttons).
    for (bool right : {true, false}) {
        QImage img = canvas(40, 40);
        Painter p(&img);
        QPolygonF chevron;
        if (right)
            chevron << QPointF(15, 10) << QPointF(26, 20) << QPointF(15, 30);
        else
            chevron << QPointF(25, 10) << QPointF(14, 20) << QPointF(25, 30);
        p.setPen(roundPen(QColor(215, 215, 220), 4.5));
        p.drawPolyline(chevron);
        p.end();
        saveImage(img, right ? "arrowright.png" : "arrowleft.png");
    }

    // Top bar strip, 45 pixels high: stretched sideways by the style sheet.
    {
        QImage img = canvas(256, 90);
        Painter p(&img);
        QLinearGradient g(0, 0, 0, 90);
        g.setColorAt(0, QColor(78, 78, 83));
        g.setColorAt(0.5, QColor(48, 48, 52));
        g.setColorAt(1, QColor(26, 26, 28));
        p.fillRect(img.rect(), g);
        p.fillRect(QRectF(0, 0, 256, 2), QColor(120, 120, 126));
        p.fillRect(QRectF(0, 86, 256, 4), QColor(12, 12, 14));
        p.fillRect(QRectF(0, 84, 256, 2), QColor(60, 100, 170));
        p.end();
        saveImage(img, "backgroundbar.png");
    }

    // The program's logo, shown at up to 290 x 290.
    {
        QImage img = canvas(580, 580);
        Painter p(&img);
        drawLogo(p, QRectF(0, 0, 580, 580));
        p.end();
        saveImage(img, "app.png");
    }

    // Follow buttons.
    panelButton("youtubejoin", "Follow on YouTube", QColor(196, 48, 44), glyphPlay);
    panelButton("facebookjoin", "Follow on Facebook", QColor(58, 88, 160), glyphPeople);
    panelButton("twitterjoin", "Follow on Twitter", QColor(44, 150, 220), glyphBubble);
    panelButton("vkontaktejoin", "Follow on VKontakte", QColor(72, 110, 150), glyphNodes);
    panelButton("emailjoin", "Follow by E-mail", QColor(56, 146, 92), glyphEnvelope);
    // Share buttons.
    panelButton("facebookshare", "Share on Facebook", QColor(58, 88, 160), glyphPeople);
    panelButton("twittershare", "Share on Twitter", QColor(44, 150, 220), glyphBubble);
    panelButton("vkontakteshare", "Share on VKontakte", QColor(72, 110, 150), glyphNodes);
    panelButton("emailshare", "Share by E-mail", QColor(56, 146, 92), glyphEnvelope);

    // Menu-bar buttons.
    barButton("join.png", "join_hover.png", glyphPersonPlus);
    barButton("share.png", "share_hover.png", glyphShare);
    barButton("Help.png", "Help_hover.png", glyphQuestion);
    barButton("More.png", "More_hover.png", glyphDots9);
    barButton("AppButton.png", "AppButton_hover.png", glyphHamburger);
    barButton("MoreAppsButton.png", "MoreAppsButton_hover.png", glyphGrid4);
    barButton("RateButton.png", "RateButton_hover.png", glyphStar);
}

void drawApplicationPictures()
{
    // Drop area background (280 x 280): a dashed frame, a picture and an arrow
    // into it. The frame leaves the top band to the caption and the bottom band
    // to the open button.
    {
        QImage img = canvas(560, 560);
        Painter p(&img);
        QPen dash(QColor(255, 255, 255, 150), 6, Qt::CustomDashLine, Qt::RoundCap);
        dash.setDashPattern({4, 3});
        p.setPen(dash);
        p.setBrush(QColor(255, 255, 255, 18));
        p.drawRoundedRect(QRectF(26, 84, 508, 376), 40, 40);
        const QColor c(255, 255, 255, 215);
        glyphPicture(p, QRectF(190, 248, 180, 180), c);
        QPainterPath arrow;
        arrow.moveTo(262, 116);
        arrow.lineTo(298, 116);
        arrow.lineTo(298, 186);
        arrow.lineTo(334, 186);
        arrow.lineTo(280, 248);
        arrow.lineTo(226, 186);
        arrow.lineTo(262, 186);
        arrow.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(86, 156, 250, 220));
        p.drawPath(arrow);
        p.end();
        saveImage(img, "droparea.png");
    }

    // Icon of the drop area's open button.
    {
        QImage img = canvas(64, 64);
        Painter p(&img);
        glyphFolderOpen(p, QRectF(2, 2, 60, 60), QColor(242, 196, 88));
        p.end();
        saveImage(img, "openfiles.png");
    }

    // Application menu icons.
    {
        QImage img = canvas(64, 64);
        Painter p(&img);
        glyphStar(p, QRectF(2, 2, 60, 60), QColor(250, 196, 50));
        p.end();
        saveImage(img, "star.png");
    }
    {
        QImage img = canvas(64, 64);
        Painter p(&img);
        glyphBubble(p, QRectF(2, 2, 60, 60), QColor(120, 190, 250));
        p.end();
        saveImage(img, "feedback.png");
    }
    {
        QImage img = canvas(64, 64);
        Painter p(&img);
        glyphGlobe(p, QRectF(3, 3, 58, 58), QColor(110, 200, 150));
        p.end();
        saveImage(img, "webpage.png");
    }
    {
        QImage img = canvas(64, 64);
        Painter p(&img);
        drawLogo(p, QRectF(0, 0, 64, 64));
        p.end();
        saveImage(img, "appicon.png");
    }
    {
        QImage img = canvas(64, 64);
        Painter p(&img);
        const QColor tiles[] = {{232, 90, 80}, {80, 170, 240}, {250, 190, 60}, {90, 200, 120}};
        for (int i = 0; i < 4; ++i) {
            p.setPen(Qt::NoPen);
            p.setBrush(tiles[i]);
            p.drawRoundedRect(QRectF(4 + (i % 2) * 30, 4 + (i / 2) * 30, 26, 26), 6, 6);
        }
        p.end();
        saveImage(img, "moreappsicon.png");
    }

    // Update notices.
    for (bool available : {true, false}) {
        QImage img = canvas(128, 128);
        Painter p(&img);
        QRadialGradient g(52, 44, 80);
        const QColor base = available ? QColor(52, 168, 88) : QColor(70, 120, 190);
        g.setColorAt(0, base.lighter(140));
        g.setColorAt(1, base.darker(120));
        p.setPen(QPen(QColor(255, 255, 255, 170), 3));
        p.setBrush(g);
        p.drawEllipse(QPointF(64, 64), 58, 58);
        p.setPen(roundPen(QColor(255, 255, 255), 11));
        if (available) {
            p.drawLine(QPointF(64, 28), QPointF(64, 78));
            QPolygonF head;
            head << QPointF(44, 60) << QPointF(64, 80) << QPointF(84, 60);
            p.drawPolyline(head);
            p.drawLine(QPointF(38, 96), QPointF(90, 96));
        } else {
            QPolygonF tick;
            tick << QPointF(38, 66) << QPointF(56, 84) << QPointF(92, 46);
            p.drawPolyline(tick);
        }
        p.end();
        saveImage(img, available ? "update_available.png" : "update_not_available.png");
    }

    // Glass overlay of the note editor's drag preview.
    {
        QImage img = canvas(120, 100);
        Painter p(&img);
        QLinearGradient g(0, 0, 0, 100);
        g.setColorAt(0, QColor(255, 255, 255, 90));
        g.setColorAt(0.48, QColor(255, 255, 255, 28));
        g.setColorAt(0.5, QColor(255, 255, 255, 0));
        g.setColorAt(1, QColor(255, 255, 255, 12));
        p.setPen(QPen(QColor(255, 255, 255, 80), 2));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(1, 1, 118, 98), 6, 6);
        QPainterPath gloss;
        gloss.moveTo(8, 8);
        gloss.lineTo(60, 8);
        gloss.lineTo(20, 70);
        gloss.lineTo(8, 70);
        gloss.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 36));
        p.drawPath(gloss);
        p.end();
        saveImage(img, "steklo.png");
    }

    // Line thickness and dash icons of the note editor's thickness menu.
    const int widths[] = {1, 2, 3, 4, 5, 10, 15};
    for (int w : widths) {
        QImage img = canvas(32, 32);
        Painter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(2, 16 - w / 2, 28, w), QColor(232, 232, 236));
        p.end();
        saveImage(img, QString::number(w) + "px.png");
    }
    {
        QImage img = canvas(32, 32);
        Painter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        for (int x = 2; x < 30; x += 8)
            p.fillRect(QRect(x, 15, 5, 3), QColor(232, 232, 236));
        p.end();
        saveImage(img, "dash.png");
    }
}

// Note-editor cursors (32 x 32, hot spot in the middle). Parts in pure blue take
// the pen colour at run time; white halos and the black cross are kept as drawn.
void drawCursors()
{
    const QColor blue(0, 0, 255);
    const QColor halo(255, 255, 255, 230);

    auto cross = [](QPainter &p) {
        // Pixel centres sit at .5, so the 1-pixel lines stay crisp on pixel 16.
        p.setPen(QPen(QColor(255, 255, 255), 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(16.5, 8), QPointF(16.5, 25));
        p.drawLine(QPointF(8, 16.5), QPointF(25, 16.5));
        p.setPen(QPen(QColor(0, 0, 0), 1, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(16.5, 9), QPointF(16.5, 24));
        p.drawLine(QPointF(9, 16.5), QPointF(24, 16.5));
    };
    // Draws a stroked shape twice: a white halo under a blue line.
    auto stroke = [&](QPainter &p, const QPainterPath &path, qreal width, bool fill) {
        p.setPen(roundPen(halo, width + 2.5));
        p.setBrush(fill ? QBrush(halo) : Qt::NoBrush);
        p.drawPath(path);
        p.setPen(roundPen(blue, width));
        p.setBrush(fill ? QBrush(blue) : Qt::NoBrush);
        p.drawPath(path);
    };
    auto save = [](const QImage &img, const QString &name) {
        const QString file = "cursors/" + name;
        ensureFolder(file);
        if (!img.save(g_root + "/" + file, "PNG"))
            fail(file);
        g_images.append(QrcEntry{name, file});
    };

    // Pen: its tip on the hot spot.
    {
        QImage img = canvas(32, 32);
        Painter p(&img);
        QPainterPath pen;
        pen.moveTo(16.5, 16.5);
        pen.lineTo(18, 12);
        pen.lineTo(28, 2);
        pen.lineTo(31, 5);
        pen.lineTo(21, 15);
        pen.closeSubpath();
        stroke(p, pen, 1.2, true);
        p.end();
        save(img, "Pen_cur.png");
    }
    // Highlighter: a broad marker with a slanted tip on the hot spot.
    {
        QImage img = canvas(32, 32);
        Painter p(&img);
        QPainterPath marker;
        marker.moveTo(15, 17);
        marker.lineTo(16, 11);
        marker.lineTo(25, 2);
        marker.lineTo(30, 7);
        marker.lineTo(21, 16);
        marker.closeSubpath();
        stroke(p, marker, 1.2, true);
        p.end();
        save(img, "Highlighter_cur.png");
    }
    // Eraser: a two-tone block centred on the hot spot (kept in its own colours).
    {
        QImage img = canvas(32, 32);
        Painter p(&img);
        p.translate(16, 16);
        p.rotate(-40);
        p.setPen(QPen(QColor(40, 40, 44), 1.5));
        p.setBrush(QColor(240, 150, 160));
        p.drawRoundedRect(QRectF(-11, -6, 13, 12), 2, 2);
        p.setBrush(QColor(245, 245, 248));
        p.drawRoundedRect(QRectF(2, -6, 10, 12), 2, 2);
        p.end();
        save(img, "Eraser_cur.png");
    }
    // Shape tools: the cross on the hot spot and the shape beside it.
    auto shapeCursor = [&](const QString &name, const std::function<void(QPainter &)> &shape) {
        QImage img = canvas(32, 32);
        Painter p(&img);
        cross(p);
        shape(p);
        p.end();
        save(img, name);
    };
    shapeCursor("Rect_cur.png", [&](QPainter &p) {
        QPainterPath r;
        r.addRect(QRectF(21, 3, 9, 7)); // 2-pixel lines on whole pixels stay crisp
        stroke(p, r, 2, false);
    });
    shapeCursor("FilledRect_cur.png", [&](QPainter &p) {
        QPainterPath r;
        r.addRect(QRectF(20, 2, 10, 8));
        stroke(p, r, 1.2, true);
    });
    shapeCursor("Oval_cur.png", [&](QPainter &p) {
        QPainterPath r;
        r.addEllipse(QRectF(19, 2, 11, 8));
        stroke(p, r, 1.5, false);
    });
    shapeCursor("Line_cur.png", [&](QPainter &p) {
        QPainterPath r;
        r.moveTo(20, 11);
        r.lineTo(30, 2);
        stroke(p, r, 1.8, false);
    });
    shapeCursor("Arrow_cur.png", [&](QPainter &p) {
        QPainterPath r;
        r.moveTo(20, 11);
        r.lineTo(30, 2);
        r.moveTo(24, 2);
        r.lineTo(30, 2);
        r.lineTo(30, 8);
        stroke(p, r, 1.8, false);
    });
    // Blur: grey dots fading outwards (kept in their own colours).
    shapeCursor("Blur_cur.png", [&](QPainter &p) {
        QRadialGradient g(25, 7, 7);
        g.setColorAt(0, QColor(90, 90, 96, 230));
        g.setColorAt(1, QColor(90, 90, 96, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(QPointF(25, 7), 7, 7);
        p.setBrush(QColor(255, 255, 255, 220));
        p.drawEllipse(QPointF(23, 5), 1.5, 1.5);
        p.drawEllipse(QPointF(27, 9), 1.2, 1.2);
    });
    // Text: an I-beam on the hot spot.
    {
        QImage img = canvas(32, 32);
        Painter p(&img);
        QPainterPath beam;
        beam.moveTo(12, 7);
        beam.lineTo(20, 7);
        beam.moveTo(16, 7);
        beam.lineTo(16, 25);
        beam.moveTo(12, 25);
        beam.lineTo(20, 25);
        stroke(p, beam, 1.8, false);
        QPainterPath t;
        t.moveTo(23, 2);
        t.lineTo(31, 2);
        t.moveTo(27, 2);
        t.lineTo(27, 11);
        stroke(p, t, 1.8, false);
        p.end();
        save(img, "Text_cur.png");
    }
}

// Icons of the promotion menu, one drawing per kind of product; the products of
// one kind share a drawing through aliases.
void drawPromotionIcons()
{
    struct Kind
    {
        QString file;
        QColor colour;
        Glyph glyph;
        QStringList names; // the ":/<name>64x64.png" resources that show it
    };
    const QList<Kind> kinds = {
        {"PhotoBatch", {230, 120, 40}, glyphPhotoStack, {"PixelFerry"}},
        {"PhotoFrame", {30, 150, 140}, glyphPicture, {"LumenPatch"}},
        {"PhotoCollage", {140, 80, 190}, glyphCollage, {"FrameFold"}},
        {"ScreenSnap", {50, 110, 210}, glyphScreenSnap, {"SnipHarbor"}},
        {"ScreenRuler", {190, 150, 40}, glyphRuler, {"RulerBee"}},
        {"IconSmith", {210, 80, 140}, glyphGrid4, {"IconKiln"}},
        {"ColorPicker", {60, 160, 80}, glyphDropper, {"TintWell"}},
        {"ImageViewer", {80, 100, 130}, glyphMagnifier, {"NotePin"}},
        {"ScriptPress", {70, 70, 78}, glyphBraces, {"ScriptSieve"}},
        {"ChordFinder", {200, 60, 60}, glyphChordGrid,
         {"ChordAtlas", "GuitarChordAtlas", "UkuleleChordAtlas", "PianoChordAtlas", "BanjoChordAtlas", "MandolinChordAtlas", "BassChordAtlas"}},
        {"ChordLearner", {80, 80, 180}, glyphChordLearner,
         {"ChordTutor", "GuitarChordTutor", "UkuleleChordTutor", "PianoChordTutor", "BanjoChordTutor", "MandolinChordTutor", "BassChordTutor", "BalalaikaChordTutor"}},
        {"TunerSet", {30, 160, 190}, glyphTuningFork,
         {"TunerChest", "GuitarTuneUp", "BassTuneUp", "UkuleleTuneUp", "ViolinTuneUp", "BanjoTuneUp", "MandolinTuneUp", "BalalaikaTuneUp"}},
        {"NoteFinder", {150, 70, 170}, glyphNote,
         {"NoteCompass", "GuitarNoteCompass", "BassNoteCompass", "PianoNoteCompass", "ViolinNoteCompass", "UkuleleNoteCompass", "MandolinNoteCompass"}},
        {"Metronome", {150, 100, 60}, glyphMetronome, {"TempoTick"}},
        {"AlarmClock", {220, 80, 50}, glyphClock, {"AlarmOwl"}},
    };
    for (const Kind &kind : kinds) {
        const QString file = "promo/" + kind.file + "64x64.png";
        ensureFolder(file);
        if (!tileIcon(kind.colour, kind.glyph).save(g_root + "/" + file, "PNG"))
            fail(file);
        for (const QString &name : kind.names)
            alias(name + "64x64.png", file);
    }
    // This program's own row.
    const QString own = "promo/Glyphcraft64x64.png";
    QImage img = canvas(64, 64);
    Painter p(&img);
    drawLogo(p, QRectF(0, 0, 64, 64));
    p.end();
    if (!img.save(g_root + "/" + own, "PNG"))
        fail(own);
    alias("Glyphcraft64x64.png", own);
}

// Writes a picture under pix/ and lists it as ":/pix/<name>".
void savePix(const QImage &image, const QString &name, const char *format = "PNG", int quality = -1)
{
    const QString file = "pix/" + name;
    ensureFolder(file);
    if (!image.save(g_root + "/" + file, format, quality))
        fail(file);
    g_pix.append(QrcEntry{QString(), file});
}

void drawAnimations()
{
    // Shell's loading animation: twelve dots, a bright head and a fading tail.
    {
        GifWriter gif(QColor(60, 60, 64), QColor(236, 236, 240));
        for (int frame = 0; frame < 12; ++frame) {
            QImage img = canvas(64, 64);
            Painter p(&img);
            p.setPen(Qt::NoPen);
            for (int i = 0; i < 12; ++i) {
                const int age = (frame - i + 12) % 12;
                const qreal angle = -M_PI / 2 + i * M_PI / 6;
                p.setBrush(QColor(255, 255, 255, qMax(50, 255 - age * 24)));
                p.drawEllipse(QPointF(32 + 23 * std::cos(angle), 32 + 23 * std::sin(angle)),
                              5.0 - age * 0.15, 5.0 - age * 0.15);
            }
            p.end();
            gif.addFrame(img, 8);
        }
        ensureFolder("pix/loading.gif");
        if (!gif.write(g_root + "/pix/loading.gif"))
            fail("pix/loading.gif");
        g_pix.append(QrcEntry{QString(), "pix/loading.gif"});
    }
    // Image viewer's loading animation (shown at 96 x 96): a turning arc on a faint ring.
    {
        GifWriter gif(QColor(44, 44, 48), QColor(130, 186, 255));
        for (int frame = 0; frame < 12; ++frame) {
            QImage img = canvas(96, 96);
            Painter p(&img);
            p.setPen(QPen(QColor(255, 255, 255, 70), 9));
            p.drawEllipse(QPointF(48, 48), 36, 36);
            p.setPen(QPen(QColor(255, 255, 255, 255), 9, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(QRectF(12, 12, 72, 72), (90 - frame * 30) * 16, -100 * 16);
            p.end();
            gif.addFrame(img, 6);
        }
        ensureFolder("images/loading_image.gif");
        if (!gif.write(g_root + "/images/loading_image.gif"))
            fail("images/loading_image.gif");
        g_images.append(QrcEntry{"loading_image.gif", "images/loading_image.gif"});
    }
}

void drawPixFolder()
{
    // Maker's logo in the about box's black strip.
    {
        QImage img = canvas(120, 28);
        Painter p(&img);
        glyphQuill(p, QRectF(2, 2, 24, 24), QColor(0, 160, 224));
        text(p, QRectF(30, 0, 90, 28), "Quillar", 19, true, QColor(0, 160, 224),
             Qt::AlignLeft | Qt::AlignVCenter);
        p.end();
        savePix(img, "quillarlogo.png");
    }
    // Background of the tutorial-link dialog (360 x 177); its text is drawn over it.
    {
        QImage img(360, 177, QImage::Format_RGB32);
        Painter p(&img);
        QLinearGradient g(0, 0, 360, 177);
        g.setColorAt(0, QColor(24, 40, 78));
        g.setColorAt(1, QColor(10, 14, 28));
        p.fillRect(img.rect(), g);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 22));
        for (int x = 6; x < 360; x += 22) {
            p.drawRoundedRect(QRectF(x, 5, 12, 9), 2, 2);
            p.drawRoundedRect(QRectF(x, 163, 12, 9), 2, 2);
        }
        p.setBrush(QColor(255, 255, 255, 26));
        p.drawEllipse(QPointF(292, 88), 52, 52);
        glyphPlay(p, QRectF(252, 48, 80, 80), QColor(255, 255, 255, 40));
        p.end();
        savePix(img, "nemo2.jpg", "JPG", 90);
    }
    // Logo of the virtual-resolution dialog.
    {
        QImage img = canvas(300, 60);
        Painter p(&img);
        glyphMonitor(p, QRectF(6, 6, 48, 48), QColor(130, 186, 255));
        text(p, QRectF(12, 8, 36, 26), "VR", 15, true, QColor(255, 255, 255));
        text(p, QRectF(64, 0, 236, 60), "Virtual Resolution", 22, true, QColor(236, 236, 240),
             Qt::AlignLeft | Qt::AlignVCenter);
        p.end();
        savePix(img, "vrlogo.png");
    }
    // Community menu icons: our own simple marks on coloured tiles.
    auto tile32 = [](const QColor &colour, const Glyph &glyph) {
        QImage img = canvas(32, 32);
        Painter p(&img);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(1, 1, 30, 30), 7, 7);
        glyph(p, QRectF(6, 6, 20, 20), QColor(255, 255, 255));
        return img;
    };
    savePix(tile32(QColor(58, 88, 160), glyphPeople), "facebook.png");
    savePix(tile32(QColor(196, 48, 44), glyphPlay), "youtube.png");
    savePix(tile32(QColor(20, 130, 120), glyphNodes), "xing.png");
    savePix(tile32(QColor(230, 130, 30), glyphAt), "mailru.png");
    // Magnifier of the search field (scaled to the field's height).
    {
        QImage img = canvas(64, 64);
        Painter p(&img);
        glyphMagnifier(p, QRectF(10, 10, 44, 44), QColor(200, 200, 206));
        p.end();
        savePix(img, "search.png");
    }
}

// ---------------------------------------------------------------- slides

void slideFrame(QPainter &p, int step, const QString &title, const QString &subtitle)
{
    QLinearGradient bg(0, 0, 0, 500);
    bg.setColorAt(0, QColor(62, 62, 68));
    bg.setColorAt(1, QColor(22, 22, 26));
    p.fillRect(QRect(0, 0, 800, 500), bg);
    // Step badge and title.
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(70, 66), 34, 34);
    text(p, QRectF(36, 32, 68, 68), QString::number(step), 40, true, QColor(255, 255, 255));
    text(p, QRectF(124, 28, 640, 50), title, 38, true, QColor(245, 245, 248),
         Qt::AlignLeft | Qt::AlignVCenter);
    // A subtitle of two lines ("\n") takes the room down to the window panel.
    const qreal subtitleHeight = subtitle.contains(QLatin1Char('\n')) ? 50 : 30;
    text(p, QRectF(126, 74, 640, subtitleHeight), subtitle, 19, false, QColor(190, 190, 198),
         Qt::AlignLeft | Qt::AlignVCenter);
    // Step dots at the bottom.
    for (int i = 1; i <= 3; ++i) {
        p.setBrush(i == step ? kAccent : QColor(110, 110, 118));
        p.drawEllipse(QPointF(370 + (i - 1) * 30, 470), 7, 7);
    }
}

void windowPanel(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(130, 130, 136), 2));
    p.setBrush(QColor(71, 71, 71));
    p.drawRoundedRect(r, 8, 8);
}

void drawSlides()
{
    const QString folder = "Resources/";
    QDir(g_root).mkpath(folder);

    // 1: drop a picture on the drop area. Only that square takes files, and its
    // open button goes once a picture is shown: a later picture is dropped there.
    {
        QImage img(800, 500, QImage::Format_RGB32);
        Painter p(&img);
        slideFrame(p, 1, "Drop a picture",
                   "Drop an image file on the square at the top left, or open one with\n"
                   "its button. To change the picture, drop another file on the square.");
        windowPanel(p, QRectF(300, 130, 300, 300));
        QLinearGradient drop(580, 410, 320, 150);
        drop.setColorAt(0, QColor(200, 200, 200));
        drop.setColorAt(1, QColor(80, 80, 80));
        p.setPen(Qt::NoPen);
        p.setBrush(drop);
        p.drawRect(QRectF(320, 150, 260, 260));
        QPen dash(QColor(255, 255, 255, 170), 3, Qt::DashLine);
        p.setPen(dash);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(334, 204, 232, 150), 18, 18);
        text(p, QRectF(320, 160, 260, 34), "Drop image here", 22, true, QColor(255, 255, 255));
        glyphPicture(p, QRectF(410, 234, 80, 80), QColor(255, 255, 255, 220));
        // The open button at the foot of the square.
        {
            const QRectF button(334, 364, 232, 34);
            QLinearGradient face(button.topLeft(), button.bottomLeft());
            face.setColorAt(0, QColor(70, 70, 70));
            face.setColorAt(1, QColor(25, 25, 25));
            p.setPen(QPen(QColor(128, 128, 128), 1));
            p.setBrush(face);
            p.drawRoundedRect(button, 5, 5);
            text(p, button, "Click to open the image", 16, true, QColor(211, 211, 211));
        }
        // A picture file on its way in.
        p.save();
        p.translate(150, 240);
        p.rotate(-10);
        p.setPen(QPen(QColor(40, 40, 44), 2));
        p.setBrush(QColor(245, 245, 248));
        p.drawRoundedRect(QRectF(-55, -70, 110, 140), 6, 6);
        glyphPicture(p, QRectF(-42, -50, 84, 84), QColor(60, 120, 210));
        text(p, QRectF(-55, 36, 110, 28), "photo.png", 15, false, QColor(40, 40, 44));
        p.restore();
        p.setPen(roundPen(kAccent, 8));
        QPainterPath path;
        path.moveTo(215, 190);
        path.quadTo(270, 150, 350, 235);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        QPolygonF head;
        head << QPointF(330, 240) << QPointF(356, 242) << QPointF(352, 214);
        p.setBrush(kAccent);
        p.setPen(roundPen(kAccent, 4));
        p.drawPolygon(head);
        p.end();
        if (!img.save(g_root + "/" + folder + "LumSlide1.jpg", "JPG", 90))
            fail("LumSlide1.jpg");
    }

    // 2: adjust size, brightness, contrast and format.
    {
        QImage img(800, 500, QImage::Format_RGB32);
        Painter p(&img);
        slideFrame(p, 2, "Adjust it", "Resize it, set brightness and contrast, pick PNG or JPG.");
        windowPanel(p, QRectF(140, 130, 520, 300));
        const QString labels[] = {"Resize", "Brightness", "Contrast"};
        const qreal values[] = {0.62, 0.45, 0.7};
        for (int i = 0; i < 3; ++i) {
            const qreal y = 175 + i * 62;
            text(p, QRectF(165, y - 18, 140, 36), labels[i], 20, false, QColor(255, 255, 255),
                 Qt::AlignLeft | Qt::AlignVCenter);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(30, 30, 32));
            p.drawRoundedRect(QRectF(320, y - 4, 300, 8), 4, 4);
            p.setBrush(kAccent);
            p.drawRoundedRect(QRectF(320, y - 4, 300 * values[i], 8), 4, 4);
            QRadialGradient knob(320 + 300 * values[i] - 4, y - 5, 14);
            knob.setColorAt(0, QColor(255, 255, 255));
            knob.setColorAt(1, QColor(150, 150, 158));
            p.setPen(QPen(QColor(30, 30, 34), 2));
            p.setBrush(knob);
            p.drawEllipse(QPointF(320 + 300 * values[i], y), 12, 12);
        }
        text(p, QRectF(165, 344, 140, 36), "Format", 20, false, QColor(255, 255, 255),
             Qt::AlignLeft | Qt::AlignVCenter);
        const QString formats[] = {"PNG", "High"};
        for (int i = 0; i < 2; ++i) {
            const QRectF box(320 + i * 150, 344, 130, 36);
            QLinearGradient g(box.bottomRight(), box.topLeft());
            g.setColorAt(0, QColor(10, 10, 10));
            g.setColorAt(1, QColor(80, 80, 80));
            p.setPen(QPen(QColor(113, 113, 113), 1.5));
            p.setBrush(g);
            p.drawRoundedRect(box, 3, 3);
            text(p, box.adjusted(12, 0, -30, 0), formats[i], 19, false, QColor(255, 255, 255),
                 Qt::AlignLeft | Qt::AlignVCenter);
            QPolygonF tri;
            tri << QPointF(box.right() - 24, box.top() + 14) << QPointF(box.right() - 10, box.top() + 14)
                << QPointF(box.right() - 17, box.top() + 23);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(225, 225, 228));
            p.drawPolygon(tri);
        }
        p.end();
        if (!img.save(g_root + "/" + folder + "LumSlide2.jpg", "JPG", 90))
            fail("LumSlide2.jpg");
    }

    // 3: copy the text that carries the picture.
    {
        QImage img(800, 500, QImage::Format_RGB32);
        Painter p(&img);
        slideFrame(p, 3, "Copy the text", "Take the picture as HTML, CSS, XML, an img tag or base64.");
        windowPanel(p, QRectF(110, 124, 580, 312));
        const QString tabs[] = {"PREVIEW", "HTML", "CSS", "XML", "XHTML", "BASE64"};
        for (int i = 0; i < 6; ++i) {
            const QRectF tab(124 + i * 78, 134, 76, 34);
            QLinearGradient g(tab.bottomLeft(), tab.topLeft());
            const int light = i == 1 ? 120 : 50;
            g.setColorAt(0, QColor(light, light, light));
            g.setColorAt(0.6, QColor(i == 1 ? 30 : 10, i == 1 ? 30 : 10, i == 1 ? 30 : 10));
            g.setColorAt(0.9, QColor(light, light, light));
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawRect(tab);
            text(p, tab, tabs[i], 12, false, QColor(211, 211, 211));
        }
        p.setPen(QPen(QColor(120, 120, 126), 1.5));
        p.setBrush(QColor(250, 250, 250));
        p.drawRect(QRectF(124, 176, 552, 188));
        // A whole HTML text as the program makes it, character for character: its
        // HTML template around the base64 text of the bytes its PNG encoder
        // writes for a 2 x 2 picture (blue, white; dark grey, orange). Wrapped
        // the way its text box wraps: at a blank, else anywhere.
        {
            const QString html = QStringLiteral(
                "<HTML><BODY><img src=\"data:image/png;base64,"
                "iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAIAAAD91JpzAAAACXBIWXMAAA9hAAAPYQGoP6dpAAAAF0lEQVR4"
                "nGMIm/Pr////LBe6DJ4/+wIAP0IJOX7QRRAAAAAASUVORK5CYII="
                "\"/></BODY></HTML>");
            const QFontMetricsF metrics(font(15, false));
            QStringList rows;
            for (int start = 0; start < html.size();) {
                int end = start;
                int afterBlank = -1;
                while (end < html.size()
                       && metrics.horizontalAdvance(html.mid(start, end - start + 1)) <= 530) {
                    if (html.at(end) == QLatin1Char(' '))
                        afterBlank = end + 1;
                    ++end;
                }
                if (end < html.size() && afterBlank > start)
                    end = afterBlank;
                end = qMax(end, start + 1);
                rows << html.mid(start, end - start);
                start = end;
            }
            for (int i = 0; i < rows.size() && i < 8; ++i)
                text(p, QRectF(136, 182 + i * 22, 530, 22), rows.at(i), 15, false, QColor(30, 30, 34),
                     Qt::AlignLeft | Qt::AlignVCenter);
        }
        const QString buttons[] = {"Show", "Copy", "Save"};
        const Glyph glyphs[] = {glyphEye, glyphCopy, glyphDisk};
        for (int i = 0; i < 3; ++i) {
            const QRectF b(380 + i * 100, 374, 90, 46);
            buttonFace(p, b, 8, i == 1);
            glyphs[i](p, QRectF(b.x() + 8, b.y() + 10, 26, 26), QColor(235, 235, 238));
            text(p, b.adjusted(0, 0, -8, 0), buttons[i], 15, false, QColor(255, 255, 255),
                 Qt::AlignRight | Qt::AlignVCenter);
        }
        p.end();
        if (!img.save(g_root + "/" + folder + "LumSlide3.jpg", "JPG", 90))
            fail("LumSlide3.jpg");
    }
}

// ---------------------------------------------------------------- resource lists

bool writeQrc(const QString &name, const QVector<QrcEntry> &entries)
{
    return writeQrcFile(g_root + "/" + name, QStringLiteral("/"), QStringLiteral("resources/generator"),
                        entries);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: glyphgen <resources folder>\n");
        return 2;
    }
    g_root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();

    drawStyleSheetPictures();
    drawApplicationPictures();
    drawCursors();
    drawPromotionIcons();
    drawAnimations();
    drawPixFolder();
    drawSlides();

    if (!writeQrc("images.qrc", g_images))
        fail("images.qrc");
    if (!writeQrc("pix.qrc", g_pix))
        fail("pix.qrc");
    return g_failed ? 1 : 0;
}
