// The previews' background encoding: stale work is dropped, views settle to
// what the synchronous rule gives, the shared cache runs each pair once, and a
// lossless PNG shows the processed pixels themselves.

#include "app.h"
#include "encodedimagecache.h"
#include "formatbytesize.h"
#include "idle.h"
#include "imagepreview.h"
#include "longtextedit.h"
#include "representor.h"
#include "testmain.h"
#include "textcodecs.h"
#include "textpreview.h"

#include <QLabel>
#include <QPointer>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QTabWidget>

namespace {

enum Tab { PreviewTab, HtmlTab, CssTab, XmlTab, XhtmlTab, Base64Tab };

// An opaque picture whose pixels depend on the seed.
QPixmap makePixmap(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37 + seed * 11) & 0xFF, (y * 53 + seed) & 0xFF,
                                      ((x ^ y) * 29 + seed * 7) & 0xFF));
    return QPixmap::fromImage(image);
}

// Random pixels of the given format, every alpha at 255.
QImage randomOpaqueImage(int width, int height, QImage::Format format, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = random.generate() | 0xFF000000u;
    }
    return image.convertToFormat(format);
}

QImage argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The text a view must end with, computed by the rule without the cache.
QString expectedText(int type, const QPixmap &pixmap, const QString &formatSpec)
{
    const QByteArray bytes = EncodedImageCache::encode(pixmap.toImage(), formatSpec);
    return TextPreview::buildText(type, EncodedImageCache::formatName(formatSpec).toLower(),
                                  MTools::toBase64String(bytes), pixmap.width(), pixmap.height());
}

// The representor, shown, with handles on its parts.
struct Column
{
    Representor representor;
    QTabWidget *tabs = nullptr;
    ImagePreview *picture = nullptr;
    QWidget *pictureWidget = nullptr;

    Column()
    {
        tabs = representor.findChild<QTabWidget *>();
        picture = qobject_cast<ImagePreview *>(tabs->widget(PreviewTab));
        pictureWidget = picture->findChild<QScrollArea *>(QStringLiteral("PreviewWidget"))->widget();
        representor.show();
    }
    TextPreview *text(int tab) const { return qobject_cast<TextPreview *>(tabs->widget(tab)); }
    QString textOf(int tab) const { return text(tab)->findChild<LongTextEdit *>()->toPlainText(); }
    QString sizeOf(int tab) const { return text(tab)->findChild<QLabel *>()->text(); }
    QImage shownPicture() const
    {
        return pictureWidget->palette().brush(pictureWidget->backgroundRole()).texture().toImage();
    }
    std::shared_ptr<EncodedImageCache> cache() const { return picture->encodedImageCache(); }
};

const int textForms[] = {-1, TextPreview::Html, TextPreview::Css, TextPreview::Xml,
                         TextPreview::Xhtml, TextPreview::Base64};

} // namespace

class TestAsyncPreview : public QObject
{
    Q_OBJECT

private slots:
    void newerPixmapWinsOnTextTab();
    void newerPixmapWinsOnPictureTab();
    void draggedSliderEncodesFewPixmaps();
    void formatChangeWhileEncodingEndsWithNewFormat();
    void refreshAfterRealPreviewKeepsUnencodedPicture();
    void viewsSettleToSynchronousRule_data();
    void viewsSettleToSynchronousRule();

    void requestsOfOnePairShareOneEncoding();
    void synchronousGetterWaitsForRunningEncoding();
    void cancelledRequestNeverCallsBack();
    void destroyedReceiverIsNotCalled();
    void knownResultIsHandedOverAtOnce();

    void opaquePngDecodesToItself_data();
    void opaquePngDecodesToItself();
    void shortcutShowsSamePixelsAsDecoding();
    void translucentOrJpgIsDecoded();
};

void TestAsyncPreview::newerPixmapWinsOnTextTab()
{
    // arrange
    Column column;
    column.tabs->setCurrentIndex(HtmlTab);
    QVERIFY(Idle::settle());
    const QPixmap first = makePixmap(300, 200, 1);
    const QPixmap second = makePixmap(120, 90, 2);

    // act: the second pixmap arrives while the first is being encoded
    column.representor.slotSetPixmap(first);
    QVERIFY(column.cache()->isBusy());
    column.representor.slotSetPixmap(second);
    QVERIFY(Idle::settle());

    // assert
    QCOMPARE(column.textOf(HtmlTab), expectedText(TextPreview::Html, second, QStringLiteral("PNG")));
    QCOMPARE(column.sizeOf(HtmlTab),
             QStringLiteral("Size: ") + formatByteSize(column.textOf(HtmlTab).length()));
    QVERIFY(!column.cache()->isBusy());
}

void TestAsyncPreview::newerPixmapWinsOnPictureTab()
{
    // arrange
    Column column;
    column.representor.slotSetFormat(QStringLiteral("JPG;0"));
    QVERIFY(Idle::settle());
    const QPixmap first = makePixmap(320, 240, 3);
    const QPixmap second = makePixmap(64, 48, 4);

    // act: two loads, one right after the other
    column.representor.slotSetPixmap(first);
    column.representor.slotRealPreview();
    column.representor.slotSetPixmap(second);
    column.representor.slotRealPreview();
    QVERIFY(Idle::settle());

    // assert: the second picture after encoding, and its size
    const QByteArray jpg = EncodedImageCache::encode(second.toImage(), QStringLiteral("JPG;0"));
    QCOMPARE(column.picture->sizeText(), QStringLiteral("Size: ") + formatByteSize(jpg.size()));
    QCOMPARE(argb(column.shownPicture()), argb(QImage::fromData(jpg)));
    QCOMPARE(column.pictureWidget->size(), QSize(64, 48));
    QCOMPARE(column.picture->captionText(), QStringLiteral("<H2>64x48</H2>"));
}

void TestAsyncPreview::draggedSliderEncodesFewPixmaps()
{
    // arrange
    Column column;
    column.tabs->setCurrentIndex(XhtmlTab);
    QVERIFY(Idle::settle());
    const int encodings = column.cache()->encodeCount();
    QList<QPixmap> steps;
    for (int i = 0; i < 10; ++i)
        steps << makePixmap(300, 200, 20 + i);

    // act: ten steps without a turn of the event loop in between
    for (const QPixmap &step : steps)
        column.representor.slotSetPixmap(step);
    QVERIFY(Idle::settle());

    // assert: while the steps come, at most the first step's encoding and one
    // more (whose wait a slow machine may outlast) run; then one for the last
    QVERIFY2(column.cache()->encodeCount() - encodings <= 3,
             qPrintable(QString::number(column.cache()->encodeCount() - encodings)));
    QCOMPARE(column.textOf(XhtmlTab), expectedText(TextPreview::Xhtml, steps.last(), QStringLiteral("PNG")));
    QVERIFY(!column.cache()->isBusy());
}

void TestAsyncPreview::formatChangeWhileEncodingEndsWithNewFormat()
{
    // arrange
    Column column;
    column.tabs->setCurrentIndex(CssTab);
    QVERIFY(Idle::settle());
    const QPixmap pixmap = makePixmap(400, 300, 5);
    column.representor.slotSetPixmap(pixmap);
    QVERIFY(column.cache()->isBusy());

    // act: the format changes as the effects form sends it
    column.representor.slotSetFormat(QStringLiteral("JPG;1"));
    column.representor.slotRealPreview();
    QVERIFY(Idle::settle());

    // assert: every view carries the JPG bytes, the hidden ones included
    const QString spec = QStringLiteral("JPG;1");
    for (int tab = HtmlTab; tab <= Base64Tab; ++tab)
        QCOMPARE(column.textOf(tab), expectedText(textForms[tab], pixmap, spec));
    const QByteArray jpg = EncodedImageCache::encode(pixmap.toImage(), spec);
    QCOMPARE(column.picture->sizeText(), QStringLiteral("Size: ") + formatByteSize(jpg.size()));
    QCOMPARE(argb(column.shownPicture()), argb(QImage::fromData(jpg)));
    QCOMPARE(column.picture->captionText(), QStringLiteral("<H2>400x300</H2>"));
}

void TestAsyncPreview::refreshAfterRealPreviewKeepsUnencodedPicture()
{
    // arrange
    Column column;
    column.representor.slotSetFormat(QStringLiteral("JPG;0"));
    const QPixmap released = makePixmap(200, 150, 6);
    const QPixmap next = makePixmap(200, 150, 7);

    // act: a slider is let go, then moved again before the encoding is back
    column.representor.slotSetPixmap(released);
    column.representor.slotRealPreview();
    column.representor.slotSetPixmap(next);
    QVERIFY(Idle::settle());

    // assert: as in the synchronous order, the size is that of the released
    // picture while the newer, unencoded pixmap stays on show
    const QByteArray jpg = EncodedImageCache::encode(released.toImage(), QStringLiteral("JPG;0"));
    QCOMPARE(column.picture->sizeText(), QStringLiteral("Size: ") + formatByteSize(jpg.size()));
    QCOMPARE(argb(column.shownPicture()), argb(next.toImage()));
}

void TestAsyncPreview::viewsSettleToSynchronousRule_data()
{
    QTest::addColumn<QString>("formatSpec");
    QTest::addColumn<int>("currentTab");

    QTest::newRow("PNG on HTML") << "PNG" << int(HtmlTab);
    QTest::newRow("PNG;2 on BASE64") << "PNG;2" << int(Base64Tab);
    QTest::newRow("JPG;0 on picture") << "JPG;0" << int(PreviewTab);
    QTest::newRow("JPG;2 on XML") << "JPG;2" << int(XmlTab);
    QTest::newRow("JPG;1 on CSS") << "JPG;1" << int(CssTab);
}

void TestAsyncPreview::viewsSettleToSynchronousRule()
{
    QFETCH(QString, formatSpec);
    QFETCH(int, currentTab);
    // arrange
    Column column;
    column.tabs->setCurrentIndex(currentTab);
    const QPixmap loaded = makePixmap(150, 100, 8);
    const QPixmap stepped = makePixmap(150, 100, 9);

    // act: a load, a format change, a slider step and its release, without waiting
    column.representor.slotSetPixmap(loaded);
    column.representor.slotRealPreview();
    column.representor.slotSetFormat(formatSpec);
    column.representor.slotRealPreview();
    column.representor.slotSetPixmap(stepped);
    column.representor.slotRealPreview();
    QVERIFY(Idle::settle());

    // assert: hidden text views keep the text of the format change, the
    // current one follows the step; the picture view shows the step encoded
    for (int tab = HtmlTab; tab <= Base64Tab; ++tab) {
        const QPixmap &source = tab == currentTab ? stepped : loaded;
        const QString expected = expectedText(textForms[tab], source, formatSpec);
        QCOMPARE(column.textOf(tab), expected);
        QCOMPARE(column.sizeOf(tab), QStringLiteral("Size: ") + formatByteSize(expected.length()));
    }
    const QByteArray bytes = EncodedImageCache::encode(stepped.toImage(), formatSpec);
    QCOMPARE(column.picture->sizeText(), QStringLiteral("Size: ") + formatByteSize(bytes.size()));
    QCOMPARE(argb(column.shownPicture()), argb(EncodedImageCache::decode(bytes)));
    QCOMPARE(column.picture->captionText(), QStringLiteral("<H2>150x100</H2>"));
}

void TestAsyncPreview::requestsOfOnePairShareOneEncoding()
{
    // arrange
    EncodedImageCache cache;
    QObject receiver;
    const QPixmap pixmap = makePixmap(100, 80, 10);
    const QString spec = QStringLiteral("JPG;1");
    QStringList texts;
    QByteArray pictureBytes;
    QPixmap picture;

    // act: three text requests and a picture request before any result
    for (int i = 0; i < 3; ++i)
        cache.requestText(pixmap, spec, &receiver,
                          [&](const QByteArray &, const QByteArray &base64) { texts << QString::fromLatin1(base64); });
    cache.requestPicture(pixmap, spec, &receiver, [&](const QByteArray &bytes) { pictureBytes = bytes; },
                         [&](const QPixmap &p) { picture = p; });
    QVERIFY(Idle::settle());

    // assert
    const QByteArray jpg = EncodedImageCache::encode(pixmap.toImage(), spec);
    QCOMPARE(cache.encodeCount(), 1);
    QCOMPARE(cache.decodeCount(), 1);
    const QString base64 = MTools::toBase64String(jpg);
    QCOMPARE(texts, (QStringList{base64, base64, base64}));
    QCOMPARE(pictureBytes, jpg);
    QCOMPARE(argb(picture.toImage()), argb(QImage::fromData(jpg)));
}

void TestAsyncPreview::synchronousGetterWaitsForRunningEncoding()
{
    // arrange
    EncodedImageCache cache;
    QObject receiver;
    const QPixmap pixmap = makePixmap(500, 400, 11);
    QString text;
    cache.requestText(pixmap, QStringLiteral("PNG"), &receiver,
                      [&](const QByteArray &, const QByteArray &base64) { text = QString::fromLatin1(base64); });
    QVERIFY(cache.isBusy());

    // act
    const QByteArray bytes = cache.bytes(pixmap, QStringLiteral("PNG"));
    QVERIFY(Idle::settle());

    // assert: one encoding served both
    QCOMPARE(cache.encodeCount(), 1);
    QCOMPARE(bytes, EncodedImageCache::encode(pixmap.toImage(), QStringLiteral("PNG")));
    QCOMPARE(text, MTools::toBase64String(bytes));
    QCOMPARE(cache.base64(pixmap, QStringLiteral("PNG")), text);
}

void TestAsyncPreview::cancelledRequestNeverCallsBack()
{
    // arrange
    EncodedImageCache cache;
    QObject receiver;
    int calls = 0;
    const EncodedImageCache::Ticket ticket = cache.requestText(
        makePixmap(200, 100, 12), QStringLiteral("PNG"), &receiver,
        [&](const QByteArray &, const QByteArray &) { ++calls; });
    QVERIFY(ticket != 0);

    // act
    cache.cancel(ticket);
    QVERIFY(Idle::settle());

    // assert
    QCOMPARE(calls, 0);
    QVERIFY(!cache.isBusy());
}

void TestAsyncPreview::destroyedReceiverIsNotCalled()
{
    // arrange
    EncodedImageCache cache;
    int calls = 0;
    auto *receiver = new QObject;
    QPointer<QObject> guard(receiver);
    cache.requestPicture(makePixmap(200, 100, 13), QStringLiteral("JPG;2"), receiver,
                         [&](const QByteArray &) { ++calls; }, [&](const QPixmap &) { ++calls; });

    // act
    delete receiver;
    QVERIFY(Idle::settle());

    // assert
    QVERIFY(!guard);
    QCOMPARE(calls, 0);
    QVERIFY(!cache.isBusy());
}

void TestAsyncPreview::knownResultIsHandedOverAtOnce()
{
    // arrange
    EncodedImageCache cache;
    QObject receiver;
    const QPixmap pixmap = makePixmap(40, 30, 14);
    const QByteArray bytes = cache.bytes(pixmap, QStringLiteral("JPG;0"));
    QString text;

    // act
    const EncodedImageCache::Ticket ticket = cache.requestText(
        pixmap, QStringLiteral("JPG;0"), &receiver,
        [&](const QByteArray &, const QByteArray &base64) { text = QString::fromLatin1(base64); });

    // assert: no event loop needed
    QCOMPARE(ticket, EncodedImageCache::Ticket(0));
    QCOMPARE(text, MTools::toBase64String(bytes));
}

void TestAsyncPreview::opaquePngDecodesToItself_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<quint32>("seed");

    const QImage::Format formats[] = {QImage::Format_RGB32, QImage::Format_ARGB32,
                                      QImage::Format_ARGB32_Premultiplied};
    const char *names[] = {"RGB32", "ARGB32", "ARGB32 premultiplied"};
    const QSize sizes[] = {QSize(1, 1), QSize(7, 3), QSize(64, 64), QSize(257, 129)};
    for (int f = 0; f < 3; ++f)
        for (int s = 0; s < 4; ++s)
            for (quint32 seed = 1; seed <= 3; ++seed)
                QTest::addRow("%s %dx%d seed %u", names[f], sizes[s].width(), sizes[s].height(), seed)
                    << int(formats[f]) << sizes[s] << seed * 7919u + quint32(s);
}

void TestAsyncPreview::opaquePngDecodesToItself()
{
    QFETCH(int, format);
    QFETCH(QSize, size);
    QFETCH(quint32, seed);
    // arrange
    const QImage image = randomOpaqueImage(size.width(), size.height(), QImage::Format(format), seed);

    // act
    const QImage decoded = EncodedImageCache::decode(EncodedImageCache::encode(image, QStringLiteral("PNG")));

    // assert: the claim holds, and the round trip gives every pixel back
    QVERIFY(EncodedImageCache::decodesToItself(image, QStringLiteral("PNG")));
    QVERIFY(EncodedImageCache::decodesToItself(image, QStringLiteral("PNG;1")));
    QCOMPARE(decoded.size(), image.size());
    QCOMPARE(argb(decoded), argb(image));
}

void TestAsyncPreview::shortcutShowsSamePixelsAsDecoding()
{
    // arrange: the processed pixmap as the effects form makes it
    const QPixmap pixmap = QPixmap::fromImage(
        randomOpaqueImage(321, 123, QImage::Format_ARGB32, 424242u));
    Column column;
    QVERIFY(Idle::settle());
    const std::shared_ptr<EncodedImageCache> cache = column.cache();
    const int shortcuts = cache->shortcutCount();
    const int decodings = cache->decodeCount();

    // act
    column.representor.slotSetPixmap(pixmap);
    column.representor.slotRealPreview();
    QVERIFY(Idle::settle());

    // assert: no decoding ran, and the picture is what decoding gives
    QCOMPARE(cache->shortcutCount(), shortcuts + 1);
    QCOMPARE(cache->decodeCount(), decodings + 1);
    const QByteArray png = EncodedImageCache::encode(pixmap.toImage(), QStringLiteral("PNG"));
    QCOMPARE(column.picture->sizeText(), QStringLiteral("Size: ") + formatByteSize(png.size()));
    QCOMPARE(argb(column.shownPicture()), argb(QImage::fromData(png)));
    QCOMPARE(argb(cache->decodedPixmap(pixmap, QStringLiteral("PNG")).toImage()),
             argb(EncodedImageCache::decode(png)));
}

void TestAsyncPreview::translucentOrJpgIsDecoded()
{
    // arrange
    QImage translucent = randomOpaqueImage(50, 40, QImage::Format_ARGB32, 99u);
    translucent.setPixel(17, 23, qRgba(10, 20, 30, 128));
    const QImage opaque = randomOpaqueImage(50, 40, QImage::Format_RGB32, 98u);
    EncodedImageCache cache;

    // act
    const QPixmap translucentPicture = cache.decodedPixmap(QPixmap::fromImage(translucent), QStringLiteral("PNG"));
    const QPixmap jpgPicture = cache.decodedPixmap(QPixmap::fromImage(opaque), QStringLiteral("JPG;1"));

    // assert: both went through decoding, and the translucent pixel survived
    QVERIFY(!EncodedImageCache::decodesToItself(translucent, QStringLiteral("PNG")));
    QVERIFY(!EncodedImageCache::decodesToItself(opaque, QStringLiteral("JPG;1")));
    QVERIFY(!EncodedImageCache::decodesToItself(opaque, QStringLiteral("png")));
    QCOMPARE(cache.shortcutCount(), 0);
    QCOMPARE(cache.decodeCount(), 2);
    QCOMPARE(qAlpha(translucentPicture.toImage().pixel(17, 23)), 128);
    const QByteArray jpg = EncodedImageCache::encode(opaque, QStringLiteral("JPG;1"));
    QCOMPARE(argb(jpgPicture.toImage()), argb(QImage::fromData(jpg)));
}

GLYPH_APP_TEST_MAIN(TestAsyncPreview, QMWidgets::App)
#include "tst_asyncpreview.moc"
