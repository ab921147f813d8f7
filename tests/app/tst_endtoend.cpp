// The whole road through the real main page: an image file dropped on the
// drop area, the effects form's controls, the six previews and the three ways
// out (clipboard, files, browser). Every check waits for the views to settle,
// so it holds whether a view fills in at once or a little later.

#include "comboslider.h"
#include "droparea.h"
#include "effectsform.h"
#include "formatbytesize.h"
#include "idle.h"
#include "imagepreview.h"
#include "mainapp.h"
#include "mainpage.h"
#include "modalanswerer.h"
#include "dragdrop.h"
#include "fifowatch.h"
#include "filesizelimit.h"
#include "pngbytes.h"
#include "testmain.h"
#include "textpreview.h"
#include "urlrecorder.h"

#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QSemaphore>
#include <QThreadPool>
#include <QTimer>
#include <QMetaProperty>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStyleOptionSlider>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <memory>
#include <sys/stat.h>

namespace {

enum Tab { PreviewTab, HtmlTab, CssTab, XmlTab, XhtmlTab, Base64Tab };

const char *const goldenStem[] = {nullptr, "html", "css", "xml", "xhtml", "base64"};
const char payloadToken[] = "@PAYLOAD@";

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString golden(const QString &name)
{
    return QString::fromLatin1(
        readFile(qEnvironmentVariable("GLYPH_TEST_DATA") + QLatin1Char('/') + name));
}

// The text a tab must show for a picture, from the golden 3 x 2 files: the
// payload in place of the token, the size and the format word adapted.
QString expectedText(int tab, const QString &payload, const QSize &size,
                     const QString &word = QStringLiteral("png"))
{
    QString text = golden(QLatin1String(goldenStem[tab]) + QLatin1String("_3x2.txt"));
    text.replace(QLatin1String("\twidth:3px;"), QStringLiteral("\twidth:%1px;").arg(size.width()));
    text.replace(QLatin1String("\theight:2px;"), QStringLiteral("\theight:%1px;").arg(size.height()));
    text.replace(QLatin1String("data:image/png;"), QLatin1String("data:image/") + word + QLatin1Char(';'));
    text.replace(QLatin1String(payloadToken), payload);
    return text;
}

QString emptyText(int tab)
{
    return golden(QLatin1String(goldenStem[tab]) + QLatin1String("_empty.txt"));
}

QImage argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

// What a picture looks like after riding in a QPixmap, as every picture on
// the road does.
QImage throughPixmap(const QImage &image)
{
    return argb(QPixmap::fromImage(image).toImage());
}

int adjusted(int channel, int brightness, float factor)
{
    const double v = std::trunc(double(channel + brightness) * double(factor));
    return v < 0 ? 0 : v > 255 ? 255 : int(v);
}

// Brightness and contrast on the four bytes of each word as they are.
QImage adjustWords(QImage image, int brightness, int contrast)
{
    const float factor = float((contrast + 127) / 127.0);
    for (int y = 0; y < image.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            line[x] = (p & 0xff000000u) | (uint(adjusted(qRed(p), brightness, factor)) << 16)
                | (uint(adjusted(qGreen(p), brightness, factor)) << 8)
                | uint(adjusted(qBlue(p), brightness, factor));
        }
    }
    return image;
}

QImage scaledByPercent(const QImage &image, int percent)
{
    const QSize size(qRound(image.width() * (percent / 100.0)), qRound(image.height() * (percent / 100.0)));
    if (size == image.size())
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The processed picture the previews must encode: loaded, scaled by Qt,
// turned back into straight colours, then brightness and contrast.
QImage expectedPicture(const QImage &source, int brightness, int contrast, int percent)
{
    const QImage scaled = argb(scaledByPercent(throughPixmap(source), percent));
    return throughPixmap(adjustWords(scaled, brightness, contrast));
}

// The same without turning the scaled words back into straight colours.
QImage premultipliedPicture(const QImage &source, int brightness, int contrast, int percent)
{
    QImage scaled = scaledByPercent(throughPixmap(source), percent)
                        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    scaled.reinterpretAsFormat(QImage::Format_ARGB32);
    return throughPixmap(adjustWords(scaled, brightness, contrast));
}

// A picture with smooth gradients, a sharp edge and a little noise.
QImage photoLike(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_ARGB32);
    quint32 state = seed;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = int((state >> 24) % 9) - 4;
            const int edge = x > width / 2 ? 60 : 0;
            image.setPixel(x, y, qRgb(qBound(0, x * 200 / width + noise + edge, 255),
                                      qBound(0, y * 180 / height + noise, 255),
                                      qBound(0, 120 + noise - edge, 255)));
        }
    }
    return image;
}

// Colours and alpha that differ from pixel to pixel; alpha stays well above 0.
QImage semiTransparent(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba((x * 53 + 40) & 0xFF, (y * 71 + 90) & 0xFF,
                                       ((x + y) * 29 + 10) & 0xFF, 90 + (x * 13 + y * 19) % 160));
    return image;
}

QString savePng(const QTemporaryDir &dir, const QString &name, const QImage &image)
{
    const QString path = dir.filePath(name);
    return image.save(path, "PNG") ? path : QString();
}

// A valid PNG header announcing a picture far too large to take.
QByteArray hugePngHeader()
{
    return PngBytes::header(20000, 20000) + PngBytes::chunk("IEND", QByteArray());
}

// Answers the next file dialog with a file name and accepts it; when the file
// exists, also confirms that it may be replaced, then calls afterReplace (which
// may watch for the next box).
class SaveDialogAnswer
{
public:
    SaveDialogAnswer(const QString &name, bool replacesFile,
                     std::function<void()> afterReplace = std::function<void()>())
    {
        m_dialog = std::make_unique<ModalAnswerer>([name](QWidget *dialog) {
            QPointer<QWidget> guard(dialog);
            if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                edit->setText(name);
            // Queued: accepting may ask a question in a nested loop.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            // Never leave the dialog open: the test would hang in it.
            QTimer::singleShot(4000, [guard] {
                if (guard && guard->isVisible())
                    QMetaObject::invokeMethod(guard, "reject");
            });
        });
        m_dialog->setClassName("QFileDialog");
        if (replacesFile) {
            m_replace = std::make_unique<ModalAnswerer>([afterReplace](QWidget *question) {
                if (afterReplace)
                    afterReplace();
                ModalAnswerer::clickButtonWithText(question, QStringLiteral("Yes"));
            });
            m_replace->setClassName("QMWidgets::MMessageBox");
        }
    }

    bool answered() const { return m_dialog->answered() && (!m_replace || m_replace->answered()); }

private:
    std::unique_ptr<ModalAnswerer> m_dialog;
    std::unique_ptr<ModalAnswerer> m_replace;
};

// The real main page, shown, with handles on the parts the user touches.
class Road
{
public:
    Road()
    {
        page.resize(1100, 760);
        page.show();
        tabs = page.findChild<QTabWidget *>();
        dropArea = page.findChild<CreatorDropArea *>(QStringLiteral("DropArea"));
        if (auto *effects = page.findChild<CreatorEffects *>())
            form = effects->findChild<QFormLayout *>();
        Idle::settle();
    }

    bool isComplete() const { return tabs && tabs->count() == 6 && dropArea && form && picture(); }

    // A drop as the platform delivers it: the drag enters, then drops.
    bool drop(const QUrl &url)
    {
        QMimeData mime;
        mime.setUrls({url});
        const QPoint centre(dropArea->width() / 2, dropArea->height() / 2);
        if (!DragDrop::enter(dropArea, &mime, centre))
            return false;
        DragDrop::drop(dropArea, &mime, centre);
        Idle::settle();
        return true;
    }
    bool drop(const QString &path) { return drop(QUrl::fromLocalFile(path)); }

    void showTab(int tab)
    {
        tabs->setCurrentIndex(tab);
        Idle::settle();
    }

    ImagePreview *picture() const { return tabs ? qobject_cast<ImagePreview *>(tabs->widget(PreviewTab)) : nullptr; }
    TextPreview *textView(int tab) const { return qobject_cast<TextPreview *>(tabs->widget(tab)); }
    // The view's text box, whatever editor class it is: the widget with the
    // plain text as its user property.
    QWidget *editor(int tab) const
    {
        const auto children = textView(tab)->findChildren<QWidget *>();
        for (QWidget *child : children) {
            const QMetaProperty property = child->metaObject()->userProperty();
            if (property.isValid() && qstrcmp(property.name(), "plainText") == 0)
                return child;
        }
        return nullptr;
    }
    QString text(int tab) const { return editor(tab)->property("plainText").toString(); }
    // Adds a paragraph at the end, as typing would.
    bool append(int tab, const QString &extra)
    {
        return QMetaObject::invokeMethod(editor(tab), "appendPlainText", Q_ARG(QString, extra));
    }
    QString textSize(int tab) const
    {
        const auto labels = textView(tab)->findChildren<QLabel *>();
        for (QLabel *label : labels)
            if (label->text().startsWith(QLatin1String("Size: ")))
                return label->text();
        return QString();
    }
    QPushButton *button(int tab, const char *name) const
    {
        return tabs->widget(tab)->findChild<QPushButton *>(QLatin1String(name));
    }

    // The picture the picture tab shows.
    QImage shownPicture() const
    {
        QWidget *w = picture()->findChild<QScrollArea *>(QStringLiteral("PreviewWidget"))->widget();
        return w->palette().brush(w->backgroundRole()).texture().toImage();
    }

    // The control in the effects form's row with this label.
    QWidget *control(const QString &label) const
    {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem *labelItem = form->itemAt(row, QFormLayout::LabelRole);
            QLayoutItem *fieldItem = form->itemAt(row, QFormLayout::FieldRole);
            auto *caption = labelItem ? qobject_cast<QLabel *>(labelItem->widget()) : nullptr;
            if (caption && fieldItem && caption->text() == label)
                return fieldItem->widget();
        }
        return nullptr;
    }

    // Types the value into the slider's spin box, then presses and lets go of
    // the slider's handle, as a user who fine-tunes a value does.
    bool setSlider(const QString &label, int value)
    {
        auto *combo = qobject_cast<QMWidgets::ComboSlider *>(control(label));
        QSpinBox *spin = combo ? combo->findChild<QSpinBox *>() : nullptr;
        QSlider *slider = combo ? combo->findChild<QSlider *>() : nullptr;
        if (!spin || !slider || !spin->isEnabled())
            return false;
        spin->setValue(value);
        Idle::settle();
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.subControls = QStyle::SC_All;
        option.orientation = slider->orientation();
        option.minimum = slider->minimum();
        option.maximum = slider->maximum();
        option.sliderPosition = slider->sliderPosition();
        option.sliderValue = slider->value();
        option.singleStep = slider->singleStep();
        option.pageStep = slider->pageStep();
        option.tickPosition = slider->tickPosition();
        option.tickInterval = slider->tickInterval();
        option.upsideDown = slider->invertedAppearance();
        const QPoint handle = slider->style()
                                  ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
                                  .center();
        QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, handle);
        QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, handle);
        Idle::settle();
        return slider->value() == value && !slider->isSliderDown();
    }

    bool choose(const QString &label, const QString &item)
    {
        auto *box = qobject_cast<QComboBox *>(control(label));
        if (!box || !box->isEnabled() || box->findText(item) < 0)
            return false;
        box->setCurrentIndex(box->findText(item));
        Idle::settle();
        return true;
    }

    // The payload of the base64 tab once it decodes to a picture of this size.
    QByteArray waitForPayload(const QSize &size)
    {
        showTab(Base64Tab);
        QByteArray bytes;
        Idle::waitUntil([&] {
            bytes = QByteArray::fromBase64(text(Base64Tab).toLatin1());
            return QImage::fromData(bytes).size() == size;
        });
        return bytes;
    }

    MainPage page;
    QTabWidget *tabs = nullptr;
    CreatorDropArea *dropArea = nullptr;
    QFormLayout *form = nullptr;
};

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void init() { UrlRecorder::instance()->clear(); }

    void templatesBeforeAnyImage();
    void opaquePngGivesTheFiveTexts();
    void semiTransparentPictureKeepsItsColoursWhenScaled();
    void adjustmentsReachTheEncodedPixels_data();
    void adjustmentsReachTheEncodedPixels();
    void jpgCompressionsGiveJpgBytesOfGrowingSize();

    void copyPutsTheShownTextOnTheClipboard_data();
    void copyPutsTheShownTextOnTheClipboard();
    void savedTextsAreLatin1OrUtf8_data();
    void savedTextsAreLatin1OrUtf8();
    void showWritesThePreviewPageAndOpensIt_data();
    void showWritesThePreviewPageAndOpensIt();
    void pictureSaveWritesTheEncodedBytesUnderTheTypedName();
    void exportRightAfterAChangeCarriesIt_data();
    void exportRightAfterAChangeCarriesIt();
    void failedWritesKeepTheOldFile_data();
    void failedWritesKeepTheOldFile();

    void badInputKeepsThePictureAndSaysWhy_data();
    void badInputKeepsThePictureAndSaysWhy();
};

void TestEndToEnd::templatesBeforeAnyImage()
{
    // arrange
    Road road;
    QVERIFY(road.isComplete());

    // act and assert: every text tab shows its template with an empty payload
    for (int tab = HtmlTab; tab <= Base64Tab; ++tab) {
        road.showTab(tab);
        const QString expected = emptyText(tab);
        QVERIFY(tab == Base64Tab || !expected.isEmpty());
        Idle::waitUntil([&] { return road.text(tab) == expected; });
        QCOMPARE(road.text(tab), expected);
        QCOMPARE(road.textSize(tab), QStringLiteral("Size: ") + formatByteSize(expected.length()));
    }
    road.showTab(PreviewTab);
    Idle::waitUntil([&] { return road.picture()->sizeText() == QLatin1String("Size: 0 B"); });
    QCOMPARE(road.picture()->sizeText(), QStringLiteral("Size: 0 B"));
    QCOMPARE(road.picture()->captionText(), QStringLiteral("<H2>0x0</H2>"));
    QVERIFY(road.shownPicture().isNull());
}

void TestEndToEnd::opaquePngGivesTheFiveTexts()
{
    // arrange: the six colours of the golden 3 x 2 texts
    QImage image(3, 2, QImage::Format_ARGB32);
    const QRgb colours[] = {qRgb(255, 0, 0),  qRgb(0, 255, 0),    qRgb(0, 0, 255),
                            qRgb(10, 20, 30), qRgb(200, 100, 50), qRgb(255, 255, 255)};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, colours[i]);
    const QString path = savePng(m_dir, QStringLiteral("opaque.png"), image);
    Road road;
    QVERIFY(road.isComplete());

    // act
    QVERIFY(road.drop(path));

    // assert: the picture tab shows the picture, its caption and the payload's size
    Idle::waitUntil([&] { return road.picture()->captionText() == QLatin1String("<H2>3x2</H2>"); });
    QCOMPARE(road.picture()->captionText(), QStringLiteral("<H2>3x2</H2>"));
    const QByteArray payload = road.waitForPayload(QSize(3, 2));
    QCOMPARE(argb(QImage::fromData(payload, "PNG")), image);
    road.showTab(PreviewTab);
    const QString size = QStringLiteral("Size: ") + formatByteSize(payload.size());
    Idle::waitUntil([&] { return road.picture()->sizeText() == size; });
    QCOMPARE(road.picture()->sizeText(), size);
    QCOMPARE(argb(road.shownPicture()), image);

    // and each text tab the exact text around the same payload
    const QString base64 = QString::fromLatin1(payload.toBase64());
    for (int tab = HtmlTab; tab <= Base64Tab; ++tab) {
        road.showTab(tab);
        const QString expected = expectedText(tab, base64, image.size());
        Idle::waitUntil([&] { return road.text(tab) == expected; });
        QCOMPARE(road.text(tab), expected);
        QCOMPARE(road.textSize(tab), QStringLiteral("Size: ") + formatByteSize(expected.length()));
    }
}

void TestEndToEnd::semiTransparentPictureKeepsItsColoursWhenScaled()
{
    // arrange
    const QImage source = semiTransparent(10, 8);
    const QString path = savePng(m_dir, QStringLiteral("alpha.png"), source);
    const int brightness = 30;
    const int contrast = 20;
    const QImage expected = expectedPicture(source, brightness, contrast, 50);
    // The picture must tell straight from premultiplied processing apart.
    QVERIFY(expected != premultipliedPicture(source, brightness, contrast, 50));
    Road road;
    QVERIFY(road.isComplete());
    QVERIFY(road.drop(path));

    // act
    QVERIFY(road.setSlider(QStringLiteral("Resize:"), 50));
    QVERIFY(road.setSlider(QStringLiteral("Brightness:"), brightness));
    QVERIFY(road.setSlider(QStringLiteral("Contrast:"), contrast));

    // assert: the payload carries straight colours, alpha untouched
    road.showTab(Base64Tab);
    auto payloadPicture = [&] {
        return argb(QImage::fromData(QByteArray::fromBase64(road.text(Base64Tab).toLatin1())));
    };
    Idle::waitUntil([&] { return payloadPicture() == expected; });
    const QImage decoded = payloadPicture();
    QCOMPARE(decoded.size(), QSize(5, 4));
    for (int y = 0; y < decoded.height(); ++y)
        for (int x = 0; x < decoded.width(); ++x)
            QCOMPARE(QString::number(decoded.pixel(x, y), 16), QString::number(expected.pixel(x, y), 16));
}

void TestEndToEnd::adjustmentsReachTheEncodedPixels_data()
{
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("contrast");
    QTest::addColumn<int>("percent");
    QTest::newRow("untouched") << 0 << 0 << 100;
    QTest::newRow("brighter") << 40 << 0 << 100;
    QTest::newRow("darker") << -127 << 0 << 100;
    QTest::newRow("more contrast") << 10 << 50 << 100;
    QTest::newRow("no contrast is black") << 90 << -127 << 100;
    QTest::newRow("maximum contrast") << 0 << 128 << 100;
    QTest::newRow("half size") << 20 << 30 << 50;
    QTest::newRow("a third") << -30 << 80 << 33;
}

void TestEndToEnd::adjustmentsReachTheEncodedPixels()
{
    QFETCH(int, brightness);
    QFETCH(int, contrast);
    QFETCH(int, percent);
    // arrange
    const QImage source = photoLike(24, 18, 7);
    const QString path = savePng(m_dir, QStringLiteral("adjust.png"), source);
    const QImage expected = expectedPicture(source, brightness, contrast, percent);
    Road road;
    QVERIFY(road.isComplete());
    QVERIFY(road.drop(path));
    road.showTab(XhtmlTab);

    // act: while a text tab is current
    QVERIFY(road.setSlider(QStringLiteral("Resize:"), percent));
    QVERIFY(road.setSlider(QStringLiteral("Brightness:"), brightness));
    QVERIFY(road.setSlider(QStringLiteral("Contrast:"), contrast));

    // assert: the current text follows the last value at once
    const QString prefix = QStringLiteral("<img src=\"data:image/png;base64,");
    auto xhtmlPicture = [&] {
        const QString text = road.text(XhtmlTab);
        if (!text.startsWith(prefix))
            return QImage();
        return argb(QImage::fromData(QByteArray::fromBase64(text.mid(prefix.size()).toLatin1())));
    };
    Idle::waitUntil([&] { return xhtmlPicture() == expected; });
    QCOMPARE(xhtmlPicture().size(), expected.size());
    QVERIFY(xhtmlPicture() == expected);

    // and the other tabs show the same picture when they come up
    const QByteArray payload = road.waitForPayload(expected.size());
    QVERIFY(argb(QImage::fromData(payload)) == expected);
    road.showTab(PreviewTab);
    const QString size = QStringLiteral("Size: ") + formatByteSize(payload.size());
    Idle::waitUntil([&] { return road.picture()->sizeText() == size; });
    QCOMPARE(road.picture()->sizeText(), size);
    QVERIFY(argb(road.shownPicture()) == expected);
}

void TestEndToEnd::jpgCompressionsGiveJpgBytesOfGrowingSize()
{
    // arrange
    const QImage source = photoLike(64, 48, 11);
    const QString path = savePng(m_dir, QStringLiteral("photo.png"), source);
    Road road;
    QVERIFY(road.isComplete());
    QVERIFY(road.drop(path));
    auto *compression = qobject_cast<QComboBox *>(road.control(QStringLiteral("Compression:")));
    QVERIFY(compression);
    QVERIFY(!compression->isEnabled());

    // act: JPG, then each compression in turn
    QVERIFY(road.choose(QStringLiteral("Format:"), QStringLiteral("JPG")));
    QVERIFY(compression->isEnabled());
    QList<int> sizes;
    QByteArray previous;
    for (const QString &level : {QStringLiteral("High"), QStringLiteral("Average"), QStringLiteral("Low")}) {
        QVERIFY(road.choose(QStringLiteral("Compression:"), level));
        road.showTab(Base64Tab);
        QByteArray payload;
        Idle::waitUntil([&] {
            payload = QByteArray::fromBase64(road.text(Base64Tab).toLatin1());
            return payload.startsWith("\xFF\xD8\xFF") && payload != previous;
        });

        // assert: JPEG bytes of the picture, named "jpg" in every data URI
        QVERIFY2(payload.startsWith("\xFF\xD8\xFF"), qPrintable(level));
        const QImage decoded = QImage::fromData(payload, "JPG");
        QCOMPARE(decoded.size(), source.size());
        const QString base64 = QString::fromLatin1(payload.toBase64());
        for (int tab = HtmlTab; tab <= XhtmlTab; ++tab) {
            road.showTab(tab);
            const QString expected = expectedText(tab, base64, source.size(), QStringLiteral("jpg"));
            Idle::waitUntil([&] { return road.text(tab) == expected; });
            QCOMPARE(road.text(tab), expected);
        }
        road.showTab(PreviewTab);
        const QString size = QStringLiteral("Size: ") + formatByteSize(payload.size());
        Idle::waitUntil([&] { return road.picture()->sizeText() == size; });
        QCOMPARE(road.picture()->sizeText(), size);
        QVERIFY(argb(road.shownPicture()) == argb(decoded));
        sizes << payload.size();
        previous = payload;
    }
    // High compression gives the fewest bytes, Low the most.
    QVERIFY2(sizes.at(0) < sizes.at(1) && sizes.at(1) < sizes.at(2),
             qPrintable(QStringLiteral("%1 %2 %3").arg(sizes.at(0)).arg(sizes.at(1)).arg(sizes.at(2))));

    // and back to PNG: every pixel again, compression disabled
    QVERIFY(road.choose(QStringLiteral("Format:"), QStringLiteral("PNG")));
    QVERIFY(!compression->isEnabled());
    const QByteArray png = road.waitForPayload(source.size());
    QVERIFY(png.startsWith("\x89PNG"));
    QVERIFY(argb(QImage::fromData(png)) == source);
}

void TestEndToEnd::copyPutsTheShownTextOnTheClipboard_data()
{
    QTest::addColumn<int>("tab");
    QTest::newRow("HTML") << int(HtmlTab);
    QTest::newRow("BASE64") << int(Base64Tab);
}

void TestEndToEnd::copyPutsTheShownTextOnTheClipboard()
{
    QFETCH(int, tab);
    // arrange
    const QString path = savePng(m_dir, QStringLiteral("copy.png"), photoLike(9, 7, 3));
    Road road;
    QVERIFY(road.isComplete());
    QVERIFY(road.drop(path));
    road.waitForPayload(QSize(9, 7));
    road.showTab(tab);
    Idle::waitUntil([&] { return road.text(tab).contains(QLatin1String("iVBOR")); });
    Idle::settle();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));

    // act
    road.button(tab, "CopyButton")->click();
    Idle::settle();

    // assert
    QVERIFY(road.text(tab).contains(QLatin1String("iVBOR")));
    QCOMPARE(QGuiApplication::clipboard()->text(), road.text(tab));
}

void TestEndToEnd::savedTextsAreLatin1OrUtf8_data()
{
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("as generated") << QString() << "page.html" << false;
    QTest::newRow("Latin-1 letter") << QString::fromUtf8("<!-- caf\xC3\xA9 -->") << "cafe.html" << false;
    QTest::newRow("euro sign") << QString::fromUtf8("<!-- \xE2\x82\xAC -->") << "euro" << true;
}

void TestEndToEnd::savedTextsAreLatin1OrUtf8()
{
    QFETCH(QString, extra);
    QFETCH(QString, name);
    QFETCH(bool, utf8);
    // arrange
    const QString path = savePng(m_dir, QStringLiteral("save.png"), photoLike(8, 6, 5));
    Road road;
    QVERIFY(road.isComplete());
    QVERIFY(road.drop(path));
    road.showTab(CssTab);
    Idle::waitUntil([&] { return road.text(CssTab).contains(QLatin1String("width:8px;\n\theight:6px;\n\tbackground-image: url('data:image/png;base64,iVBOR")); });
    Idle::settle();
    if (!extra.isEmpty())
        QVERIFY(road.append(CssTab, extra));
    const QString text = road.text(CssTab);
    QVERIFY(text.contains(QLatin1String("iVBOR")));
    const QString target = QMWidgets::App::documentsDirectory(false) + name;
    QFile::remove(target);
    const SaveDialogAnswer answerer(name, false);

    // act
    road.button(CssTab, "SaveButton")->click();
    Idle::settle();

    // assert: Latin-1 while every character fits, else UTF-8 without a mark
    QVERIFY(answerer.answered());
    const QByteArray onDisk = readFile(target);
    QCOMPARE(onDisk, utf8 ? text.toUtf8() : text.toLatin1());
    QVERIFY(!onDisk.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(utf8 ? QString::fromUtf8(onDisk) : QString::fromLatin1(onDisk), text);
}

void TestEndToEnd::showWritesThePreviewPageAndOpensIt_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("extra");
    QTest::newRow("HTML") << int(HtmlTab) << "htmlPreview.html" << QString();
    QTest::newRow("CSS") << int(CssTab) << "cssPreview.html" << QString();
    QTest::newRow("HTML, edited with a Latin-1 letter")
        << int(HtmlTab) << "htmlPreview.html" << QString::fromUtf8("<p>\xC3\xA9</p>");
    QTest::newRow("CSS, edited with a Han letter")
        << int(CssTab) << "cssPreview.html" << QString::fromUtf8("<p>\xE6\xBC\xA2</p>");
}

void TestEndToEnd::showWritesThePreviewPageAndOpensIt()
{
    QFETCH(int, tab);
    QFETCH(QString, page);
    QFETCH(QString, extra);
    // arrange
    const QString path = savePng(m_dir, QStringLiteral("show.png"), photoLike(10, 4, 9));
    Road road;
    QVERIFY(road.isComplete());
    QVERIFY(road.drop(path));
    road.showTab(tab);
    Idle::waitUntil([&] { return road.text(tab).contains(QLatin1String("iVBOR")); });
    Idle::settle();
    if (!extra.isEmpty())
        QVERIFY(road.append(tab, extra));
    const QString text = road.text(tab);
    QVERIFY(text.contains(QLatin1String("iVBOR")));
    const QString pagePath = QMWidgets::App::workDirectory(false) + page;
    QFile::remove(pagePath);

    // act
    road.button(tab, "ShowButton")->click();
    Idle::waitUntil([] { return !UrlRecorder::instance()->urls().isEmpty(); });

    // assert: the page in the work folder holds the text; a mark only for non-ASCII text
    QCOMPARE(UrlRecorder::instance()->urls(), QList<QUrl>{QUrl::fromLocalFile(pagePath)});
    const QByteArray onDisk = readFile(pagePath);
    if (extra.isEmpty())
        QCOMPARE(onDisk, text.toLatin1());
    else
        QCOMPARE(onDisk, QByteArray("\xEF\xBB\xBF") + text.toUtf8());
}

void TestEndToEnd::exportRightAfterAChangeCarriesIt_data()
{
    QTest::addColumn<QSize>("size");      // of the picture loaded first
    QTest::addColumn<QString>("change");  // made just before the export
    QTest::addColumn<QString>("way");     // the export: Copy, Show or Save
    QTest::addColumn<QSize>("expected");  // of the picture the export must carry
    // Up to 1 megapixel the form works inline, above it on a worker.
    const QSize small(200, 150);
    const QSize large(1200, 1000);
    QTest::newRow("inline, resize set to 50, Copy") << small << "set 50" << "Copy" << QSize(100, 75);
    QTest::newRow("inline, one key step, Copy") << small << "key" << "Copy" << QSize(198, 149);
    QTest::newRow("inline, 55 typed, Show") << small << "type 55" << "Show" << QSize(110, 83);
    QTest::newRow("inline, a picture dropped, Copy") << small << "drop 90x60" << "Copy" << QSize(90, 60);
    QTest::newRow("inline, a refused file dropped, Copy") << small << "refused" << "Copy" << small;
    QTest::newRow("worker, resize set to 50, Copy") << large << "set 50" << "Copy" << QSize(600, 500);
    QTest::newRow("worker, one key step, Show") << large << "key" << "Show" << QSize(1188, 990);
    QTest::newRow("worker, 70 typed, Save") << large << "type 70" << "Save" << QSize(840, 700);
    QTest::newRow("worker, a picture dropped, Copy") << small << "drop 1100x1000" << "Copy" << QSize(1100, 1000);
    QTest::newRow("worker, a refused file dropped, Show") << large << "refused" << "Show" << large;
    // The picture tab's Save, its dialog answered while the worker is still
    // busy. (Not after a drop: the drop area's thumbnail is scaled on the
    // pool, which the row holds.)
    QTest::newRow("worker, one key step, picture Save") << large << "key" << "PictureSave" << QSize(1188, 990);
}

namespace {
// Keeps every thread of the global pool busy until it goes, so work handed
// to the pool meanwhile waits. Qt's smooth scaling on the GUI thread uses the
// same pool: nothing may be scaled meanwhile.
class PoolHold
{
public:
    PoolHold()
    {
        QThreadPool *pool = QThreadPool::globalInstance();
        const int threads = pool->maxThreadCount();
        // The tasks keep the semaphores: they may still be waking when the hold is gone.
        for (int i = 0; i < threads; ++i)
            pool->start([started = started, gate = gate] {
                started->release();
                gate->acquire();
            });
        started->acquire(threads);
        held = threads;
    }
    ~PoolHold() { gate->release(held); }

private:
    std::shared_ptr<QSemaphore> started = std::make_shared<QSemaphore>();
    std::shared_ptr<QSemaphore> gate = std::make_shared<QSemaphore>();
    int held = 0;
};
}

void TestEndToEnd::exportRightAfterAChangeCarriesIt()
{
    QFETCH(QSize, size);
    QFETCH(QString, change);
    QFETCH(QString, way);
    QFETCH(QSize, expected);
    // arrange: a picture, its CSS text (which names the size) shown and settled
    const QString path = savePng(m_dir, QStringLiteral("first.png"), photoLike(size.width(), size.height(), 4));
    Road road;
    QVERIFY(road.isComplete());
    QVERIFY(road.drop(path));
    road.showTab(CssTab);
    TextPreview *view = road.textView(CssTab);
    QVERIFY(Idle::waitUntil([&] { return !view->isTextPending() && road.text(CssTab).contains("iVBOR"); }, 30000));
    QVERIFY(Idle::settle());
    auto *resize = qobject_cast<QMWidgets::ComboSlider *>(road.control(QStringLiteral("Resize:")));
    QVERIFY(resize);
    QString later;
    if (change.startsWith("drop")) {
        const QStringList wh = change.mid(5).split('x');
        later = savePng(m_dir, QStringLiteral("later.png"), photoLike(wh.at(0).toInt(), wh.at(1).toInt(), 8));
    } else if (change == "refused") {
        later = m_dir.filePath(QStringLiteral("later.txt"));
        QVERIFY(writeFile(later, "this is not a picture\n"));
    }
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    const QString savedName = QStringLiteral("right-after.html");
    const QString savedPath = QMWidgets::App::documentsDirectory(false) + savedName;
    QFile::remove(savedPath);
    const QString pagePath = QMWidgets::App::workDirectory(false) + QStringLiteral("cssPreview.html");
    QFile::remove(pagePath);
    const bool pictureSave = way == "PictureSave";
    if (pictureSave)
        road.showTab(PreviewTab);
    std::unique_ptr<SaveDialogAnswer> answerer;
    if (way.endsWith("Save"))
        answerer = std::make_unique<SaveDialogAnswer>(pictureSave ? QStringLiteral("right-after.png") : savedName,
                                                      false);
    const QString picturePath = QMWidgets::App::documentsDirectory(false) + QStringLiteral("right-after.png");
    QFile::remove(picturePath);
    std::unique_ptr<PoolHold> poolHold;
    if (pictureSave)
        poolHold = std::make_unique<PoolHold>();

    // act: the change, then at once the export
    if (change.startsWith("set")) {
        resize->findChild<QSpinBox *>()->setValue(change.mid(4).toInt());
    } else if (change == "key") {
        QTest::keyClick(resize->findChild<QSlider *>(), Qt::Key_Left);
    } else if (change.startsWith("type")) {
        QSpinBox *number = resize->findChild<QSpinBox *>();
        number->setFocus();
        number->selectAll();
        QTest::keyClicks(number, change.mid(5));
    } else {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(later)});
        QVERIFY(DragDrop::drop(road.dropArea, &mime, QPoint(140, 140)));
    }
    if (pictureSave) {
        road.button(PreviewTab, "SaveButton")->click();
        QVERIFY(answerer->answered());
        poolHold.reset();
        QVERIFY(Idle::waitUntil([&] { return QFile::exists(picturePath); }, 60000));
        // assert: the file holds the picture of what was set last
        QCOMPARE(QImage::fromData(readFile(picturePath)).size(), expected);
        QCOMPARE(road.picture()->pixmap().size(), expected);
        return;
    }
    road.button(CssTab, qPrintable(way + QStringLiteral("Button")))->click();
    QVERIFY(Idle::waitUntil([&] {
        if (view->isTextPending() || road.dropArea->isReading())
            return false;
        if (way == "Copy")
            return QGuiApplication::clipboard()->text() != QLatin1String("before");
        return QFile::exists(way == "Show" ? pagePath : savedPath);
    }, 30000));
    const QString sizeInText = QStringLiteral("width:%1px;\n\theight:%2px;").arg(expected.width()).arg(expected.height());
    Idle::waitUntil([&] { return !view->isTextPending() && road.text(CssTab).contains(sizeInText); }, 30000);
    QVERIFY(Idle::settle());

    // assert: the export carries the text of what was set last, as the view shows it
    const QString text = road.text(CssTab);
    QVERIFY2(text.contains(sizeInText), qPrintable(text.left(200)));
    QCOMPARE(road.picture()->pixmap().size(), expected);
    if (way == "Copy")
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
    else
        QCOMPARE(readFile(way == "Show" ? pagePath : savedPath), text.toLatin1());
}

void TestEndToEnd::pictureSaveWritesTheEncodedBytesUnderTheTypedName()
{
    // arrange: JPG at average compression, a name that says PNG
    const QImage source = photoLike(30, 20, 13);
    const QString path = savePng(m_dir, QStringLiteral("picture.png"), source);
    Road road;
    QVERIFY(road.isComplete());
    QVERIFY(road.drop(path));
    QVERIFY(road.choose(QStringLiteral("Format:"), QStringLiteral("JPG")));
    QVERIFY(road.choose(QStringLiteral("Compression:"), QStringLiteral("Average")));
    road.showTab(Base64Tab);
    QByteArray payload;
    Idle::waitUntil([&] {
        payload = QByteArray::fromBase64(road.text(Base64Tab).toLatin1());
        return payload.startsWith("\xFF\xD8\xFF");
    });
    QVERIFY(payload.startsWith("\xFF\xD8\xFF"));
    road.showTab(PreviewTab);
    const QString name = QStringLiteral("saved-picture.png");
    const QString target = QMWidgets::App::documentsDirectory(false) + name;
    QFile::remove(target);
    const SaveDialogAnswer answerer(name, false);

    // act
    road.button(PreviewTab, "SaveButton")->click();
    Idle::settle();

    // assert: the very bytes the texts carry, under the name as typed
    QVERIFY(answerer.answered());
    QCOMPARE(readFile(target), payload);
}

void TestEndToEnd::failedWritesKeepTheOldFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("saved text") << "text";
    QTest::newRow("preview page") << "page";
    QTest::newRow("saved picture") << "picture";
}

void TestEndToEnd::failedWritesKeepTheOldFile()
{
    QFETCH(QString, kind);
    // arrange: an old file, and a picture whose texts and bytes exceed the size limit
    const QString path = savePng(m_dir, QStringLiteral("limit.png"), photoLike(16, 16, 17));
    Road road;
    QVERIFY(road.isComplete());
    QVERIFY(road.drop(path));
    road.waitForPayload(QSize(16, 16));
    const int tab = kind == QLatin1String("picture") ? int(PreviewTab) : int(HtmlTab);
    road.showTab(tab);
    if (tab == HtmlTab)
        Idle::waitUntil([&] { return road.text(HtmlTab).contains(QLatin1String("iVBOR")); });
    const QString name = QStringLiteral("old-%1.html").arg(kind);
    const QString target = kind == QLatin1String("page")
        ? QMWidgets::App::workDirectory(true) + QStringLiteral("htmlPreview.html")
        : QMWidgets::App::documentsDirectory(true) + name;
    QVERIFY(writeFile(target, "old"));
    const QStringList filesBefore = QDir(QFileInfo(target).path()).entryList(QDir::Files | QDir::Hidden);
    // A failed write tells the user which file was not written; for a save
    // through the dialog that box follows the question about replacing.
    QString message;
    std::unique_ptr<ModalAnswerer> warning;
    const auto watchWarning = [&message, &warning] {
        warning = std::make_unique<ModalAnswerer>([&message](QWidget *box) {
            message += ModalAnswerer::labelTexts(box);
            ModalAnswerer::pressKey(box, Qt::Key_Escape);
        });
        warning->setClassName("QMWidgets::MMessageBox");
    };
    std::unique_ptr<SaveDialogAnswer> answerer;
    if (kind != QLatin1String("page"))
        answerer = std::make_unique<SaveDialogAnswer>(name, true, watchWarning);
    else
        watchWarning();

    // act
    {
        FileSizeLimit limit(64);
        QVERIFY(limit.active());
        road.button(tab, kind == QLatin1String("page") ? "ShowButton" : "SaveButton")->click();
        Idle::settle();
    }

    // assert: the old content, no stray temporary file, no browser
    QVERIFY(!answerer || answerer->answered());
    QVERIFY(warning && warning->answered());
    QVERIFY2(message.contains(QFileInfo(target).fileName()), qPrintable(message));
    QCOMPARE(readFile(target), QByteArray("old"));
    QCOMPARE(QDir(QFileInfo(target).path()).entryList(QDir::Files | QDir::Hidden), filesBefore);
    QVERIFY(UrlRecorder::instance()->urls().isEmpty());
}

void TestEndToEnd::badInputKeepsThePictureAndSaysWhy_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not an image") << "text" << "not a picture";
    QTest::newRow("truncated png") << "truncated" << "not a picture";
    QTest::newRow("fifo") << "fifo" << "not a file that can be read";
    QTest::newRow("over-large header") << "huge" << "too large";
}

void TestEndToEnd::badInputKeepsThePictureAndSaysWhy()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    // arrange: a good picture first, so the previews have something to lose
    const QImage goodImage = photoLike(12, 10, 19);
    const QString good = savePng(m_dir, QStringLiteral("good.png"), goodImage);
    const QString bad = m_dir.filePath(QStringLiteral("bad-") + kind);
    QFile::remove(bad);
    if (kind == QLatin1String("text")) {
        QVERIFY(writeFile(bad, "this is not a picture\n"));
    } else if (kind == QLatin1String("truncated")) {
        const QByteArray bytes = readFile(savePng(m_dir, QStringLiteral("whole.png"), photoLike(64, 64, 23)));
        QVERIFY(bytes.size() > 1000);
        QVERIFY(writeFile(bad, bytes.left(bytes.size() / 2)));
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(bad).constData(), 0600), 0);
    } else {
        QVERIFY(writeFile(bad, hugePngHeader()));
    }
    Road road;
    QVERIFY(road.isComplete());
    QVERIFY(road.drop(good));
    const QString payload = QString::fromLatin1(road.waitForPayload(goodImage.size()).toBase64());
    road.showTab(PreviewTab);
    Idle::waitUntil([&] { return road.picture()->captionText() == QLatin1String("<H2>12x10</H2>"); });
    const QString sizeText = road.picture()->sizeText();
    const QImage shown = road.shownPicture();
    QCOMPARE(argb(shown), goodImage);
    auto *message = road.dropArea->findChild<QLabel *>(QStringLiteral("DropMessage"));
    QVERIFY(message && !message->isVisible());
    std::unique_ptr<FifoWatch> watch(kind == QLatin1String("fifo") ? new FifoWatch(bad) : nullptr);

    // act
    QVERIFY(road.drop(bad));
    if (watch)
        watch->stop();

    // assert: nothing read from the FIFO, the window says why, and the good
    // picture stays in the picture view and in every text
    QVERIFY2(!watch || !watch->readerSeen(), "the FIFO was opened");
    QVERIFY(message->isVisible());
    QVERIFY2(message->text().contains(reason), qPrintable(message->text()));
    QCOMPARE(road.picture()->sizeText(), sizeText);
    QCOMPARE(road.picture()->captionText(), QStringLiteral("<H2>12x10</H2>"));
    QCOMPARE(road.shownPicture(), shown);
    for (int tab = HtmlTab; tab <= Base64Tab; ++tab) {
        road.showTab(tab);
        const QString expected = expectedText(tab, payload, goodImage.size());
        Idle::waitUntil([&] { return road.text(tab) == expected; });
        QCOMPARE(road.text(tab), expected);
    }

    // and the next picture taken clears the message
    QVERIFY(road.drop(good));
    QVERIFY(argb(QImage::fromData(road.waitForPayload(goodImage.size()))) == goodImage);
    QVERIFY(!message->isVisible());
}

GLYPH_APP_TEST_MAIN(TestEndToEnd, MainApp)
#include "tst_endtoend.moc"
