#include "app.h"
#include "fifowatch.h"
#include "helpdialog.h"
#include "helpdisplay.h"
#include "helpviewarea.h"
#include "idle.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QTimer>

#include <sys/stat.h>

using namespace QMWidgets;

namespace {

QList<QAbstractButton *> slideButtons(QWidget *area)
{
    return area->findChildren<QAbstractButton *>(QStringLiteral("HelpSlideButton"));
}

QPushButton *buttonWithText(QWidget *dialog, const QString &text)
{
    for (QPushButton *b : dialog->findChildren<QPushButton *>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

QString writeSlide(const QString &name, const QColor &colour, const QSize &size)
{
    const QString path = TestEnvironment::homePath() + QLatin1Char('/') + name;
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path, "PNG") ? path : QString();
}

bool near(QRgb pixel, const QColor &colour)
{
    return qAbs(qRed(pixel) - colour.red()) <= 3 && qAbs(qGreen(pixel) - colour.green()) <= 3
           && qAbs(qBlue(pixel) - colour.blue()) <= 3;
}

} // namespace

class TestIntroDialog : public QObject
{
    Q_OBJECT

private:
    QStringList m_slides;

private slots:
    void initTestCase()
    {
        m_slides << writeSlide(QStringLiteral("one.png"), Qt::red, QSize(40, 30))
                 << writeSlide(QStringLiteral("two.png"), Qt::green, QSize(40, 30))
                 << writeSlide(QStringLiteral("three.png"), Qt::blue, QSize(40, 30));
        for (const QString &s : m_slides)
            QVERIFY(!s.isEmpty());
        // A support page the link helper will open (the default is a placeholder it refuses).
        qputenv("GLYPH_SITE_INTERNATIONAL", "https://www.maker.example/");
    }

    void cleanup()
    {
        UrlRecorder::instance()->clear();
        App::instance()->setValue(QStringLiteral("NeverShowItAgain"), false);
        App::instance()->setWebLinksDisabled(false);
    }

    void slideShowRunsInOrderWhileShown()
    {
        // arrange
        HelpDialog dialog;
        for (const QString &s : m_slides)
            dialog.addSlide(s);
        HelpViewArea *area = dialog.viewArea();
        HelpDisplay *display = area->display();
        const QList<QAbstractButton *> buttons = slideButtons(area);
        QCOMPARE(buttons.size(), 3);
        QCOMPARE(buttons.at(0)->text(), QStringLiteral("1"));
        QCOMPARE(buttons.at(2)->text(), QStringLiteral("3"));
        QVERIFY(display->image().isEmpty());
        // act: showing starts the show on the first slide
        dialog.show();
        // assert
        QCOMPARE(display->image(), m_slides.at(0));
        QVERIFY(area->slideTimer()->isActive());
        QCOMPARE(area->slideTimer()->interval(), 5000);
        QVERIFY(!area->slideTimer()->isSingleShot());

        const int expected[] = {1, 2, 0, 1};
        for (int index : expected) {
            area->slotShowNextSlide();
            QCOMPARE(display->image(), m_slides.at(index));
            QVERIFY(buttons.at(index)->isChecked());
        }

        // the timer drives the same advance
        area->slideTimer()->setInterval(10);
        area->slideTimer()->start();
        QVERIFY(Idle::waitUntil([&] { return display->image() == m_slides.at(2); }, 2000));

        dialog.hide();
        QVERIFY(!area->slideTimer()->isActive());

        // showing again resumes from the checked slide
        dialog.show();
        QCOMPARE(display->image(), m_slides.at(2));
        QVERIFY(area->slideTimer()->isActive());
    }

    void clickingASlideButtonShowsItAndStopsTheShow()
    {
        HelpDialog dialog;
        for (const QString &s : m_slides)
            dialog.addSlide(s);
        dialog.show();
        HelpViewArea *area = dialog.viewArea();

        slideButtons(area).at(1)->click();

        QCOMPARE(area->display()->image(), m_slides.at(1));
        QVERIFY(!area->slideTimer()->isActive());

        // a slide added later gets the next number; the same path may come twice
        dialog.addSlide(m_slides.at(1));
        const QList<QAbstractButton *> buttons = slideButtons(area);
        QCOMPARE(buttons.size(), 4);
        QCOMPARE(buttons.at(3)->text(), QStringLiteral("4"));
        buttons.at(3)->click();
        QCOMPARE(area->display()->image(), m_slides.at(1));
        QVERIFY(buttons.at(3)->isChecked() && !buttons.at(1)->isChecked());
    }

    // Each row: the slide (empty: none) and points with the colour expected there.
    void displayPaintsSlideCentredOnBlack_data()
    {
        QTest::addColumn<QString>("slide");
        QTest::addColumn<QList<QPoint>>("blackPoints");
        QTest::addColumn<QList<QPoint>>("slidePoints");

        // 200 x 100 display, 40 x 30 slide: scaled to 133 x 100, from x 33 to 166.
        QTest::newRow("unloadable slide") << QStringLiteral("/no/such/slide.jpg")
                                          << QList<QPoint>{{100, 50}, {5, 5}, {195, 95}} << QList<QPoint>();
        QTest::newRow("slide fits height") << QStringLiteral("one.png") << QList<QPoint>{{10, 50}, {190, 50}}
                                           << QList<QPoint>{{100, 50}, {40, 5}, {160, 95}};
    }

    void displayPaintsSlideCentredOnBlack()
    {
        QFETCH(QString, slide);
        QFETCH(QList<QPoint>, blackPoints);
        QFETCH(QList<QPoint>, slidePoints);
        if (!slide.startsWith(QLatin1Char('/')))
            slide = TestEnvironment::homePath() + QLatin1Char('/') + slide;
        HelpDisplay display;
        display.resize(200, 100);

        display.setImage(slide);
        const QImage image = display.grab().toImage();

        for (const QPoint &p : blackPoints)
            QVERIFY2(near(image.pixel(p), Qt::black), qPrintable(QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y())));
        for (const QPoint &p : slidePoints)
            QVERIFY2(near(image.pixel(p), Qt::red), qPrintable(QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y())));
    }

    void displayNeverOpensAPipeAsSlide()
    {
        const QString path = TestEnvironment::homePath() + QStringLiteral("/slide-pipe.png");
        QFile::remove(path);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        FifoWatch watch(path);
        HelpDisplay display;
        display.resize(200, 100);

        display.setImage(path);
        const QImage image = display.grab().toImage();
        watch.stop();

        QVERIFY2(!watch.readerSeen(), "the FIFO was opened");
        QVERIFY(near(image.pixel(100, 50), Qt::black));
        QFile::remove(path);
    }

    void displayWithoutSlideIsNotBlack()
    {
        HelpDisplay display;
        display.resize(200, 100);
        const QImage image = display.grab().toImage();
        QVERIFY(!near(image.pixel(100, 50), Qt::black));
    }

    void skipIntroStoresChoiceAndHidesButton()
    {
        HelpDialog dialog;
        dialog.show();
        QPushButton *skip = buttonWithText(&dialog, QStringLiteral("&Always skip intro"));
        QVERIFY(skip && skip->isVisible());
        QVERIFY(HelpDialog::shouldShow());

        skip->click();

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QVERIFY(!HelpDialog::shouldShow());
        dialog.show();
        QVERIFY(skip->isHidden());
    }

    void videoButtonNeedsAddressAndWebLinks_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("linksDisabled");
        QTest::addColumn<bool>("visible");
        QTest::newRow("address") << "https://vid.example/abc" << false << true;
        QTest::newRow("no address") << "" << false << false;
        QTest::newRow("links disabled") << "https://vid.example/abc" << true << false;
    }

    void videoButtonNeedsAddressAndWebLinks()
    {
        QFETCH(QString, address);
        QFETCH(bool, linksDisabled);
        QFETCH(bool, visible);
        App::instance()->setWebLinksDisabled(linksDisabled);
        HelpDialog dialog;
        dialog.setVideoUrl(address);
        dialog.show();
        QPushButton *video = dialog.findChild<QPushButton *>(QStringLiteral("VideoButton"));
        QVERIFY(video);
        QCOMPARE(video->isVisible(), visible);

        dialog.slotWatchVideo();

        QCOMPARE(UrlRecorder::instance()->urls().size(), visible ? 1 : 0);
    }

    // When the video site cannot be opened, the same video is tried on the
    // maker's page for the language, then the support page. The link helper
    // refuses ".invalid" hosts, which stands for a failed opening here.
    void videoFallsBackToMakerPageThenSupportPage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QByteArray>("hostPattern");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("opened");
        const QByteArray reachable = "http://www.maker.%1.example";
        QTest::newRow("short link, en") << "en" << reachable << "https://videos.invalid/abc"
                                        << "http://www.maker.org.example/video.php?view=abc";
        QTest::newRow("watch page, de") << "de" << reachable << "https://www.videos.invalid/watch?v=xyz"
                                        << "http://www.maker.de.example/video.php?view=xyz";
        QTest::newRow("short link, pt") << "pt" << reachable << "https://videos.invalid/q1"
                                        << "http://www.maker.org.example/video.php?view=q1";
        QTest::newRow("unknown video site") << "en" << reachable << "https://other.invalid/v/1"
                                            << "https://www.maker.example/";
        QTest::newRow("maker page unreachable") << "fr" << QByteArray("http://www.maker.%1.invalid")
                                                << "https://videos.invalid/abc" << "https://www.maker.example/";
    }

    void videoFallsBackToMakerPageThenSupportPage()
    {
        QFETCH(QString, language);
        QFETCH(QByteArray, hostPattern);
        QFETCH(QString, address);
        QFETCH(QString, opened);
        const QString previous = App::instance()->language();
        App::instance()->setLanguage(language);
        qputenv("GLYPH_SITE_VIDEO_HOST", hostPattern);
        HelpDialog dialog;
        dialog.setVideoUrl(address);

        dialog.slotWatchVideo();

        App::instance()->setLanguage(previous);
        QCOMPARE(UrlRecorder::instance()->urls(), QList<QUrl>{QUrl(opened)});
    }
};

GLYPH_APP_TEST_MAIN(TestIntroDialog, QMWidgets::App)
#include "tst_introdialog.moc"
