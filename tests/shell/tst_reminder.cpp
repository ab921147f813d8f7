#include "app.h"
#include "joinreminderdialog.h"
#include "joinwidget.h"
#include "modalanswerer.h"
#include "rateappstoredialog.h"
#include "ratemaildialog.h"
#include "tellreminderdialog.h"
#include "tellwidget.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <climits>

using QMWidgets::App;

namespace {

const char *const kRatePage = "https://127.0.0.1/rate/rate.php?appname=glyphcraft";

QPushButton *buttonWithText(QWidget *dialog, const QString &text)
{
    const auto buttons = dialog->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// What an answer saw of the dialog it answered.
struct Seen
{
    QByteArray className;
    QString title;
    QWidget *parent = nullptr;
    bool parentVisible = false;
    QStringList visibleButtons;
    QSet<QByteArray> visibleClasses;
};

QSet<QString> asSet(const QStringList &list)
{
    return QSet<QString>(list.begin(), list.end());
}

ModalAnswerer::Answer answerWith(const QString &button, Seen *seen)
{
    return [button, seen](QWidget *dialog) {
        seen->className = dialog->metaObject()->className();
        seen->title = dialog->windowTitle();
        seen->parent = dialog->parentWidget();
        seen->parentVisible = seen->parent && seen->parent->isVisible();
        const auto children = dialog->findChildren<QWidget *>();
        for (QWidget *child : children) {
            if (!child->isVisible())
                continue;
            seen->visibleClasses << child->metaObject()->className();
            // The dialog's own buttons; a panel's buttons count through its class.
            auto *button = qobject_cast<QPushButton *>(child);
            if (button && button->parentWidget() == dialog && !button->text().isEmpty())
                seen->visibleButtons << button->text();
        }
        if (button == QLatin1String("Escape"))
            ModalAnswerer::pressKey(dialog, Qt::Key_Escape);
        else
            ModalAnswerer::clickButtonWithText(dialog, button);
    };
}

} // namespace

class TestReminder : public QObject
{
    Q_OBJECT

private:
    App *app() const { return App::instance(); }
    QList<QUrl> opened() const { return UrlRecorder::instance()->urls(); }

    void store(bool remindersOn, int counter)
    {
        app()->setValue("AutoReminder", remindersOn);
        app()->setValue("AutoReminderCount", counter);
    }
    bool remindersOn() const { return app()->value("AutoReminder", true).toBool(); }
    int counter() const { return app()->value("AutoReminderCount", -999).toInt(); }

    // Sets the kind the way the program does and drops the quit connection again.
    void useKind(int kind)
    {
        app()->startReminder(2, kind);
        disconnect(app(), SIGNAL(aboutToQuit()), app(), SLOT(slotCallRateReminderInternal()));
    }

private slots:
    void initTestCase()
    {
        qputenv("GLYPH_SITE_RATE", "https://127.0.0.1/rate");
        qputenv("GLYPH_SITE_CONTACT", "contact@127.0.0.1");
        app()->setWebDistribution(true);
    }

    void init()
    {
        UrlRecorder::instance()->clear();
        app()->setMainWidget(nullptr);
        useKind(1);
    }

    void pureStep_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("counter");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("show");
        QTest::addColumn<bool>("store");
        QTest::addColumn<int>("next");

        QTest::newRow("first quit") << 2 << 1 << true << false << true << 2;
        QTest::newRow("second quit") << 2 << 2 << true << true << true << 3;
        QTest::newRow("third quit") << 2 << 3 << true << false << true << 4;
        QTest::newRow("default interval") << 10 << 20 << true << true << true << 21;
        QTest::newRow("unreadable counter reads 0") << 2 << 0 << true << true << true << 1;
        QTest::newRow("largest counter") << 2 << INT_MAX << true << false << true << 1;
        QTest::newRow("largest counter, every quit") << 1 << INT_MAX << true << true << true << 1;
        QTest::newRow("minus one") << 2 << -1 << true << false << true << 0;
        QTest::newRow("minus five") << 2 << -5 << true << false << true << 1;
        QTest::newRow("minus four is due") << 2 << -4 << true << true << true << 1;
        QTest::newRow("smallest counter") << 2 << INT_MIN << true << true << true << 1;
        QTest::newRow("interval zero") << 0 << 7 << true << true << true << 8;
        QTest::newRow("negative interval") << -3 << 7 << true << true << true << 8;
        QTest::newRow("reminders off") << 2 << 2 << false << false << false << 0;
    }

    void pureStep()
    {
        QFETCH(int, interval);
        QFETCH(int, counter);
        QFETCH(bool, enabled);
        QFETCH(bool, show);
        QFETCH(bool, store);
        QFETCH(int, next);

        const App::ReminderStep step = App::reminderStep(interval, counter, enabled);

        QCOMPARE(step.show, show);
        QCOMPARE(step.store, store);
        if (store)
            QCOMPARE(step.nextCount, next);
    }

    void quitAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("remindersAfter");
        QTest::addColumn<QString>("openedUrl");

        QTest::newRow("later") << "&Later" << true << QString();
        QTest::newRow("escape") << "Escape" << true << QString();
        QTest::newRow("rate") << "&Rate It Now" << false << kRatePage;
        QTest::newRow("never") << "&Don't ask me again" << false << QString();
    }

    void quitAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(bool, remindersAfter);
        QFETCH(QString, openedUrl);
        // arrange: a hidden main window, a due counter
        QWidget page;
        app()->setMainWidget(&page);
        app()->setReminderInterval(2);
        store(true, 4);
        Seen seen;
        ModalAnswerer answerer(answerWith(answer, &seen));

        // act
        app()->slotCallRateReminderInternal();

        // assert
        QVERIFY(answerer.answered());
        QCOMPARE(seen.className, QByteArray("QMWidgets::RateAppStoreDialog"));
        QCOMPARE(seen.title, QString("Rate \"Glyphcraft\""));
        QCOMPARE(seen.parent, &page);
        QVERIFY(seen.parentVisible); // shown so the dialog has a visible parent
        QCOMPARE(asSet(seen.visibleButtons),
                 QSet<QString>({"&Rate It Now", "&Later", "&Don't ask me again"}));
        QCOMPARE(remindersOn(), remindersAfter);
        QCOMPARE(counter(), 5);
        QCOMPARE(opened().size(), openedUrl.isEmpty() ? 0 : 1);
        if (!openedUrl.isEmpty())
            QCOMPARE(opened().first(), QUrl(openedUrl));
        QVERIFY(!page.findChild<QDialog *>()); // the step's dialog is gone
    }

    void stepsThatShowNothing_data()
    {
        QTest::addColumn<bool>("remindersOn");
        QTest::addColumn<int>("counterBefore");
        QTest::addColumn<int>("counterAfter");
        QTest::newRow("not due") << true << 3 << 4;
        QTest::newRow("reminders off") << false << 4 << 4;
    }

    void stepsThatShowNothing()
    {
        QFETCH(bool, remindersOn);
        QFETCH(int, counterBefore);
        QFETCH(int, counterAfter);
        app()->setReminderInterval(2);
        store(remindersOn, counterBefore);
        Seen seen;
        ModalAnswerer answerer(answerWith("&Later", &seen), 1000);

        app()->slotCallRateReminderInternal(); // would block in exec() if a dialog came up

        QVERIFY(!answerer.answered());
        QCOMPARE(counter(), counterAfter);
        QCOMPARE(this->remindersOn(), remindersOn);
    }

    void rateItNowKeepsAskingWhenThePageDoesNotOpen()
    {
        // arrange: a rating page that cannot open (placeholder host)
        qputenv("GLYPH_SITE_RATE", "https://rate.quillar.invalid");
        app()->setReminderInterval(2);
        store(true, 2);
        Seen seen;
        ModalAnswerer answerer(answerWith("&Rate It Now", &seen));
        // act
        app()->slotCallRateReminderInternal();
        qputenv("GLYPH_SITE_RATE", "https://127.0.0.1/rate");
        // assert
        QVERIFY(answerer.answered());
        QVERIFY(opened().isEmpty());
        QVERIFY(remindersOn());
        QCOMPARE(counter(), 3);
    }

    void withoutWebLinksOnlyTheShareReminderShows_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("shown");
        QTest::newRow("rating") << 1 << false;
        QTest::newRow("following") << 4 << false;
        QTest::newRow("sharing") << 2 << true;
    }
    void withoutWebLinksOnlyTheShareReminderShows()
    {
        QFETCH(int, kind);
        QFETCH(bool, shown);
        // arrange
        useKind(kind);
        app()->setReminderInterval(2);
        store(true, 2);
        app()->setWebLinksDisabled(true);
        Seen seen;
        ModalAnswerer answerer(answerWith("&Close", &seen), 1000);
        // act
        app()->slotCallRateReminderInternal();
        app()->setWebLinksDisabled(false);
        // assert
        QCOMPARE(answerer.answered(), shown);
        QVERIFY(remindersOn());
    }

    void shareAndFollowReminders_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("className");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QByteArray>("panel");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("remindersAfter");

        QTest::newRow("share, close") << 2 << QByteArray("QMWidgets::TellReminderDialog") << "Share"
                                      << QByteArray("QMWidgets::TellWidget") << "&Close" << true;
        QTest::newRow("share, never") << 2 << QByteArray("QMWidgets::TellReminderDialog") << "Share"
                                      << QByteArray("QMWidgets::TellWidget")
                                      << "&Don't ask me again" << false;
        QTest::newRow("follow, close") << 4 << QByteArray("QMWidgets::JoinReminderDialog")
                                       << "Join Us" << QByteArray("QMWidgets::JoinWidget")
                                       << "&Close" << true;
        QTest::newRow("follow, never") << 4 << QByteArray("QMWidgets::JoinReminderDialog")
                                       << "Join Us" << QByteArray("QMWidgets::JoinWidget")
                                       << "&Don't ask me again" << false;
    }

    void shareAndFollowReminders()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, className);
        QFETCH(QString, title);
        QFETCH(QByteArray, panel);
        QFETCH(QString, answer);
        QFETCH(bool, remindersAfter);
        useKind(kind);
        app()->setReminderInterval(2);
        store(true, 2);
        Seen seen;
        ModalAnswerer answerer(answerWith(answer, &seen));

        app()->slotCallRateReminderInternal();

        QVERIFY(answerer.answered());
        QCOMPARE(seen.className, className);
        QCOMPARE(seen.title, title);
        QVERIFY(seen.visibleClasses.contains(panel));
        QVERIFY(seen.parent == nullptr); // no main widget: a top-level dialog
        QCOMPARE(asSet(seen.visibleButtons), QSet<QString>({"&Close", "&Don't ask me again"}));
        QCOMPARE(remindersOn(), remindersAfter);
        QCOMPARE(counter(), 3);
        QVERIFY(opened().isEmpty());
    }

    void mainWindowDeletedWhileAsking()
    {
        QWidget *page = new QWidget;
        app()->setMainWidget(page);
        app()->setReminderInterval(2);
        store(true, 2);
        ModalAnswerer answerer([page](QWidget *) { delete page; });

        app()->slotCallRateReminderInternal();

        QVERIFY(answerer.answered());
        QVERIFY(!app()->mainWidget());
        QVERIFY(remindersOn()); // no choice was made
        QCOMPARE(counter(), 3);
    }

    void stepInsideAnOpenReminderIsSkipped()
    {
        app()->setReminderInterval(2);
        store(true, 2);
        int counterSeenInside = 0;
        bool secondShown = false;
        ModalAnswerer answerer([&](QWidget *dialog) {
            // A delayed step firing in the dialog's event loop; a second
            // dialog would be closed by this answerer.
            ModalAnswerer second(
                [](QWidget *inner) { ModalAnswerer::pressKey(inner, Qt::Key_Escape); }, 1000);
            second.setClassName("QMWidgets::ReminderDialog");
            app()->slotCallRateReminderInternal();
            secondShown = second.answered();
            counterSeenInside = counter();
            ModalAnswerer::clickButtonWithText(dialog, "&Later");
        });

        app()->slotCallRateReminderInternal();

        QVERIFY(answerer.answered());
        QVERIFY(!secondShown);
        QCOMPARE(counterSeenInside, 2);
        QCOMPARE(counter(), 3);
    }

    void delayedSlotRunsAStepWithItsKind()
    {
        app()->setReminderInterval(2);
        app()->setReminderDelay(10);
        store(true, 3); // not due: counted without a dialog

        app()->slotCallJoinReminder();

        QCOMPARE(app()->reminderKind(), 4);
        QCOMPARE(counter(), 3); // not before the delay
        QTRY_COMPARE_WITH_TIMEOUT(counter(), 4, 2000);
        app()->setReminderDelay(4000);
    }

    void rateThisAppAsksAtOnce_data()
    {
        QTest::addColumn<bool>("remindersBefore");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("remindersAfter");
        QTest::addColumn<bool>("neverAskShown");
        QTest::addColumn<int>("openedCount");

        QTest::newRow("reminders on, later") << true << "&Later" << true << true << 0;
        QTest::newRow("reminders on, never") << true << "&Don't ask me again" << false << true << 0;
        QTest::newRow("reminders off, rate") << false << "&Rate It Now" << false << false << 1;
    }

    void rateThisAppAsksAtOnce()
    {
        QFETCH(bool, remindersBefore);
        QFETCH(QString, answer);
        QFETCH(bool, remindersAfter);
        QFETCH(bool, neverAskShown);
        QFETCH(int, openedCount);
        QWidget page;
        app()->setMainWidget(&page);
        app()->setReminderInterval(2);
        store(remindersBefore, 3); // not due: the menu entry does not care
        Seen seen;
        ModalAnswerer answerer(answerWith(answer, &seen));

        app()->slotImmediatelyRate();

        QVERIFY(answerer.answered());
        QCOMPARE(seen.className, QByteArray("QMWidgets::RateAppStoreDialog"));
        QCOMPARE(seen.parent, &page);
        QCOMPARE(seen.visibleButtons.contains("&Don't ask me again"), neverAskShown);
        QCOMPARE(remindersOn(), remindersAfter);
        QCOMPARE(counter(), 3);
        QCOMPARE(opened().size(), openedCount);
        if (openedCount)
            QCOMPARE(opened().first(), QUrl(kRatePage));
        QVERIFY(!page.findChild<QDialog *>());
    }

    void rateOrMailDialogRecordsEachChoice_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("state");
        QTest::newRow("rate") << "&Rate" << 0;
        QTest::newRow("mail") << "&Write email" << 1;
        QTest::newRow("later") << "&Later" << 2;
        QTest::newRow("never") << "&Don't ask me again" << 3;
    }

    void rateOrMailDialogRecordsEachChoice()
    {
        QFETCH(QString, button);
        QFETCH(int, state);
        QMWidgets::RateMailDialog dialog;
        QCOMPARE(dialog.state(), 4);
        QCOMPARE(dialog.windowTitle(), QString("Feedback about \"Glyphcraft\""));
        QPushButton *target = buttonWithText(&dialog, button);
        QVERIFY(target);

        target->click();

        QCOMPARE(dialog.state(), state);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

GLYPH_APP_TEST_MAIN(TestReminder, QMWidgets::App)

#include "tst_reminder.moc"
