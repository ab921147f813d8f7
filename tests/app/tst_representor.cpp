// The preview column: which preview redraws on which input, and that the six
// previews share one encoding.

#include "app.h"
#include "encodedimagecache.h"
#include "formatbytesize.h"
#include "idle.h"
#include "imagepreview.h"
#include "longtextedit.h"
#include "representor.h"
#include "testmain.h"
#include "textpreview.h"

#include <QClipboard>
#include <QPushButton>
#include <QSharedPointer>
#include <QSignalSpy>
#include <QScrollArea>
#include <QTabWidget>

namespace {

QPixmap makePixmap(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 41) & 0xFF, (y * 67) & 0xFF, ((x + y) * 13) & 0xFF));
    return QPixmap::fromImage(image);
}

QImage rgb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray encodeBySave(const QPixmap &pixmap, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    pixmap.save(&buffer, format, quality);
    return bytes;
}

// The column, shown, with handles on its parts.
struct Column
{
    Representor representor;
    QTabWidget *tabs = nullptr;
    ImagePreview *picture = nullptr;
    QWidget *pictureWidget = nullptr;

    Column()
    {
        tabs = representor.findChild<QTabWidget *>();
        picture = qobject_cast<ImagePreview *>(tabs->widget(0));
        pictureWidget = picture->findChild<QScrollArea *>(QStringLiteral("PreviewWidget"))->widget();
        representor.show();
    }
    TextPreview *text(int tab) const { return qobject_cast<TextPreview *>(tabs->widget(tab)); }
    QString textOf(int tab) const { return text(tab)->findChild<LongTextEdit *>()->toPlainText(); }
    QImage shownPicture() const
    {
        return pictureWidget->palette().brush(pictureWidget->backgroundRole()).texture().toImage();
    }
};

enum Tab { PreviewTab, HtmlTab, CssTab, XmlTab, XhtmlTab, Base64Tab };

} // namespace

class TestRepresentor : public QObject
{
    Q_OBJECT

private slots:
    void tabsFormsAndButtons();
    void startsWithEmptyPicture();

    void newPixmapRefreshesOnlyVisibleTab();
    void newPixmapOnPictureTabShowsItUnencoded();
    void formatChangeUpdatesEveryPreview();
    void textEditsLastUntilPictureOrFormatChanges_data();
    void textEditsLastUntilPictureOrFormatChanges();
    void pictureTabShowsEncodedPictureWhenShown();
    void captionNamesThePictureArrivedMeanwhile_data();
    void captionNamesThePictureArrivedMeanwhile();

    void exportIsOfferedOnlyWithAPicture_data();
    void exportIsOfferedOnlyWithAPicture();
    void textButtonMnemonicsClickOnlyTheirButton_data();
    void textButtonMnemonicsClickOnlyTheirButton();

    void realPreviewReachesOnlyPicturePreview();
    void oneEncodingPerFormatChange();
    void oneEncodingAndDecodingPerLoad();
};

void TestRepresentor::tabsFormsAndButtons()
{
    Column column;

    const QStringList texts = {"PREVIEW", "HTML", "CSS", "XML", "XHTML", "BASE64"};
    const int forms[] = {-1, TextPreview::Html, TextPreview::Css, TextPreview::Xml,
                         TextPreview::Xhtml, TextPreview::Base64};
    QCOMPARE(column.tabs->count(), texts.size());
    QCOMPARE(column.tabs->currentIndex(), int(PreviewTab));
    QVERIFY(column.picture);
    for (int tab = 1; tab < texts.size(); ++tab) {
        QCOMPARE(column.tabs->tabText(tab), texts.at(tab));
        QVERIFY(column.text(tab));
        QCOMPARE(column.text(tab)->type(), forms[tab]);
        const bool pageForm = tab == HtmlTab || tab == CssTab;
        auto *show = column.text(tab)->findChild<QPushButton *>(QStringLiteral("ShowButton"));
        QCOMPARE(show->isVisibleTo(column.text(tab)), pageForm);
    }
    QCOMPARE(column.tabs->tabText(0), texts.at(0));
    QCOMPARE(column.representor.minimumSize(), QSize(500, 500));
    for (int tab = 0; tab < texts.size(); ++tab)
        QCOMPARE(column.tabs->widget(tab)->objectName(), QStringLiteral("MainSeparator"));
}

void TestRepresentor::startsWithEmptyPicture()
{
    Column column;
    QVERIFY(Idle::settle());

    QCOMPARE(column.picture->captionText(), QStringLiteral("<H2>0x0</H2>"));
    QCOMPARE(column.picture->sizeText(), QStringLiteral("Size: 0 B"));
    QCOMPARE(column.pictureWidget->size(), QSize(0, 0));
    QCOMPARE(column.picture->formatSpec(), QStringLiteral("PNG"));
}

void TestRepresentor::newPixmapRefreshesOnlyVisibleTab()
{
    // arrange
    Column column;
    column.tabs->setCurrentIndex(HtmlTab);

    // act
    column.representor.slotSetPixmap(makePixmap(4, 3));
    QVERIFY(Idle::settle());

    // assert: the HTML page carries the picture, hidden views are untouched
    QVERIFY(column.textOf(HtmlTab).startsWith(
        QLatin1String("<HTML><BODY><img src=\"data:image/png;base64,iVBOR")));
    QVERIFY(column.textOf(CssTab).isEmpty());
    QVERIFY(column.textOf(Base64Tab).isEmpty());
    QCOMPARE(column.picture->captionText(), QStringLiteral("<H2>4x3</H2>"));

    // and a hidden view builds its text from the new pixmap when shown
    column.tabs->setCurrentIndex(CssTab);
    QVERIFY(Idle::settle());
    QVERIFY(column.textOf(CssTab).contains(QLatin1String("\twidth:4px;\n\theight:3px;\n")));
}

void TestRepresentor::newPixmapOnPictureTabShowsItUnencoded()
{
    // arrange
    Column column;
    column.representor.slotSetFormat(QStringLiteral("JPG;0"));
    const QPixmap pixmap = makePixmap(40, 30);

    // act
    column.representor.slotSetPixmap(pixmap);
    QVERIFY(Idle::settle());

    // assert: caption and picture follow at once, the size waits for a real preview
    QCOMPARE(column.picture->captionText(), QStringLiteral("<H2>40x30</H2>"));
    QCOMPARE(column.pictureWidget->size(), QSize(40, 30));
    QCOMPARE(rgb(column.shownPicture()), rgb(pixmap.toImage()));
    QCOMPARE(column.picture->sizeText(), QStringLiteral("Size: 0 B"));
}

void TestRepresentor::formatChangeUpdatesEveryPreview()
{
    // arrange
    Column column;
    column.tabs->setCurrentIndex(XmlTab);
    column.representor.slotSetPixmap(makePixmap(6, 5));
    QVERIFY(Idle::settle());

    // act
    column.representor.slotSetFormat(QStringLiteral("JPG;1"));
    QVERIFY(Idle::settle());

    // assert: hidden previews included, the picture's caption too
    QCOMPARE(column.picture->captionText(), QStringLiteral("<H2>6x5</H2>"));
    for (int tab = HtmlTab; tab <= XhtmlTab; ++tab)
        QVERIFY2(column.textOf(tab).contains(QLatin1String("data:image/jpg;base64,/9j/")),
                 qPrintable(column.tabs->tabText(tab)));
    QVERIFY(column.textOf(Base64Tab).startsWith(QLatin1String("/9j/")));
    for (int tab = PreviewTab; tab <= Base64Tab; ++tab)
        QCOMPARE(qobject_cast<Preview *>(column.tabs->widget(tab))->formatSpec(),
                 QStringLiteral("JPG;1"));
}

void TestRepresentor::textEditsLastUntilPictureOrFormatChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("kept");
    QTest::newRow("a tab switch keeps the edit") << "tabs" << true;
    QTest::newRow("a new picture replaces it") << "picture" << false;
    QTest::newRow("a new format replaces it") << "format" << false;
}

void TestRepresentor::textEditsLastUntilPictureOrFormatChanges()
{
    QFETCH(QString, change);
    QFETCH(bool, kept);
    // arrange: the user edits the generated text
    Column column;
    column.representor.slotSetPixmap(makePixmap(3, 3));
    column.tabs->setCurrentIndex(XhtmlTab);
    QVERIFY(Idle::settle());
    const QString generated = column.textOf(XhtmlTab);
    QVERIFY(generated.startsWith(QLatin1String("<img src=\"data:image/png;base64,iVBOR")));
    auto *editor = column.text(XhtmlTab)->findChild<LongTextEdit *>();
    editor->setCursorPosition(editor->textLength());
    QTest::keyClicks(editor, QStringLiteral("<!-- mine -->"));
    const QString edited = generated + QStringLiteral("<!-- mine -->");
    QCOMPARE(column.textOf(XhtmlTab), edited);

    // act
    if (change == "picture")
        column.representor.slotSetPixmap(makePixmap(4, 2));
    else if (change == "format")
        column.representor.slotSetFormat(QStringLiteral("JPG;1"));
    column.tabs->setCurrentIndex(HtmlTab);
    column.tabs->setCurrentIndex(CssTab);
    column.tabs->setCurrentIndex(XhtmlTab);
    QVERIFY(Idle::settle());
    QGuiApplication::clipboard()->clear();
    column.text(XhtmlTab)->findChild<QPushButton *>(QStringLiteral("CopyButton"))->click();
    QVERIFY(Idle::settle());

    // assert: what is shown is what Copy exports
    const QString shown = column.textOf(XhtmlTab);
    if (kept) {
        QCOMPARE(shown, edited);
    } else {
        QVERIFY(!shown.contains(QLatin1String("mine")));
        QVERIFY2(shown.startsWith(QLatin1String(change == "format" ? "<img src=\"data:image/jpg;base64,/9j/"
                                                                   : "<img src=\"data:image/png;base64,iVBOR")),
                 qPrintable(shown));
        QVERIFY(shown != generated);
    }
    QCOMPARE(QGuiApplication::clipboard()->text(QClipboard::Clipboard), shown);
}

void TestRepresentor::pictureTabShowsEncodedPictureWhenShown()
{
    // arrange
    Column column;
    column.tabs->setCurrentIndex(HtmlTab);
    column.representor.slotSetFormat(QStringLiteral("JPG;0"));
    const QPixmap pixmap = makePixmap(32, 16);
    column.representor.slotSetPixmap(pixmap);

    // act
    column.tabs->setCurrentIndex(PreviewTab);
    QVERIFY(Idle::settle());

    // assert: the JPG picture, its size and the picture's own caption
    const QByteArray jpg = encodeBySave(pixmap, "JPG", 20);
    QCOMPARE(column.picture->sizeText(), QStringLiteral("Size: ") + formatByteSize(jpg.size()));
    QCOMPARE(rgb(column.shownPicture()), rgb(QImage::fromData(jpg)));
    QVERIFY(rgb(column.shownPicture()) != rgb(pixmap.toImage()));
    QCOMPARE(column.picture->captionText(), QStringLiteral("<H2>32x16</H2>"));
}

void TestRepresentor::captionNamesThePictureArrivedMeanwhile_data()
{
    QTest::addColumn<QSize>("arrived");
    QTest::addColumn<QString>("caption");
    QTest::newRow("a smaller picture") << QSize(1, 1) << QStringLiteral("<H2>1x1</H2>");
    QTest::newRow("the empty picture of resize 0") << QSize() << QStringLiteral("<H2>0x0</H2>");
}

void TestRepresentor::captionNamesThePictureArrivedMeanwhile()
{
    // arrange: a picture shown, then another tab
    QFETCH(QSize, arrived);
    QFETCH(QString, caption);
    Column column;
    column.representor.slotSetPixmap(makePixmap(1200, 900));
    column.representor.slotRealPreview();
    QVERIFY(Idle::settle());
    QCOMPARE(column.picture->captionText(), QStringLiteral("<H2>1200x900</H2>"));
    column.tabs->setCurrentIndex(HtmlTab);

    // act: the new picture arrives as the creator sends it, then PREVIEW again
    column.representor.slotSetPixmap(arrived.isValid() ? makePixmap(arrived.width(), arrived.height())
                                                       : QPixmap());
    column.representor.slotRealPreview();
    column.representor.slotRealPreview();
    column.tabs->setCurrentIndex(PreviewTab);
    QVERIFY(Idle::settle());

    // assert
    QCOMPARE(column.picture->captionText(), caption);
    QCOMPARE(column.pictureWidget->size(), arrived.isValid() ? arrived : QSize(0, 0));
}

// Sizes of the pixmaps that arrive in turn; 0x0 is the null pixmap the form
// sends when the scale rounds a side to nothing.
void TestRepresentor::exportIsOfferedOnlyWithAPicture_data()
{
    QTest::addColumn<QList<QSize>>("arrivals");
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("nothing loaded") << QList<QSize>() << int(PreviewTab) << false;
    QTest::newRow("a picture") << QList<QSize>{QSize(4, 3)} << int(PreviewTab) << true;
    QTest::newRow("scaled to nothing") << QList<QSize>{QSize(4, 3), QSize()} << int(PreviewTab) << false;
    QTest::newRow("scaled back") << QList<QSize>{QSize(4, 3), QSize(), QSize(2, 1)} << int(PreviewTab) << true;
    QTest::newRow("scaled to nothing, text tab shown")
        << QList<QSize>{QSize(4, 3), QSize()} << int(HtmlTab) << false;
    QTest::newRow("HTML, nothing loaded") << QList<QSize>() << int(HtmlTab) << false;
    QTest::newRow("HTML, a picture") << QList<QSize>{QSize(4, 3)} << int(HtmlTab) << true;
    QTest::newRow("CSS, scaled to nothing") << QList<QSize>{QSize(4, 3), QSize()} << int(CssTab) << false;
    QTest::newRow("XML, nothing loaded") << QList<QSize>() << int(XmlTab) << false;
    QTest::newRow("BASE64, scaled back")
        << QList<QSize>{QSize(4, 3), QSize(), QSize(2, 1)} << int(Base64Tab) << true;
}

void TestRepresentor::exportIsOfferedOnlyWithAPicture()
{
    QFETCH(QList<QSize>, arrivals);
    QFETCH(int, tab);
    QFETCH(bool, enabled);
    // arrange
    Column column;
    column.tabs->setCurrentIndex(tab);
    // act
    for (const QSize &size : arrivals)
        column.representor.slotSetPixmap(size.isEmpty() ? QPixmap() : makePixmap(size.width(), size.height()));
    QVERIFY(Idle::settle());
    // assert: the picture's Save, and every button of the text tab shown, by one rule
    auto *save = column.picture->findChild<QPushButton *>(QStringLiteral("SaveButton"));
    QVERIFY(save);
    QCOMPARE(save->isEnabled(), enabled);
    if (tab == PreviewTab)
        return;
    for (const char *name : {"SaveButton", "CopyButton", "ShowButton"}) {
        auto *button = column.text(tab)->findChild<QPushButton *>(QLatin1String(name));
        QVERIFY(button);
        QVERIFY2(button->isEnabled() == enabled, name);
    }
}

void TestRepresentor::textButtonMnemonicsClickOnlyTheirButton_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("button");

    QTest::newRow("HTML, Show") << int(HtmlTab) << "ShowButton";
    QTest::newRow("HTML, Save") << int(HtmlTab) << "SaveButton";
    QTest::newRow("HTML, Copy") << int(HtmlTab) << "CopyButton";
    QTest::newRow("CSS, Show") << int(CssTab) << "ShowButton";
    QTest::newRow("CSS, Save") << int(CssTab) << "SaveButton";
    QTest::newRow("BASE64, Save") << int(Base64Tab) << "SaveButton";
}

void TestRepresentor::textButtonMnemonicsClickOnlyTheirButton()
{
    QFETCH(int, tab);
    QFETCH(QString, button);
    // arrange: the buttons' clicks are only counted
    Column column;
    column.representor.slotSetPixmap(makePixmap(4, 3));
    column.tabs->setCurrentIndex(tab);
    column.representor.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&column.representor));
    TextPreview *view = column.text(tab);
    QPushButton *target = view->findChild<QPushButton *>(button);
    QVERIFY(target);
    const QKeySequence mnemonic = QKeySequence::mnemonic(target->text());
    QVERIFY2(!mnemonic.isEmpty(), qPrintable(target->text()));
    QList<QPushButton *> buttons;
    QList<QSharedPointer<QSignalSpy>> clicks;
    for (QPushButton *b : column.representor.findChildren<QPushButton *>()) {
        QObject::disconnect(b, &QPushButton::clicked, nullptr, nullptr);
        buttons.append(b);
        clicks.append(QSharedPointer<QSignalSpy>::create(b, &QPushButton::clicked));
    }
    // act
    QTest::keySequence(&column.representor, mnemonic);
    // assert
    const int index = buttons.indexOf(target);
    QTRY_COMPARE(clicks.at(index)->count(), 1);
    for (int i = 0; i < buttons.size(); ++i) {
        if (i != index)
            QVERIFY2(clicks.at(i)->isEmpty(), qPrintable(buttons.at(i)->text()));
    }
}

void TestRepresentor::realPreviewReachesOnlyPicturePreview()
{
    // arrange
    Column column;
    column.tabs->setCurrentIndex(XmlTab);
    const QPixmap pixmap = makePixmap(20, 10);
    column.representor.slotSetPixmap(pixmap);
    QVERIFY(Idle::settle());
    const QString xmlBefore = column.textOf(XmlTab);

    // act
    column.representor.slotRealPreview();
    QVERIFY(Idle::settle());

    // assert: the hidden picture preview encoded and decoded, nothing else changed
    QCOMPARE(column.pictureWidget->size(), QSize(20, 10));
    QCOMPARE(rgb(column.shownPicture()), rgb(pixmap.toImage()));  // PNG keeps every pixel
    const qint64 size = column.picture->encodedImageCache()->bytes(pixmap, QStringLiteral("PNG")).size();
    QVERIFY(size > 0);
    QCOMPARE(column.picture->sizeText(), QStringLiteral("Size: ") + formatByteSize(size));
    QCOMPARE(column.picture->captionText(), QStringLiteral("<H2>20x10</H2>"));
    QCOMPARE(column.textOf(XmlTab), xmlBefore);
    QVERIFY(column.textOf(HtmlTab).isEmpty());
}

void TestRepresentor::oneEncodingPerFormatChange()
{
    // arrange
    Column column;
    column.tabs->setCurrentIndex(CssTab);
    column.representor.slotSetPixmap(makePixmap(64, 64));
    QVERIFY(Idle::settle());
    const std::shared_ptr<EncodedImageCache> cache = column.picture->encodedImageCache();
    for (int tab = HtmlTab; tab <= Base64Tab; ++tab)
        QCOMPARE(column.text(tab)->encodedImageCache(), cache);
    const int encodings = cache->encodeCount();
    const int decodings = cache->decodeCount();

    // act: a format change as the effects form sends it
    column.representor.slotSetFormat(QStringLiteral("JPG;2"));
    column.representor.slotRealPreview();
    QVERIFY(Idle::settle());

    // assert
    QCOMPARE(cache->encodeCount(), encodings + 1);
    QCOMPARE(cache->decodeCount(), decodings + 1);
}

void TestRepresentor::oneEncodingAndDecodingPerLoad()
{
    // arrange
    Column column;
    const std::shared_ptr<EncodedImageCache> cache = column.picture->encodedImageCache();
    const int encodings = cache->encodeCount();
    const int decodings = cache->decodeCount();

    // act: a load sends the pixmap and two real-preview requests
    column.representor.slotSetPixmap(makePixmap(50, 40));
    column.representor.slotRealPreview();
    column.representor.slotRealPreview();
    QVERIFY(Idle::settle());

    // assert
    QCOMPARE(cache->encodeCount(), encodings + 1);
    QCOMPARE(cache->decodeCount(), decodings + 1);
    QCOMPARE(column.pictureWidget->size(), QSize(50, 40));
}

GLYPH_APP_TEST_MAIN(TestRepresentor, QMWidgets::App)
#include "tst_representor.moc"
