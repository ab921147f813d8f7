// The main page as the program builds it: this test runs inside the real
// main(), from its event loop, so the window, the application object and the
// style sheet are the ones the user gets. Road checks that change the page's
// state use a page of their own.

#include "appsettingsdialog.h"
#include "creator.h"
#include "dragdrop.h"
#include "droparea.h"
#include "encodedimagecache.h"
#include "effectsform.h"
#include "formatbytesize.h"
#include "idle.h"
#include "imagepreview.h"
#include "modalanswerer.h"
#include "representor.h"
#include "testenvironment.h"
#include "textpreview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QMetaProperty>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <vector>

#define main glyphcraftMain
#include "../../app/main.cpp"
#undef main

namespace {

enum Tab { PreviewTab, HtmlTab, CssTab, XmlTab, XhtmlTab, Base64Tab };

// The page main() built and showed.
MainPage *programPage()
{
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget *w : tops)
        if (auto *page = qobject_cast<MainPage *>(w))
            if (page->isVisible())
                return page;
    return nullptr;
}

QTabWidget *tabsOf(MainPage *page)
{
    return page->findChild<QTabWidget *>();
}

ImagePreview *pictureOf(MainPage *page)
{
    return qobject_cast<ImagePreview *>(tabsOf(page)->widget(PreviewTab));
}

QWidget *formControl(MainPage *page, const QString &label)
{
    auto *form = page->findChild<CreatorEffects *>()->findChild<QFormLayout *>();
    for (int row = 0; row < form->rowCount(); ++row) {
        auto *caption = qobject_cast<QLabel *>(form->itemAt(row, QFormLayout::LabelRole)->widget());
        if (caption && caption->text() == label)
            return form->itemAt(row, QFormLayout::FieldRole)->widget();
    }
    return nullptr;
}

void dropFile(MainPage *page, const QString &path)
{
    auto *area = page->findChild<CreatorDropArea *>(QStringLiteral("DropArea"));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    DragDrop::drop(area, &mime, QPoint(140, 140));
}

QString writePicture(const QTemporaryDir &dir, const QString &name, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x * y) & 0xFF));
    const QString path = dir.filePath(name);
    return image.save(path, "PNG") ? path : QString();
}

// The encoded size the HTML text carries.
QString sizeOfHtmlPayload(MainPage *page)
{
    const auto children = tabsOf(page)->widget(HtmlTab)->findChildren<QWidget *>();
    for (QWidget *child : children) {
        const QMetaProperty property = child->metaObject()->userProperty();
        if (!property.isValid() || qstrcmp(property.name(), "plainText") != 0)
            continue;
        const QString text = child->property("plainText").toString();
        const int start = text.indexOf(QLatin1String(";base64,")) + 8;
        const int end = text.indexOf(QLatin1Char('"'), start);
        if (start < 8 || end <= start)
            return QString();
        return QStringLiteral("Size: ")
            + formatByteSize(QByteArray::fromBase64(text.mid(start, end - start).toLatin1()).size());
    }
    return QString();
}

} // namespace

class TestMainPage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(programPage());
    }

    void windowOfTheApplication()
    {
        MainPage *page = programPage();

        QVERIFY(qobject_cast<MainApp *>(QCoreApplication::instance()));
        QCOMPARE(QMWidgets::App::instance()->mainWidget(), static_cast<QWidget *>(page));
        QCOMPARE(page->windowTitle(), QStringLiteral("Glyphcraft"));
        QCOMPARE(page->windowTitle(), QCoreApplication::applicationName());
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.8"));
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Quillar"));
        QVERIFY(page->inherits("QMWidgets::PromoMainPage"));
        QVERIFY(page->isWindow());
        // The menu bar on top; creator left of the representor under it.
        QWidget *bar = page->menuBar();
        QCOMPARE(bar->parentWidget(), static_cast<QWidget *>(page));
        QVERIFY(bar->geometry().bottom() < page->creator()->y());
        QVERIFY(page->creator()->geometry().right() < page->representor()->x());
        QCOMPARE(page->creator()->parentWidget(), static_cast<QWidget *>(page));
        QCOMPARE(page->representor()->parentWidget(), static_cast<QWidget *>(page));
    }

    void beforeAnyImageTheColumnKeepsItsStartingState()
    {
        // Run before anything is dropped on the program's page.
        MainPage *page = programPage();
        QTabWidget *tabs = tabsOf(page);

        QCOMPARE(tabs->currentIndex(), int(PreviewTab));
        for (int tab = PreviewTab; tab <= Base64Tab; ++tab) {
            auto *preview = qobject_cast<Preview *>(tabs->widget(tab));
            QVERIFY(preview);
            QVERIFY(preview->pixmap().isNull());
            QCOMPARE(preview->formatSpec(), QStringLiteral("PNG"));
        }
        QCOMPARE(pictureOf(page)->captionText(), QStringLiteral("<H2>0x0</H2>"));
        QCOMPARE(pictureOf(page)->sizeText(), QStringLiteral("Size: 0 B"));
    }

    void settingsAndMoreAppsButtonsStayHidden()
    {
        // arrange
        MainPage *page = programPage();
        QPushButton *settings = page->findChild<QPushButton *>(QStringLiteral("SettingsButton"));
        QWidget *moreApps = page->findChild<QWidget *>(QStringLiteral("MoreAppsButton"));
        QVERIFY(settings);
        QVERIFY(moreApps);
        QCOMPARE(settings, page->settingsButton());
        QVERIFY(page->menuBar()->isAncestorOf(settings));
        QCOMPARE(settings->size(), QSize(32, 32));
        QVERIFY(settings->isFlat());

        // act: everything that shows a window again
        QList<bool> seen;
        auto look = [&] {
            Idle::settle();
            seen << settings->isVisible() << moreApps->isVisible();
        };
        look();
        page->hide();
        page->show();
        look();
        page->showMinimized();
        emit QMWidgets::App::instance()->dockClicked();
        look();
        QVERIFY(page->isVisible());
        page->resize(page->width() + 40, page->height() + 30);
        look();
        page->showNormal();
        look();

        // assert
        QVERIFY(!seen.contains(true));
        QVERIFY(settings->isHidden());
        QVERIFY(moreApps->isHidden());
    }

    void objectNamesTheStyleSheetSelectsOn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<int>("count");
        QTest::newRow("page") << "MainPage" << "MainPage" << 1;
        QTest::newRow("menu bar") << "MenuBar" << "QMWidgets::PromoMenuBar" << 1;
        QTest::newRow("drop area") << "DropArea" << "CreatorDropArea" << 1;
        QTest::newRow("settings") << "SettingsButton" << "QPushButton" << 1;
        QTest::newRow("more apps") << "MoreAppsButton" << "QPushButton" << 1;
        QTest::newRow("previews") << "MainSeparator" << "Preview" << 6;
        QTest::newRow("picture area") << "PreviewWidget" << "QScrollArea" << 1;
        QTest::newRow("save buttons") << "SaveButton" << "QPushButton" << 6;
        QTest::newRow("copy buttons") << "CopyButton" << "QPushButton" << 5;
        QTest::newRow("show buttons") << "ShowButton" << "QPushButton" << 5;
        QTest::newRow("overlay") << "MainWidgetBlender" << "QLabel" << 1;
    }

    void objectNamesTheStyleSheetSelectsOn()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(int, count);
        MainPage *page = programPage();

        QList<QWidget *> found = page->findChildren<QWidget *>(name);
        if (page->objectName() == name)
            found << page;

        QCOMPARE(found.size(), count);
        for (QWidget *w : found)
            QVERIFY2(w->inherits(className.toLatin1().constData()), w->metaObject()->className());
        QVERIFY2(qApp->styleSheet().contains(QLatin1Char('#') + name), qPrintable(name));
    }

    void openButtonUsesTheDialogButtonLook()
    {
        auto *area = programPage()->findChild<CreatorDropArea *>(QStringLiteral("DropArea"));
        auto *open = area->findChild<QPushButton *>(QStringLiteral("PushButton"));

        QVERIFY(open);
        QVERIFY(open->isVisible());
        QCOMPARE(open->height(), 32);
        QVERIFY(qApp->styleSheet().contains(QLatin1String("#PushButton")));
    }

    void showSettingsRunsTheDialogModallyAndDestroysIt_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("slot invoked") << false;
        QTest::newRow("hidden button clicked") << true;
    }

    void showSettingsRunsTheDialogModallyAndDestroysIt()
    {
        QFETCH(bool, byButton);
        // arrange
        MainPage *page = programPage();
        QPointer<QWidget> dialog;
        bool modal = false;
        QWidget *parent = nullptr;
        QStringList boxes;
        ModalAnswerer answerer([&](QWidget *shown) {
            dialog = shown;
            modal = QApplication::activeModalWidget() == shown && shown->isModal();
            parent = shown->parentWidget();
            for (QCheckBox *box : shown->findChildren<QCheckBox *>())
                boxes << box->text();
            ModalAnswerer::clickButtonWithText(shown, QStringLiteral("Cancel"));
        });
        answerer.setClassName("AppSettingsDialog");

        // act
        if (byButton)
            page->settingsButton()->click();
        else
            QVERIFY(QMetaObject::invokeMethod(page, "slotShowSettings"));
        Idle::settle();

        // assert: a modal settings dialog over the settings button, gone afterwards
        QVERIFY(answerer.answered());
        QVERIFY(modal);
        QCOMPARE(parent, static_cast<QWidget *>(page->settingsButton()));
        QCOMPARE(boxes.size(), 6);
        QVERIFY(dialog.isNull());
        QVERIFY(page->findChildren<AppSettingsDialog *>().isEmpty());
        QVERIFY(page->settingsButton()->isHidden());
    }

    void everyLoadBringsTwoRealPreviewsToThePicturePreview()
    {
        // arrange: the picture tab hidden behind the HTML tab
        const QString path = writePicture(m_dir, QStringLiteral("twice.png"), 20, 10);
        MainPage page;
        page.show();
        tabsOf(&page)->setCurrentIndex(HtmlTab);
        Idle::settle();
        ImagePreview *picture = pictureOf(&page);
        QLabel *sizeLabel = nullptr;
        for (QLabel *label : picture->findChildren<QLabel *>())
            if (label->text().startsWith(QLatin1String("Size: ")))
                sizeLabel = label;
        QVERIFY(sizeLabel);
        // After each request the picture preview has served, note its size
        // text and blank it, so the next request has to write it again.
        QStringList served;
        QObject::connect(page.creator(), &Creator::realPreview, sizeLabel, [&] {
            Idle::settle();
            served << sizeLabel->text();
            sizeLabel->setText(QStringLiteral("-"));
        });

        // act
        dropFile(&page, path);
        Idle::settle();

        // assert: two requests per load, each one answered with the encoded size
        QVERIFY(!picture->isVisible());
        const QString size = sizeOfHtmlPayload(&page);
        QVERIFY(!size.isEmpty() && size != QLatin1String("Size: 0 B"));
        QCOMPARE(served, QStringList({size, size}));
        QCOMPARE(picture->captionText(), QStringLiteral("<H2>20x10</H2>"));

        // and so for the next picture
        served.clear();
        const QString second = writePicture(m_dir, QStringLiteral("twice-2.png"), 7, 9);
        dropFile(&page, second);
        Idle::settle();
        const QString secondSize = sizeOfHtmlPayload(&page);
        QVERIFY(!secondSize.isEmpty() && secondSize != size);
        QCOMPARE(served, QStringList({secondSize, secondSize}));
    }

    void pictureSizeFollowsEveryValueChange_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("keys");  // "<n> left", "<n> right", or digits for the number box
        QTest::addColumn<QString>("caption");
        QTest::newRow("resize, arrow keys") << "Resize:" << "3 left" << "<H2>194x97</H2>";
        QTest::newRow("resize, 10 typed") << "Resize:" << "10" << "<H2>20x10</H2>";
        QTest::newRow("resize, 0 typed") << "Resize:" << "0" << "<H2>0x0</H2>";
        QTest::newRow("brightness, 40 typed") << "Brightness:" << "40" << "<H2>200x100</H2>";
        QTest::newRow("contrast, arrow keys") << "Contrast:" << "2 right" << "<H2>200x100</H2>";
    }

    void pictureSizeFollowsEveryValueChange()
    {
        QFETCH(QString, control);
        QFETCH(QString, keys);
        QFETCH(QString, caption);
        // arrange: a JPG picture on the picture tab, so the encoded picture
        // differs from the unencoded one
        const QString path = writePicture(m_dir, QStringLiteral("steps.png"), 200, 100);
        MainPage page;
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        dropFile(&page, path);
        auto *format = qobject_cast<QComboBox *>(formControl(&page, QStringLiteral("Format:")));
        format->setCurrentIndex(format->findText(QStringLiteral("JPG")));
        QVERIFY(Idle::settle());
        ImagePreview *picture = pictureOf(&page);
        QWidget *shown = picture->findChild<QScrollArea *>(QStringLiteral("PreviewWidget"))->widget();
        auto *slider = formControl(&page, control);
        QVERIFY(slider);

        // act: the value changed by keys on the slider, or typed into its number box
        if (keys.endsWith(QLatin1String("left")) || keys.endsWith(QLatin1String("right"))) {
            const Qt::Key key = keys.endsWith(QLatin1String("left")) ? Qt::Key_Left : Qt::Key_Right;
            for (int i = 0; i < keys.section(QLatin1Char(' '), 0, 0).toInt(); ++i)
                QTest::keyClick(slider->findChild<QSlider *>(), key);
        } else {
            QSpinBox *number = slider->findChild<QSpinBox *>();
            number->setFocus();
            number->selectAll();
            QTest::keyClicks(number, keys);
        }

        // assert: the size and the picture shown are those of the new value's
        // encoded bytes, as after a released slider
        const QByteArray jpg = EncodedImageCache::encode(picture->pixmap().toImage(), picture->formatSpec());
        const QString size = QStringLiteral("Size: ") + formatByteSize(jpg.size());
        const QImage decoded = QImage::fromData(jpg).convertToFormat(QImage::Format_RGB32);
        const auto shownPicture = [shown] {
            return shown->palette().brush(shown->backgroundRole()).texture().toImage().convertToFormat(
                QImage::Format_RGB32);
        };
        Idle::waitUntil([&] { return picture->sizeText() == size && shownPicture() == decoded; });
        QCOMPARE(picture->captionText(), caption);
        QCOMPARE(picture->formatSpec(), QStringLiteral("JPG;1"));
        QCOMPARE(picture->sizeText(), size);
        QCOMPARE(shownPicture(), decoded);
        QCOMPARE(shown->size(), decoded.size());
    }

    void heldKeyOnATextTabBringsOneEncoding_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QSize>("size");
        QTest::newRow("resize") << "Resize:" << QSize(194, 97);
        QTest::newRow("brightness") << "Brightness:" << QSize(200, 100);
    }

    void heldKeyOnATextTabBringsOneEncoding()
    {
        QFETCH(QString, control);
        QFETCH(QSize, size);
        // arrange: a picture, the HTML tab current
        const QString path = writePicture(m_dir, QStringLiteral("held.png"), 200, 100);
        MainPage page;
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        tabsOf(&page)->setCurrentIndex(HtmlTab);
        dropFile(&page, path);
        QVERIFY(Idle::settle());
        const QString sizeBefore = sizeOfHtmlPayload(&page);
        const std::shared_ptr<EncodedImageCache> cache = pictureOf(&page)->encodedImageCache();
        const int encodings = cache->encodeCount();
        QSlider *slider = formControl(&page, control)->findChild<QSlider *>();
        const Qt::Key key = control == QLatin1String("Resize:") ? Qt::Key_Left : Qt::Key_Right;

        // act: pressed, held past the platform's repeat delay (longer than any
        // wait before a text is encoded), repeated twice and let go
        QTest::keyPress(slider, key);
        QTest::qWait(700);
        for (int i = 0; i < 2; ++i) {
            QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(slider, &up);
            QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(slider, &down);
        }
        QTest::keyRelease(slider, key);
        QVERIFY(Idle::waitUntil([&] {
            const QString payload = sizeOfHtmlPayload(&page);
            return !payload.isEmpty() && payload != sizeBefore && !cache->isBusy();
        }));
        QVERIFY(Idle::settle());

        // assert: the settled value alone was encoded, and the text carries it
        QCOMPARE(cache->encodeCount(), encodings + 1);
        const QPixmap settled = pictureOf(&page)->pixmap();
        QCOMPARE(settled.size(), size);
        QCOMPARE(sizeOfHtmlPayload(&page),
                 QStringLiteral("Size: ") + formatByteSize(cache->bytes(settled, QStringLiteral("PNG")).size()));
    }

    void formatChangeUpdatesTheHiddenPictureCaption()
    {
        // arrange: a picture, then a smaller one made while the picture tab is hidden
        const QString path = writePicture(m_dir, QStringLiteral("caption.png"), 40, 30);
        MainPage page;
        page.show();
        Idle::settle();
        dropFile(&page, path);
        Idle::settle();
        ImagePreview *picture = pictureOf(&page);
        Idle::waitUntil([&] { return picture->captionText() == QLatin1String("<H2>40x30</H2>"); });
        QCOMPARE(picture->captionText(), QStringLiteral("<H2>40x30</H2>"));
        tabsOf(&page)->setCurrentIndex(XmlTab);
        Idle::settle();
        auto *resize = formControl(&page, QStringLiteral("Resize:"));
        QVERIFY(resize);
        resize->findChild<QSpinBox *>()->setValue(50);
        Idle::settle();
        const QString captionAfterResize = picture->captionText();

        // act: JPG chosen while the XML tab is current
        auto *format = qobject_cast<QComboBox *>(formControl(&page, QStringLiteral("Format:")));
        QVERIFY(format);
        format->setCurrentIndex(format->findText(QStringLiteral("JPG")));
        Idle::settle();

        // assert: the hidden picture preview's caption followed the resize at
        // once and keeps naming the current size
        QVERIFY(!picture->isVisible());
        QCOMPARE(captionAfterResize, QStringLiteral("<H2>20x15</H2>"));
        Idle::waitUntil([&] { return picture->captionText() == QLatin1String("<H2>20x15</H2>"); });
        QCOMPARE(picture->captionText(), QStringLiteral("<H2>20x15</H2>"));
        QCOMPARE(picture->formatSpec(), QStringLiteral("JPG;1"));
    }
};

namespace {
std::vector<char *> s_testArguments;
int s_testResult = 1;

// Runs the tests from main()'s event loop once it has started, then ends it.
void runTestsFromTheEventLoop(int)
{
    TestEnvironment::installUrlRecorder();
    QTimer::singleShot(0, [] {
        TestMainPage tc;
        s_testResult = QTest::qExec(&tc, int(s_testArguments.size()), s_testArguments.data());
        QCoreApplication::exit(0);
    });
}
} // namespace

int main(int argc, char *argv[])
{
    TestEnvironment::prepare();
    {
        // No rating reminder at quit and no update check at start.
        QSettings settings(QStringLiteral("Quillar"), QStringLiteral("Glyphcraft"));
        settings.setValue(QStringLiteral("Glyphcraft/AutoReminder"), false);
        settings.setValue(QStringLiteral("Glyphcraft/checkupdates"), false);
    }
    // The application takes its own options out of argv; the tests get theirs.
    s_testArguments.assign(argv, argv + argc);
    QMWidgets::App::addInitHook(runTestsFromTheEventLoop);
    const int loopResult = glyphcraftMain(argc, argv);
    return s_testResult != 0 ? s_testResult : loopResult;
}

#include "tst_mainpage.moc"
