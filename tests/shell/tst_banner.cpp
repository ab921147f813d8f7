#include "app.h"
#include "idle.h"
#include "promoadsbar.h"
#include "promomainpage.h"
#include "promomenubar.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QAction>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>

using namespace QMWidgets;

// An application object that keeps every promotion link a web link, so the
// entries open their pages through the menu bar as in the program.
class BannerTestApp : public App
{
public:
    BannerTestApp(int &argc, char **argv, QString organization, QString application)
        : App(argc, argv, organization, application) {}

    QString storeProductUrl(const QString &link) const override { return link; }
};

namespace {

QString entryUrl(int index)
{
    return QStringLiteral("http://127.0.0.1:9/app%1").arg(index);
}

// Fills the bar from a pattern: "a" an entry with text, "-" a separator.
// Entries are titled "App <index>" and open entryUrl(index).
void fill(PromoMenuBar *bar, const QString &pattern)
{
    for (int i = 0; i < pattern.size(); ++i) {
        if (pattern.at(i) == QLatin1Char('-'))
            bar->addSeparator();
        else
            bar->addApp(QPixmap(), QStringLiteral("App %1").arg(i), entryUrl(i));
    }
}

// The texts a number of draws come up with.
QSet<QString> drawnTexts(PromoAdsBar &banner, int draws)
{
    QSet<QString> texts;
    for (int i = 0; i < draws; ++i) {
        banner.slotInsertAd();
        texts.insert(banner.currentAd() ? banner.currentAd()->text() : QStringLiteral("<none>"));
    }
    return texts;
}

QSet<QString> titles(const QList<int> &indexes)
{
    QSet<QString> texts;
    for (int index : indexes)
        texts.insert(QStringLiteral("App %1").arg(index));
    return texts;
}

class CountingPage : public PromoMainPage
{
public:
    int adClicks = 0;
    void slotAdClicked() override { ++adClicks; }
};

} // namespace

class TestBanner : public QObject
{
    Q_OBJECT

private slots:
    void init() { UrlRecorder::instance()->clear(); }

    void drawKeepsToTheFirstEntries_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("maxAds");
        QTest::addColumn<QList<int>>("drawable");

        // 15 entries and the closing separator.
        const QString fifteen = QStringLiteral("aaaaaaaaaaaaaaa-");
        QTest::newRow("default limit of ten") << fifteen << 10 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        QTest::newRow("limit of three") << fifteen << 3 << QList<int>{0, 1, 2};
        QTest::newRow("separators count towards the limit")
            << QStringLiteral("a-a-aaaa-") << 4 << QList<int>{0, 2};
        QTest::newRow("no limit: all but the last")
            << QStringLiteral("aaaaa") << 0 << QList<int>{0, 1, 2, 3};
        QTest::newRow("negative limit: all but the last")
            << QStringLiteral("a-aa") << -1 << QList<int>{0, 2};
        QTest::newRow("limit beyond the menu") << QStringLiteral("aaa") << 50 << QList<int>{0, 1};
    }

    void drawKeepsToTheFirstEntries()
    {
        // arrange
        QFETCH(QString, pattern);
        QFETCH(int, maxAds);
        QFETCH(QList<int>, drawable);
        PromoMenuBar bar;
        fill(&bar, pattern);
        PromoAdsBar banner(nullptr, &bar);
        banner.setMaxAds(maxAds);

        // act
        const QSet<QString> seen = drawnTexts(banner, 300);

        // assert: every drawable entry shows up, nothing else does
        QCOMPARE(seen, titles(drawable));
    }

    void drawWithoutEntriesLeavesBannerEmpty_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("maxAds");

        QTest::newRow("empty menu") << QString() << 10;
        QTest::newRow("a single entry") << QStringLiteral("a") << 10;
        QTest::newRow("separators only") << QStringLiteral("----") << 10;
        QTest::newRow("separators within the limit") << QStringLiteral("--aa-") << 2;
    }

    void drawWithoutEntriesLeavesBannerEmpty()
    {
        // arrange
        QFETCH(QString, pattern);
        QFETCH(int, maxAds);
        PromoMenuBar bar;
        fill(&bar, pattern);
        PromoAdsBar banner(nullptr, &bar);
        banner.setMaxAds(maxAds);
        banner.resize(400, 40);
        QSignalSpy clicked(&banner, SIGNAL(adClicked()));

        // act: show (draws), paint, draw again, click
        banner.show();
        banner.grab();
        banner.slotInsertAd();
        QTest::mouseClick(&banner, Qt::LeftButton, Qt::NoModifier, QPoint(100, 20));

        // assert
        QVERIFY(!banner.currentAd());
        QCOMPARE(clicked.count(), 1);
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    }

    void drawThatFindsNothingDropsTheShownEntry()
    {
        // arrange: an entry is shown, then the limit leaves only a separator
        PromoMenuBar bar;
        fill(&bar, QStringLiteral("-aa-"));
        PromoAdsBar banner(nullptr, &bar);
        banner.slotInsertAd();
        QVERIFY(banner.currentAd());

        // act
        banner.setMaxAds(1);
        banner.slotInsertAd();

        // assert
        QVERIFY(!banner.currentAd());
    }

    void destroyedEntryIsForgotten()
    {
        // arrange
        PromoMenuBar bar;
        fill(&bar, QStringLiteral("a-"));
        PromoAdsBar banner(nullptr, &bar);
        banner.resize(400, 40);
        banner.show();
        QVERIFY(banner.currentAd());

        // act
        delete banner.currentAd();
        banner.grab();
        QTest::mouseClick(&banner, Qt::LeftButton, Qt::NoModifier, QPoint(100, 20));

        // assert
        QVERIFY(!banner.currentAd());
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    }

    void clickOpensTheShownEntryOnce_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("hideOnClick");

        QTest::newRow("left button") << int(Qt::LeftButton) << false;
        QTest::newRow("right button, hide on click") << int(Qt::RightButton) << true;
    }

    void clickOpensTheShownEntryOnce()
    {
        // arrange
        QFETCH(int, button);
        QFETCH(bool, hideOnClick);
        CountingPage page;
        fill(page.menuBar(), QStringLiteral("aaa-"));
        PromoAdsBar *banner = page.adsBar();
        QCOMPARE(page.adsBar(), banner);
        QCOMPARE(banner->parentWidget(), &page);
        banner->setHideOnClick(hideOnClick);
        banner->setGeometry(0, 0, 400, 40);
        page.resize(400, 40);
        page.show();
        QAction *shown = banner->currentAd();
        QVERIFY(shown);
        const int index = shown->text().mid(4).toInt();

        // act
        QTest::mouseClick(banner, Qt::MouseButton(button), Qt::NoModifier, QPoint(100, 20));

        // assert
        QCOMPARE(UrlRecorder::instance()->urls(), QList<QUrl>{QUrl(entryUrl(index))});
        QCOMPARE(page.adClicks, 1);
        QCOMPARE(banner->isHidden(), hideOnClick);
    }

    void closeButtonDoesNotOpenTheEntry_data()
    {
        QTest::addColumn<bool>("hideOnClose");
        QTest::newRow("stays") << false;
        QTest::newRow("hides") << true;
    }

    void closeButtonDoesNotOpenTheEntry()
    {
        // arrange
        QFETCH(bool, hideOnClose);
        PromoMenuBar bar;
        fill(&bar, QStringLiteral("aa-"));
        PromoAdsBar banner(nullptr, &bar);
        banner.setHideOnClose(hideOnClose);
        banner.resize(400, 40);
        banner.show();
        QSignalSpy closed(&banner, SIGNAL(closeClicked()));
        QSignalSpy clicked(&banner, SIGNAL(adClicked()));
        QPushButton *close = banner.findChild<QPushButton *>(QStringLiteral("AdsBarCloseButton"));
        QVERIFY(close);

        // act
        QTest::mouseClick(close, Qt::LeftButton);

        // assert
        QCOMPARE(closed.count(), 1);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
        QCOMPARE(banner.isHidden(), hideOnClose);
    }

    void timerRotatesTheEntryWhileShown()
    {
        // arrange
        PromoMenuBar bar;
        fill(&bar, QStringLiteral("aaaaaa-"));
        PromoAdsBar banner(nullptr, &bar);
        banner.setInterval(10);
        banner.show();
        QAction *first = banner.currentAd();
        QVERIFY(first);

        // act, assert
        QVERIFY(Idle::waitUntil([&] { return banner.currentAd() != first; }, 3000));
    }
};

GLYPH_APP_TEST_MAIN(TestBanner, BannerTestApp)

#include "tst_banner.moc"
