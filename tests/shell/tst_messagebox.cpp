#include "app.h"
#include "mmessagebox.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

using QMWidgets::MMessageBox;

namespace {

// The box's push buttons from left to right as laid out on screen.
QList<QPushButton *> buttonsInPlace(QWidget *box)
{
    QList<QPushButton *> buttons = box->findChildren<QPushButton *>();
    std::sort(buttons.begin(), buttons.end(), [](QPushButton *a, QPushButton *b) {
        return a->mapTo(a->window(), QPoint()).x() < b->mapTo(b->window(), QPoint()).x();
    });
    return buttons;
}

QStringList texts(const QList<QPushButton *> &buttons)
{
    QStringList result;
    for (QPushButton *b : buttons)
        result << b->text();
    return result;
}

} // namespace

class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    // Each row: the button mask and user text, the labels expected from left
    // to right and the code each of those buttons returns.
    void buttonsStandInFixedOrderAndReturnTheirCodes_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("userText");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QList<int>>("codes");

        const struct
        {
            int code;
            const char *label;
        } singles[] = {{QMessageBox::Ok, "Ok"},         {QMessageBox::Cancel, "Cancel"},
                       {QMessageBox::No, "No"},         {QMessageBox::Yes, "Yes"},
                       {QMessageBox::Abort, "Abort"},   {QMessageBox::Retry, "Retry"},
                       {QMessageBox::Ignore, "Ignore"}, {QMessageBox::YesToAll, "YesAll"},
                       {QMessageBox::NoToAll, "NoAll"}};
        for (const auto &s : singles)
            QTest::newRow(s.label) << s.code << QString() << QStringList{QLatin1String(s.label)}
                                   << QList<int>{s.code};

        QTest::newRow("yes|no") << 0x14000 << QString() << QStringList{"No", "Yes"}
                                << QList<int>{0x10000, 0x4000};
        QTest::newRow("yes|no|cancel") << 0x414000 << QString() << QStringList{"Cancel", "No", "Yes"}
                                       << QList<int>{0x400000, 0x10000, 0x4000};
        QTest::newRow("all and user")
            << int(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::No | QMessageBox::Yes
                   | QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore | QMessageBox::YesToAll
                   | QMessageBox::NoToAll)
            << QStringLiteral("&Later")
            << QStringList{"Ok", "Cancel", "No", "Yes", "Abort", "Retry", "Ignore", "YesAll", "NoAll", "&Later"}
            << QList<int>{0x400, 0x400000, 0x10000, 0x4000, 0x40000, 0x80000, 0x100000, 0x8000, 0x20000,
                          0x10000000};
        QTest::newRow("bits without a button")
            << int(QMessageBox::Save | QMessageBox::Open | QMessageBox::Close | QMessageBox::Ok) << QString()
            << QStringList{"Ok"} << QList<int>{0x400};
        QTest::newRow("user button alone") << 0 << QStringLiteral("Later") << QStringList{"Later"}
                                           << QList<int>{0x10000000};
    }

    void buttonsStandInFixedOrderAndReturnTheirCodes()
    {
        QFETCH(int, mask);
        QFETCH(QString, userText);
        QFETCH(QStringList, labels);
        QFETCH(QList<int>, codes);

        for (int i = 0; i < labels.size(); ++i) {
            // arrange
            MMessageBox box(1, QStringLiteral("Title"), QStringLiteral("Text"), mask, nullptr, userText);
            QStringList seen;
            ModalAnswerer answerer([&](QWidget *dialog) {
                const QList<QPushButton *> buttons = buttonsInPlace(dialog);
                seen = texts(buttons);
                if (i < buttons.size())
                    buttons.at(i)->click();
            });
            // act
            const int result = box.exec();
            // assert
            QVERIFY(answerer.answered());
            QCOMPARE(seen, labels);
            QCOMPARE(result, codes.at(i));
        }
    }

    void closingWithoutAButtonGivesZero_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("userText");
        QTest::newRow("no buttons") << 0 << QString();
        QTest::newRow("ok and cancel") << 0x400400 << QString();
        QTest::newRow("user button") << 0 << QStringLiteral("Mine");
    }

    void closingWithoutAButtonGivesZero()
    {
        QFETCH(int, mask);
        QFETCH(QString, userText);
        MMessageBox box(2, QString(), QStringLiteral("Text"), mask, nullptr, userText);
        ModalAnswerer answerer([](QWidget *dialog) { ModalAnswerer::pressKey(dialog, Qt::Key_Escape); });

        const int result = box.exec();

        QVERIFY(answerer.answered());
        QVERIFY(!answerer.timedOut());
        QCOMPARE(result, 0);
    }

    // Each static function shows its own icon, the caller's title and text,
    // and leaves no box behind under its parent.
    void staticFunctionsRunABoxAndRemoveIt_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<int>("pixmap");
        QTest::newRow("information") << "information" << int(QStyle::SP_MessageBoxInformation);
        QTest::newRow("warning") << "warning" << int(QStyle::SP_MessageBoxWarning);
        QTest::newRow("critical") << "critical" << int(QStyle::SP_MessageBoxCritical);
        QTest::newRow("question") << "question" << int(QStyle::SP_MessageBoxQuestion);
    }

    void staticFunctionsRunABoxAndRemoveIt()
    {
        QFETCH(QString, function);
        QFETCH(int, pixmap);
        QWidget parent;
        QString title;
        QString text;
        QImage icon;
        ModalAnswerer answerer([&](QWidget *dialog) {
            title = dialog->windowTitle();
            for (QLabel *label : dialog->findChildren<QLabel *>()) {
                const QPixmap shown = label->pixmap(Qt::ReturnByValue);
                if (!shown.isNull())
                    icon = shown.toImage();
                else if (!label->text().isEmpty())
                    text = label->text();
            }
            ModalAnswerer::clickButtonWithText(dialog, QStringLiteral("Yes"));
        });

        using Fn = int (*)(QWidget *, const QString &, const QString &, int);
        const Fn fn = function == "information" ? &MMessageBox::information
                      : function == "warning"   ? &MMessageBox::warning
                      : function == "critical"  ? &MMessageBox::critical
                                                : &MMessageBox::question;
        const int result = fn(&parent, QStringLiteral("Information"), QStringLiteral("Hello"), 0x14000);

        QVERIFY(answerer.answered());
        QCOMPARE(result, 0x4000);
        QCOMPARE(title, QStringLiteral("Information"));
        QCOMPARE(text, QStringLiteral("Hello"));
        const QImage expected =
            QApplication::style()->standardPixmap(QStyle::StandardPixmap(pixmap)).toImage();
        QVERIFY(!expected.isNull());
        QCOMPARE(icon.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
        QVERIFY(parent.findChildren<MMessageBox *>().isEmpty());
    }

    void parentDestroyedWhileBoxRunsGivesZero()
    {
        QPointer<QWidget> parent = new QWidget;
        ModalAnswerer answerer([&](QWidget *) { delete parent.data(); });

        const int result = MMessageBox::question(parent, QStringLiteral("Q"), QStringLiteral("Sure?"), 0x14000);

        QVERIFY(answerer.answered());
        QVERIFY(!answerer.timedOut());
        QVERIFY(parent.isNull());
        QVERIFY(answerer.dialog() == nullptr);
        QCOMPARE(result, 0);
    }
};

GLYPH_APP_TEST_MAIN(TestMessageBox, QMWidgets::App)
#include "tst_messagebox.moc"
