// The icon-set settings dialog: its boxes, what Ok and Cancel store, and that
// it always opens with the stored values.

#include "app.h"
#include "appsettingsdialog.h"
#include "idle.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace {

struct Setting
{
    const char *text;
    const char *key;
    bool (*reader)();
};

// In the order the dialog lays its boxes out.
const Setting settings[] = {
    {"iOS", "KeyIOS", &AppSettingsDialog::keyIOS},
    {"Mac OS X", "KeyIcns", &AppSettingsDialog::keyIcns},
    {"Android", "KeyAndroid", &AppSettingsDialog::keyAndroid},
    {"Windows", "KeyIco", &AppSettingsDialog::keyIco},
    {"Windows Phone", "KeyWindowsPhone", &AppSettingsDialog::keyWindowsPhone},
    {"BlackBerry", "KeyBlackBerry", &AppSettingsDialog::keyBlackBerry},
};

// The store itself, as any other reader of the settings sees it.
QSettings store()
{
    return QSettings(QStringLiteral("Quillar"), QStringLiteral("Glyphcraft"));
}

QString storedKey(const char *key)
{
    return QStringLiteral("Glyphcraft/") + QLatin1String(key);
}

QCheckBox *box(QWidget *dialog, const char *text)
{
    const auto boxes = dialog->findChildren<QCheckBox *>();
    for (QCheckBox *b : boxes)
        if (b->text() == QLatin1String(text))
            return b;
    return nullptr;
}

// The boxes' texts, from top to bottom as laid out.
QStringList boxOrder(QWidget *dialog)
{
    QList<QCheckBox *> boxes = dialog->findChildren<QCheckBox *>();
    std::sort(boxes.begin(), boxes.end(),
              [](QCheckBox *a, QCheckBox *b) { return a->y() < b->y(); });
    QStringList texts;
    for (QCheckBox *b : boxes)
        texts << b->text();
    return texts;
}

// Ticks a box with the mouse, like the user, when it is not as wanted.
void setTicked(QWidget *dialog, const char *text, bool ticked)
{
    QCheckBox *b = box(dialog, text);
    if (b && b->isChecked() != ticked)
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, b->height() / 2));
}

// Runs a dialog with exec(); the answer gets it once it shows.
int runDialog(AppSettingsDialog &dialog, const ModalAnswerer::Answer &answer, bool *answered)
{
    ModalAnswerer answerer(answer);
    answerer.setClassName("AppSettingsDialog");
    const int result = dialog.exec();
    *answered = answerer.answered();
    return result;
}

} // namespace

class TestAppSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings s = store();
        for (const Setting &setting : settings)
            s.remove(storedKey(setting.key));
        Idle::settle();
    }

    void boxesInTheirOrderUnderTheCaption()
    {
        AppSettingsDialog dialog;
        dialog.show();
        Idle::settle();

        QStringList expected;
        for (const Setting &setting : settings)
            expected << QLatin1String(setting.text);
        QCOMPARE(boxOrder(&dialog), expected);
        for (QCheckBox *b : dialog.findChildren<QCheckBox *>())
            QVERIFY2(b->isVisible(), qPrintable(b->text()));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Glyphcraft Settings"));
        QVERIFY(dialog.windowFlags().testFlag(Qt::Tool));
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowSystemMenuHint));
        // The caption sits above the first box, Ok left of Cancel below the last.
        QLabel *caption = nullptr;
        for (QLabel *label : dialog.findChildren<QLabel *>())
            if (label->text().contains(QLatin1String("Create Icons for:")))
                caption = label;
        QVERIFY(caption);
        QVERIFY(caption->y() < box(&dialog, "iOS")->y());
        QPushButton *ok = nullptr;
        QPushButton *cancel = nullptr;
        for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
            QCOMPARE(button->objectName(), QStringLiteral("PushButton"));
            if (button->text() == QLatin1String("Ok"))
                ok = button;
            else if (button->text() == QLatin1String("Cancel"))
                cancel = button;
        }
        QVERIFY(ok && cancel);
        QVERIFY(ok->x() < cancel->x());
        QVERIFY(ok->y() > box(&dialog, "BlackBerry")->y());
    }

    void emptyStoreReadsTrueEverywhere()
    {
        // arrange: nothing stored (init)
        for (const Setting &setting : settings)
            QVERIFY(!store().contains(storedKey(setting.key)));

        // act
        AppSettingsDialog dialog;
        dialog.show();
        Idle::settle();

        // assert
        for (const Setting &setting : settings) {
            QVERIFY2(setting.reader(), setting.key);
            QVERIFY2(box(&dialog, setting.text)->isChecked(), setting.text);
        }
    }

    void readersFollowTheStore_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 6; ++i)
            QTest::newRow(settings[i].key) << i;
    }

    void readersFollowTheStore()
    {
        QFETCH(int, index);
        const Setting &setting = settings[index];
        auto *app = QMWidgets::App::instance();

        app->setValue(QLatin1String(setting.key), false);
        const bool afterFalse = setting.reader();
        app->setValue(QLatin1String(setting.key), true);
        const bool afterTrue = setting.reader();

        QVERIFY(!afterFalse);
        QVERIFY(afterTrue);
        // The other five are untouched.
        for (const Setting &other : settings)
            if (&other != &setting)
                QVERIFY2(!store().contains(storedKey(other.key)), other.key);
    }

    void okStoresAllSix_data()
    {
        QTest::addColumn<QStringList>("untick");
        QTest::newRow("nothing changed") << QStringList();
        QTest::newRow("Windows") << QStringList{"Windows"};
        QTest::newRow("Mac OS X and Android") << QStringList{"Mac OS X", "Android"};
        QTest::newRow("all") << QStringList{"iOS", "Mac OS X", "Android", "Windows",
                                            "Windows Phone", "BlackBerry"};
    }

    void okStoresAllSix()
    {
        QFETCH(QStringList, untick);
        // arrange
        AppSettingsDialog dialog;
        bool answered = false;

        // act
        const int result = runDialog(dialog, [&](QWidget *shown) {
            for (const QString &text : untick)
                setTicked(shown, text.toLatin1().constData(), false);
            ModalAnswerer::clickButtonWithText(shown, QStringLiteral("Ok"));
        }, &answered);

        // assert: every key written under the application's prefix
        QVERIFY(answered);
        QCOMPARE(result, int(QDialog::Accepted));
        for (const Setting &setting : settings) {
            const bool ticked = !untick.contains(QLatin1String(setting.text));
            QVERIFY2(store().contains(storedKey(setting.key)), setting.key);
            QCOMPARE(store().value(storedKey(setting.key)).toBool(), ticked);
            QCOMPARE(setting.reader(), ticked);
        }
    }

    void cancelStoresNothing_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Cancel button") << 0;
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }

    void cancelStoresNothing()
    {
        QFETCH(int, key);
        // arrange
        AppSettingsDialog dialog;
        bool answered = false;

        // act
        const int result = runDialog(dialog, [&](QWidget *shown) {
            setTicked(shown, "Windows", false);
            setTicked(shown, "iOS", false);
            if (key)
                ModalAnswerer::pressKey(shown, key);
            else
                ModalAnswerer::clickButtonWithText(shown, QStringLiteral("Cancel"));
        }, &answered);

        // assert
        QVERIFY(answered);
        QCOMPARE(result, int(QDialog::Rejected));
        for (const Setting &setting : settings) {
            QVERIFY2(!store().contains(storedKey(setting.key)), setting.key);
            QVERIFY(setting.reader());
        }
    }

    void reopenedDialogShowsStoredValues()
    {
        // arrange: Windows unticked and stored with Ok
        {
            AppSettingsDialog first;
            bool answered = false;
            runDialog(first, [](QWidget *shown) {
                setTicked(shown, "Windows", false);
                ModalAnswerer::clickButtonWithText(shown, QStringLiteral("Ok"));
            }, &answered);
            QVERIFY(answered);
        }

        // act: reopen, untick BlackBerry, cancel; then reopen once more
        QMap<QString, bool> second;
        QMap<QString, bool> third;
        auto record = [](QMap<QString, bool> &into) {
            return [&into](QWidget *shown) {
                for (const Setting &setting : settings)
                    into[QLatin1String(setting.text)] = box(shown, setting.text)->isChecked();
            };
        };
        {
            AppSettingsDialog dialog;
            bool answered = false;
            runDialog(dialog, [&](QWidget *shown) {
                record(second)(shown);
                setTicked(shown, "BlackBerry", false);
                ModalAnswerer::clickButtonWithText(shown, QStringLiteral("Cancel"));
            }, &answered);
            QVERIFY(answered);
        }
        {
            AppSettingsDialog dialog;
            bool answered = false;
            runDialog(dialog, [&](QWidget *shown) {
                record(third)(shown);
                ModalAnswerer::clickButtonWithText(shown, QStringLiteral("Cancel"));
            }, &answered);
            QVERIFY(answered);
        }

        // assert: both show the stored values, the cancelled change forgotten
        for (const Setting &setting : settings) {
            const bool stored = qstrcmp(setting.key, "KeyIco") != 0;
            QCOMPARE(second.value(QLatin1String(setting.text)), stored);
            QCOMPARE(third.value(QLatin1String(setting.text)), stored);
        }
    }

    void showingReloadsValuesStoredAfterConstruction()
    {
        // arrange: a dialog built first, a value stored afterwards
        AppSettingsDialog dialog;
        QVERIFY(box(&dialog, "Android")->isChecked());
        QMWidgets::App::instance()->setValue(QStringLiteral("KeyAndroid"), false);
        bool shownTicked = true;
        bool answered = false;

        // act
        runDialog(dialog, [&](QWidget *shown) {
            shownTicked = box(shown, "Android")->isChecked();
            ModalAnswerer::clickButtonWithText(shown, QStringLiteral("Cancel"));
        }, &answered);

        // assert
        QVERIFY(answered);
        QVERIFY(!shownTicked);
    }
};

GLYPH_APP_TEST_MAIN(TestAppSettingsDialog, QMWidgets::App)
#include "tst_appsettingsdialog.moc"
