#include "app.h"
#include "moreappsbutton.h"
#include "promomenubar.h"
#include "promotable.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>

using namespace QMWidgets;

// An application object that, like the program's own, keeps every promotion
// link a web link, and counts the more-apps requests.
class PromoTestApp : public App
{
public:
    PromoTestApp(int &argc, char **argv, QString organization, QString application)
        : App(argc, argv, organization, application) {}

    QString storeProductUrl(const QString &link) const override { return dropLinks ? QString() : link; }
    void slotShowMoreApps() override { ++moreAppsCalls; }

    bool dropLinks = false;
    int moreAppsCalls = 0;
};

namespace {

PromoTestApp *testApp()
{
    return static_cast<PromoTestApp *>(App::instance());
}

QStringList entryTexts(const PromoMenuBar &bar)
{
    QStringList texts;
    const QList<QAction *> actions = bar.promoActions();
    for (QAction *action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QStringList filled(const QString &category)
{
    PromoMenuBar bar;
    bar.fillPromoMenu(category);
    return entryTexts(bar);
}

QAction *entryStartingWith(const PromoMenuBar &bar, const QString &prefix)
{
    const QList<QAction *> actions = bar.promoActions();
    for (QAction *action : actions) {
        if (action->text().startsWith(prefix))
            return action;
    }
    return nullptr;
}

// Runs the test body under another application name.
struct ApplicationName
{
    explicit ApplicationName(const QString &name) { QCoreApplication::setApplicationName(name); }
    ~ApplicationName() { QCoreApplication::setApplicationName(QStringLiteral("Glyphcraft")); }
};

const QString kReachableApps = QStringLiteral("http://127.0.0.1:9/apps/");

} // namespace

class TestPromoMenu : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        UrlRecorder::instance()->clear();
        testApp()->dropLinks = false;
        testApp()->moreAppsCalls = 0;
        qunsetenv("GLYPH_SITE_APPS");
        qunsetenv("GLYPH_SITE_APPSTORE");
    }
    void cleanup()
    {
        qunsetenv("GLYPH_SITE_APPS");
        qunsetenv("GLYPH_SITE_APPSTORE");
    }

    void tableHasTheFixedShape()
    {
        const QVector<PromoTable::Row> &rows = PromoTable::rows();
        QCOMPARE(rows.size(), 42);

        QSet<QString> ids;
        int exact = 0, suffix = 0, substring = 0, ownQueryValue = 0;
        for (const PromoTable::Row &row : rows) {
            QVERIFY2(!ids.contains(row.id), qPrintable(row.id));
            ids.insert(row.id);
            QCOMPARE(row.id, row.id.toLower().remove(' '));
            QVERIFY(row.query.startsWith("?appname="));
            QVERIFY(row.icon.startsWith(":/") && row.icon.endsWith("64x64.png"));
            QVERIFY(!row.description.isEmpty());
            exact += row.match == PromoTable::Exact;
            suffix += row.match == PromoTable::Suffix;
            substring += row.match == PromoTable::Substring;
            ownQueryValue += row.query != "?appname=" + row.id;
        }
        QCOMPARE(exact, 28);
        QCOMPARE(suffix, 7);
        QCOMPARE(substring, 7);
        QCOMPARE(ownQueryValue, 9);

        const PromoTable::Row *self = PromoTable::find("glyphcraft", "other");
        QVERIFY(self);
        QCOMPARE(self->icon, QStringLiteral(":/Glyphcraft64x64.png"));
        QCOMPARE(self->query, QStringLiteral("?appname=glyphcraft"));
        for (const QString &audio : PromoTable::audioIds())
            QVERIFY(!ids.contains(audio));
    }

    void runningNameDropsLiteAndBlanks_data()
    {
        QTest::addColumn<QString>("applicationName");
        QTest::addColumn<QString>("runningName");
        QTest::newRow("plain") << "Glyphcraft" << "glyphcraft";
        QTest::newRow("lite") << "Glyphcraft Lite" << "glyphcraft";
        QTest::newRow("inner lite and blanks") << "Tint LITE Well " << "tintwell";
    }
    void runningNameDropsLiteAndBlanks()
    {
        QFETCH(QString, applicationName);
        QFETCH(QString, runningName);
        QCOMPARE(PromoTable::runningName(applicationName), runningName);
    }

    void rowsMatchAndExclude_data()
    {
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("running");
        QTest::addColumn<QString>("found"); // "" for none
        QTest::newRow("exact") << "rulerbee" << "glyphcraft" << "rulerbee";
        QTest::newRow("exact, not a prefix") << "rulerbeepro" << "glyphcraft" << "";
        QTest::newRow("never itself") << "glyphcraft" << "glyphcraft" << "";
        QTest::newRow("unknown id") << "nothing" << "glyphcraft" << "";
        QTest::newRow("audio id") << PromoTable::audioIds().first() << "glyphcraft" << "";
        QTest::newRow("case-sensitive") << "RulerBee" << "glyphcraft" << "";
        QTest::newRow("chord finder elsewhere") << "guitarchordatlas" << "glyphcraft" << "guitarchordatlas";
        QTest::newRow("chord finder in general finder") << "guitarchordatlas" << "chordatlas" << "";
        QTest::newRow("note finder in general finder") << "bassnotecompass" << "notecompass" << "";
        QTest::newRow("note finder in base variant") << "bassnotecompass" << "notecompassbase" << "";
        QTest::newRow("general note finder in base variant") << "notecompass" << "notecompassbase" << "";
        QTest::newRow("general note finder elsewhere") << "notecompass" << "glyphcraft" << "notecompass";
        QTest::newRow("suffix") << "learnpianochordtutor" << "glyphcraft" << "pianochordtutor";
        QTest::newRow("suffix, not a prefix") << "pianochordtutorpro" << "glyphcraft" << "";
        QTest::newRow("suffix in own variant") << "pianochordtutor" << "mypianochordtutor" << "";
        QTest::newRow("suffix in general learner") << "pianochordtutor" << "chordtutor" << "";
        QTest::newRow("substring") << "myviolintuneuppro" << "glyphcraft" << "violintuneup";
        QTest::newRow("substring in own variant") << "violintuneup" << "violintuneupfree" << "";
        QTest::newRow("excluded row passes to the next")
            << "guitartuneupbasstuneup" << "guitartuneup" << "basstuneup";
    }
    void rowsMatchAndExclude()
    {
        QFETCH(QString, requested);
        QFETCH(QString, running);
        QFETCH(QString, found);
        const PromoTable::Row *row = PromoTable::find(requested, running);
        QCOMPARE(row ? row->id : QString(), found);
    }

    void photoMenuListsProductsInOrder()
    {
        // act
        const QStringList texts = filled("photo");

        // assert: the program never offers itself
        const QStringList expected{
            "Pixel Ferry - Resize && convert photos in batches",
            "Lumen Patch - Touch up your photos in seconds",
            "Frame Fold - Lay out photo collages",
            "-",
            "Snip Harbor - The screen capture tool for " + PromoTable::platformName(),
            "Ruler Bee - Measure anything on your screen",
            "Tint Well - Pick && keep colours from the screen",
            "Icon Kiln - Make icons from any picture",
            "Note Pin - Write notes on your pictures",
            "-",
            "-",
            "Chord Atlas - Chords for every instrument",
            "Chord Tutor - Learn chords step by step",
            "Tuner Chest - A tuner for every instrument",
            "Note Compass - Find every note on any instrument",
            "Alarm Owl - An alarm clock for your desktop",
            "-",
            "-",
            "-",
            "More Apps",
            "-"};
        QCOMPARE(texts, expected);
    }

    void photoMenuLeavesPhotoToolsOutInTheBatchProcessor()
    {
        ApplicationName name("PixelFerry Lite");
        const QStringList texts = filled("photo");
        QCOMPARE(texts.first(), QStringLiteral("Glyphcraft - Turn pictures into web page text"));
        QVERIFY(!texts.join('|').contains("Lumen Patch"));
        QVERIFY(!texts.join('|').contains("Pixel Ferry"));
    }

    void noCategoryOffersTheRunningApplication_data()
    {
        QTest::addColumn<QString>("category");
        for (const char *category : {"", "graphics", "photo", "developer", "audio", "music", "guitar",
                                     "bass", "ukulele", "mandolin", "banjo", "balalaika", "piano", "violin"})
            QTest::newRow(*category ? category : "empty") << QString(category);
    }
    void noCategoryOffersTheRunningApplication()
    {
        QFETCH(QString, category);
        const QStringList texts = filled(category);
        QVERIFY(texts.size() > 4);
        QVERIFY(texts.filter("Glyphcraft").isEmpty());
        QCOMPARE(texts.mid(texts.size() - 4), QStringList({"-", "-", "More Apps", "-"}));
    }

    void unknownCategoryLeavesOnlyTheClosingItem()
    {
        QCOMPARE(filled("Photo"), QStringList({"-", "-", "More Apps", "-"}));
    }

    void violinIsOfferedThePianoFamily()
    {
        QCOMPARE(filled("violin"), filled("piano"));
        QVERIFY(filled("piano").first().startsWith("Piano Chord Tutor"));
    }

    void emptyCategoryFollowsTheApplicationsInstrument()
    {
        // A bass tuner: its own tuner row is excluded, its family comes first.
        ApplicationName name("Bass Tune Up");
        const QStringList texts = filled(QString());
        QVERIFY(texts.filter("Bass Tune Up").isEmpty());
        QVERIFY(texts.first().startsWith("Bass Chord Tutor"));
        QVERIFY(texts.contains("Glyphcraft - Turn pictures into web page text"));
    }

    void generalChordFinderGetsNoInstrumentChordFinders()
    {
        ApplicationName name("Chord Atlas");
        QVERIFY(filled("music").filter(QRegularExpression("^\\w+ Chord Atlas")).isEmpty());
        QVERIFY(filled("guitar").filter(QRegularExpression("^\\w+ Chord Atlas")).isEmpty());
    }

    void audioCategoryLeavesThePlayerOutOfItself()
    {
        QVERIFY(PromoTable::categoryIds("audio", "Glyphcraft").contains("humbox"));
        QVERIFY(!PromoTable::categoryIds("audio", "My HumBox Player").contains("humbox"));
        QVERIFY(PromoTable::categoryIds("audio", "My Humbox Player").contains("humbox"));
    }

    void fillingTwiceAppendsTwice()
    {
        PromoMenuBar bar;
        bar.fillPromoMenu("photo");
        const QStringList once = entryTexts(bar);
        bar.fillPromoMenu("photo");
        QCOMPARE(entryTexts(bar), once + once);
    }

    void entryOpensItsPage()
    {
        // arrange
        qputenv("GLYPH_SITE_APPS", kReachableApps.toLatin1());
        PromoMenuBar bar;
        bar.fillPromoMenu("guitar");
        QAction *patch = entryStartingWith(bar, "Lumen Patch");
        QAction *tuner = entryStartingWith(bar, "Guitar Tune Up");
        QVERIFY(patch && tuner);
        QCOMPARE(patch->parent(), &bar);

        // act
        patch->trigger();
        tuner->trigger();

        // assert
        QCOMPARE(UrlRecorder::instance()->urls(),
                 QList<QUrl>({QUrl(kReachableApps + "crosspromo.php?appname=lumenpatch"),
                              QUrl(kReachableApps + "crosspromo.php?appname=120guitartuneup")}));
        QCOMPARE(testApp()->moreAppsCalls, 0);
    }

    void placeholderPagesAreNotOpened()
    {
        PromoMenuBar bar;
        bar.fillPromoMenu("photo");
        QAction *ferry = entryStartingWith(bar, "Pixel Ferry");
        QVERIFY(ferry);
        ferry->trigger();
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    }

    void moreAppsItemCallsTheApplicationObject()
    {
        PromoMenuBar bar;
        bar.fillPromoMenu("photo");
        QAction *more = entryStartingWith(bar, "More Apps");
        QVERIFY(more);
        more->trigger();
        QCOMPARE(testApp()->moreAppsCalls, 1);
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    }

    void emptyStoreLinkAddsNoEntry()
    {
        testApp()->dropLinks = true;
        PromoMenuBar bar;
        bar.addPromoApp("rulerbee");
        bar.addApp(QPixmap(), "Anything", "http://127.0.0.1:9/x");
        QVERIFY(bar.promoActions().isEmpty());
    }

    void appStoreEntriesLowerCaseTheName()
    {
        // arrange
        qputenv("GLYPH_SITE_APPSTORE", "http://127.0.0.1:9/app/");
        PromoMenuBar bar;
        MoreAppsButton button;

        // act
        bar.addAppStoreApp(QPixmap(), "Store", "Ruler Bee", "id42X");
        button.addAppStoreApp(QPixmap(), "Store", "Ruler Bee", "id42X");
        bar.promoActions().first()->trigger();
        button.appsMenu()->actions().first()->trigger();

        // assert
        const QUrl expected("http://127.0.0.1:9/app/ruler bee/id42X?ls=1&mt=12", QUrl::TolerantMode);
        QCOMPARE(UrlRecorder::instance()->urls(), QList<QUrl>({expected, expected}));
    }

    void moreAppsButtonOpensItsEntries()
    {
        // arrange
        MoreAppsButton button;
        QAction *own = new QAction("own", &button);
        button.addApp(QPixmap(), "First", "http://127.0.0.1:9/first");
        button.addSeparator();
        button.addApp(QPixmap(), "Second", "http://127.0.0.1:9/second");
        button.addAction(own);

        // act
        button.appsMenu()->actions().at(2)->trigger();

        // assert
        QCOMPARE(button.menu(), button.appsMenu());
        QCOMPARE(button.appsMenu()->actions().size(), 4);
        QVERIFY(button.appsMenu()->actions().at(1)->isSeparator());
        QCOMPARE(button.appsMenu()->actions().at(3), own);
        QCOMPARE(UrlRecorder::instance()->urls(), QList<QUrl>({QUrl("http://127.0.0.1:9/second")}));
    }
};

GLYPH_APP_TEST_MAIN(TestPromoMenu, PromoTestApp)

#include "tst_promomenu.moc"
