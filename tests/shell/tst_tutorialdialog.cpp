#include "app.h"
#include "linkdialog.h"
#include "modalanswerer.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QCheckBox>

#include <functional>

using QMWidgets::App;
using QMWidgets::LinkDialog;

namespace {

const QString TutorialSite = QStringLiteral("https://tutorials.example.org/");
const QString WantedKey = QStringLiteral("ShowTutoralDialog");

ModalAnswerer *answer(const std::function<void(LinkDialog *)> &action, QObject *parent)
{
    auto *answerer = new ModalAnswerer([action](QWidget *w) { action(qobject_cast<LinkDialog *>(w)); },
                                       3000, parent);
    answerer->setClassName("QMWidgets::LinkDialog");
    return answerer;
}

} // namespace

class TestTutorialDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("GLYPH_SITE_TUTORIAL", TutorialSite.toUtf8());
    }

    void init()
    {
        UrlRecorder::instance()->clear();
        App::instance()->setLanguage(QStringLiteral("en"));
    }

    void freshStoreWantsTheOfferAndBoxStartsUnchecked()
    {
        QVERIFY(LinkDialog::isWanted());
        LinkDialog dialog;
        QVERIFY(!dialog.rememberBox()->isChecked());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Glyphcraft Information"));
    }

    void yesOpensTutorialInUsersLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("page");
        QTest::newRow("en") << "en" << TutorialSite + "tutorial/tutorial.htm";
        QTest::newRow("contains en") << "en_GB" << TutorialSite + "tutorial/tutorial.htm";
        QTest::newRow("de") << "de" << TutorialSite + "de/tutorial/tutorial.htm";
        QTest::newRow("ru") << "ru" << TutorialSite + "ru/tutorial/tutorial.htm";
    }
    void yesOpensTutorialInUsersLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, page);
        // arrange
        App::instance()->setLanguage(language);
        LinkDialog dialog;
        ModalAnswerer *answerer = answer([](LinkDialog *d) { ModalAnswerer::clickButtonWithText(d, "&Yes"); }, this);
        // act
        const int result = dialog.exec();
        // assert
        QVERIFY(answerer->answered());
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(UrlRecorder::instance()->urls(), QList<QUrl>{QUrl(page)});
        delete answerer;
    }

    void noOpensNothing()
    {
        LinkDialog dialog;
        ModalAnswerer *answerer = answer([](LinkDialog *d) { ModalAnswerer::clickButtonWithText(d, "&No"); }, this);
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(answerer->answered());
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
        delete answerer;
    }

    void rememberBoxStoresItsLastState_data()
    {
        QTest::addColumn<QList<bool>>("clicks");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("wanted");
        QTest::newRow("checked, then no") << QList<bool>{true} << "&No" << false;
        QTest::newRow("checked, then yes") << QList<bool>{true} << "&Yes" << false;
        QTest::newRow("checked and unchecked") << QList<bool>{true, false} << "&No" << true;
        QTest::newRow("untouched") << QList<bool>{} << "&No" << true;
    }
    void rememberBoxStoresItsLastState()
    {
        QFETCH(QList<bool>, clicks);
        QFETCH(QString, button);
        QFETCH(bool, wanted);
        // arrange
        App::instance()->setValue(WantedKey, true);
        LinkDialog dialog;
        ModalAnswerer *answerer = answer([clicks, button](LinkDialog *d) {
            for (bool checked : clicks)
                d->rememberBox()->setChecked(checked);
            ModalAnswerer::clickButtonWithText(d, button);
        }, this);
        // act
        dialog.exec();
        // assert
        QVERIFY(answerer->answered());
        QCOMPARE(App::instance()->value(WantedKey, true).toBool(), wanted);
        QCOMPARE(LinkDialog::isWanted(), wanted);
        delete answerer;
    }

    void offerShownUntilNeverAskAgain()
    {
        // arrange
        App::instance()->setValue(WantedKey, true);
        ModalAnswerer *first = answer([](LinkDialog *d) {
            d->rememberBox()->setChecked(true);
            ModalAnswerer::clickButtonWithText(d, "&No");
        }, this);
        // act / assert: offered while wanted
        QVERIFY(LinkDialog::offerIfWanted());
        QVERIFY(first->answered());
        delete first;
        // never again once declined for good
        ModalAnswerer *second = answer([](LinkDialog *d) { d->reject(); }, this);
        QVERIFY(!LinkDialog::offerIfWanted());
        QTest::qWait(100);
        QVERIFY(!second->answered());
        delete second;
        // a new dialog shows the stored choice
        LinkDialog dialog;
        QVERIFY(dialog.rememberBox()->isChecked());
    }
};

GLYPH_APP_TEST_MAIN(TestTutorialDialog, QMWidgets::App)
#include "tst_tutorialdialog.moc"
