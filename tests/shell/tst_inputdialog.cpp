#include "app.h"
#include "commonstyle.h"
#include "inputdialog.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QStackedWidget>

#include <functional>

using QMWidgets::CommonStyle;
using QMWidgets::InputDialog;

namespace {

// Answers the next input dialog: fills the field, then ends it as told.
ModalAnswerer *answerWith(const QVariant &value, const QString &how, QObject *parent,
                          QLineEdit::EchoMode *seenEcho = nullptr)
{
    auto *answerer = new ModalAnswerer(
        [=](QWidget *w) {
            auto *dialog = qobject_cast<InputDialog *>(w);
            if (!dialog)
                return;
            if (seenEcho)
                *seenEcho = dialog->lineEdit()->echoMode();
            if (value.isValid()) {
                if (dialog->mode() == 1) {
                    dialog->lineEdit()->clear();
                    QTest::keyClicks(dialog->lineEdit(), value.toString());
                } else {
                    dialog->spinBox()->setValue(value.toInt());
                }
            }
            if (how == "Escape")
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                ModalAnswerer::clickButtonWithText(dialog, how);
        },
        3000, parent);
    answerer->setClassName("QMWidgets::InputDialog");
    return answerer;
}

} // namespace

class TestInputDialog : public QObject
{
    Q_OBJECT

private slots:
    void getTextReturnsFieldAndOutcome_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("expectedOk");
        QTest::newRow("ok with typed text") << "hello world" << "Ok" << "hello world" << true;
        QTest::newRow("ok with initial text") << QString() << "Ok" << "initial" << true;
        // Declining gives false and the field as it stood.
        QTest::newRow("cancel") << "typed" << "Cancel" << "typed" << false;
        QTest::newRow("escape") << QString() << "Escape" << "initial" << false;
    }
    void getTextReturnsFieldAndOutcome()
    {
        QFETCH(QString, typed);
        QFETCH(QString, how);
        QFETCH(QString, expected);
        QFETCH(bool, expectedOk);
        // arrange
        QWidget parent;
        ModalAnswerer *answerer = answerWith(typed.isNull() ? QVariant() : QVariant(typed), how, this);
        bool ok = !expectedOk;
        // act
        const QString text = InputDialog::getText(&parent, "Title", "Name:", QLineEdit::Normal, "initial", &ok);
        // assert
        QVERIFY(answerer->answered());
        QCOMPARE(text, expected);
        QCOMPARE(ok, expectedOk);
        QVERIFY(parent.findChildren<InputDialog *>().isEmpty()); // deleted after use
        delete answerer;
    }

    void getTextWithoutOutcomePointerAndPasswordEcho()
    {
        QLineEdit::EchoMode echo = QLineEdit::Normal;
        ModalAnswerer *answerer = answerWith(QString("secret"), "Ok", this, &echo);
        const QString text = InputDialog::getText(nullptr, "Title", "Password:", QLineEdit::Password);
        QVERIFY(answerer->answered());
        QCOMPARE(text, QStringLiteral("secret"));
        QCOMPARE(echo, QLineEdit::Password);
        delete answerer;
    }

    void getIntReturnsValueWithinRange_data()
    {
        QTest::addColumn<int>("initial");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QVariant>("entered");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("expectedOk");
        QTest::newRow("entered") << 5 << 0 << 50 << QVariant(42) << "Ok" << 42 << true;
        // Initial values beyond the spin box's default 0..99 survive.
        QTest::newRow("initial above 99") << 250 << 0 << 1000 << QVariant() << "Ok" << 250 << true;
        QTest::newRow("negative initial") << -7 << -10 << 10 << QVariant() << "Ok" << -7 << true;
        QTest::newRow("initial below range") << 5 << 10 << 20 << QVariant() << "Ok" << 10 << true;
        QTest::newRow("entered above range") << 15 << 10 << 20 << QVariant(99) << "Ok" << 20 << true;
        QTest::newRow("cancel") << 3 << 0 << 10 << QVariant(8) << "Cancel" << 8 << false;
        QTest::newRow("escape") << 3 << 0 << 10 << QVariant() << "Escape" << 3 << false;
    }
    void getIntReturnsValueWithinRange()
    {
        QFETCH(int, initial);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(QVariant, entered);
        QFETCH(QString, how);
        QFETCH(int, expected);
        QFETCH(bool, expectedOk);
        // arrange
        ModalAnswerer *answerer = answerWith(entered, how, this);
        bool ok = !expectedOk;
        // act
        const int value = InputDialog::getInt(nullptr, "Title", "Count:", initial, minimum, maximum, &ok);
        // assert
        QVERIFY(answerer->answered());
        QCOMPARE(value, expected);
        QCOMPARE(ok, expectedOk);
        delete answerer;
    }

    void parentDestroyedWhileAskingGivesEmptyResult()
    {
        // arrange
        auto *parent = new QWidget;
        ModalAnswerer answerer([parent](QWidget *) { parent->deleteLater(); }, 3000);
        answerer.setClassName("QMWidgets::InputDialog");
        bool ok = true;
        // act
        const QString text = InputDialog::getText(parent, "Title", "Name:", QLineEdit::Normal, "kept", &ok);
        // assert
        QVERIFY(answerer.answered());
        QVERIFY(text.isEmpty());
        QVERIFY(!ok);
    }

    void modeChoosesPage_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("page");
        QTest::newRow("number") << 0 << 0;
        QTest::newRow("text") << 1 << 1;
        QTest::newRow("other value keeps the page") << 7 << 1;
    }
    void modeChoosesPage()
    {
        QFETCH(int, mode);
        QFETCH(int, page);
        InputDialog dialog("label", nullptr, 1);
        dialog.setMode(mode);
        QCOMPARE(dialog.mode(), mode);
        QCOMPARE(dialog.findChild<QStackedWidget *>()->currentIndex(), page);
    }

    void commonStyleScalesTheSmallerDesktopSide()
    {
        const int side = QMWidgets::App::screenMinSide();
        QVERIFY(side > 0);
        QCOMPARE(CommonStyle::scaled(10.0f), side / 10);
        QCOMPARE(CommonStyle::scaled(3.0f), side / 3);
        QCOMPARE(CommonStyle::scaled(0.0f), 0);
        QVERIFY(CommonStyle().styleSheet().isEmpty());
    }
};

GLYPH_APP_TEST_MAIN(TestInputDialog, QMWidgets::App)
#include "tst_inputdialog.moc"
