#include "app.h"
#include "licensedialog.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTextEdit>

using QMWidgets::App;
using QMWidgets::LicenseDialog;

namespace {

const QString ConsentKey = QStringLiteral("Glyphcraft/License");

void setConsent(const QVariant &value)
{
    App::instance()->setValue(ConsentKey, value);
}

ModalAnswerer *newAnswerer(const QString &buttonText, QObject *parent)
{
    auto *answerer = new ModalAnswerer(
        [buttonText](QWidget *w) {
            if (buttonText == "Escape") {
                QApplication::setActiveWindow(w);
                QTest::keyClick(w, Qt::Key_Escape);
            } else {
                ModalAnswerer::clickButtonWithText(w, buttonText);
            }
        },
        3000, parent);
    answerer->setClassName("QMWidgets::LicenseDialog");
    return answerer;
}

} // namespace

class TestAgreementDialog : public QObject
{
    Q_OBJECT

private slots:
    void freshStoreHasNoConsent()
    {
        QVERIFY(!LicenseDialog::isAccepted());
    }

    void answerDecidesResultAndStoredConsent_data()
    {
        QTest::addColumn<bool>("before");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("after");
        QTest::newRow("agree") << false << "&Agree" << 1 << true;
        QTest::newRow("disagree") << false << "&Disagree" << 0 << false;
        QTest::newRow("escape") << false << "Escape" << 0 << false;
        // An earlier consent is not withdrawn by declining now.
        QTest::newRow("disagree keeps earlier consent") << true << "&Disagree" << 0 << true;
        QTest::newRow("escape keeps earlier consent") << true << "Escape" << 0 << true;
    }
    void answerDecidesResultAndStoredConsent()
    {
        QFETCH(bool, before);
        QFETCH(QString, answer);
        QFETCH(int, result);
        QFETCH(bool, after);
        // arrange
        setConsent(before);
        LicenseDialog dialog;
        dialog.setText("<b>Terms</b>");
        ModalAnswerer *answerer = newAnswerer(answer, this);
        // act
        const int got = dialog.exec();
        // assert
        QVERIFY(answerer->answered());
        QCOMPARE(got, result);
        QCOMPARE(LicenseDialog::isAccepted(), after);
        delete answerer;
    }

    void consentLastsBeyondThisRun()
    {
        // arrange
        setConsent(false);
        LicenseDialog dialog;
        ModalAnswerer *answerer = newAnswerer("&Agree", this);
        // act
        QCOMPARE(dialog.exec(), 1);
        App::instance()->settings()->sync();
        // assert: a separate reader of the same store sees it, under the prefixed key
        QSettings store(QStringLiteral("Quillar"), QStringLiteral("Glyphcraft"));
        QCOMPARE(store.value(QStringLiteral("Glyphcraft/") + ConsentKey).toBool(), true);
        delete answerer;
    }

    void askIfNotAcceptedAsksOnlyUntilAgreed()
    {
        // arrange
        setConsent(false);
        ModalAnswerer *first = newAnswerer("&Agree", this);
        // act / assert: asked the first time
        QVERIFY(LicenseDialog::askIfNotAccepted("terms"));
        QVERIFY(first->answered());
        delete first;

        // not asked again: no window shows, the answer is true at once
        ModalAnswerer *second = newAnswerer("&Disagree", this);
        QVERIFY(LicenseDialog::askIfNotAccepted("terms"));
        QTest::qWait(100);
        QVERIFY(!second->answered());
        delete second;
    }

    void askIfNotAcceptedReportsRefusal()
    {
        setConsent(false);
        ModalAnswerer *answerer = newAnswerer("&Disagree", this);
        QVERIFY(!LicenseDialog::askIfNotAccepted("terms"));
        QVERIFY(answerer->answered());
        QVERIFY(!LicenseDialog::isAccepted());
        delete answerer;
    }

    void windowCanOnlyBeLeftThroughItsButtons()
    {
        LicenseDialog dialog;
        dialog.setText("<h1>Heading</h1>");
        for (const char *name : {"TopWidgetClose", "TopWidgetMaximize", "TopWidgetMinimize"})
            QVERIFY2(dialog.findChild<QPushButton *>(name)->isHidden(), name);
        QVERIFY(dialog.textEdit()->isReadOnly());
        QVERIFY(dialog.textEdit()->toHtml().contains("font-size:xx-large"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Glyphcraft License Agreement"));
    }

    void parentDestroyedDuringLoopEndsIt()
    {
        // arrange
        setConsent(false);
        auto *parent = new QWidget;
        QPointer<LicenseDialog> dialog = new LicenseDialog(parent);
        ModalAnswerer answerer([parent](QWidget *) { parent->deleteLater(); }, 3000);
        answerer.setClassName("QMWidgets::LicenseDialog");
        // act
        const int result = dialog->exec();
        // assert
        QVERIFY(answerer.answered());
        QCOMPARE(result, 0);
        QVERIFY(dialog.isNull());
        QVERIFY(!LicenseDialog::isAccepted());
    }
};

GLYPH_APP_TEST_MAIN(TestAgreementDialog, QMWidgets::App)
#include "tst_agreementdialog.moc"
