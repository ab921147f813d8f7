#include "testmain.h"
#include "urlrecorder.h"

#include "app.h"
#include "calendar.h"
#include "communitybutton.h"
#include "datewidget.h"
#include "emailedit.h"
#include "menubutton.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>

using namespace QMWidgets;

namespace {

// The date lists told apart by their lengths: 31 days, 12 months, the rest years.
QComboBox *dateList(DateWidget &widget, int which)
{
    for (QComboBox *box : widget.findChildren<QComboBox *>()) {
        const int kind = box->count() == 31 ? 0 : box->count() == 12 ? 1 : 2;
        if (kind == which)
            return box;
    }
    return nullptr;
}

QAction *menuEntry(CommunityButton &button, const QString &text)
{
    for (QAction *action : button.menu()->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

} // namespace

class TestButtons : public QObject
{
    Q_OBJECT

private slots:
    void dateListsCountYearsBackFromOffset_data();
    void dateListsCountYearsBackFromOffset();
    void dateSettersClampAndMiss_data();
    void dateSettersClampAndMiss();
    void dateResetIsSilentUserChangeIsNot();
    void emailButtonsFollowWholeTextMatch_data();
    void emailButtonsFollowWholeTextMatch();
    void emailButtonsSendCurrentText();
    void communityMenuOpensStoredLinks();
    void menuButtonWritesOnLowerHalfOnly_data();
    void menuButtonWritesOnLowerHalfOnly();
};

void TestButtons::dateListsCountYearsBackFromOffset_data()
{
    QTest::addColumn<int>("offset");
    QTest::newRow("this year") << 0;
    QTest::newRow("adults") << -18;
}

void TestButtons::dateListsCountYearsBackFromOffset()
{
    QFETCH(int, offset);
    DateWidget widget(offset, nullptr);
    QComboBox *days = dateList(widget, 0);
    QComboBox *months = dateList(widget, 1);
    QComboBox *years = dateList(widget, 2);
    QVERIFY(days && months && years);

    const int start = QDate::currentDate().year() + offset;
    QCOMPARE(years->count(), 132);
    QCOMPARE(years->itemText(0), QString());
    QCOMPARE(years->itemText(1), QString::number(start));
    QCOMPARE(years->itemText(131), QString::number(start - 130));
    for (int m = 1; m <= 12; ++m)
        QCOMPARE(months->itemText(m - 1), MTools::monthName(m));
    QCOMPARE(days->itemText(0), QStringLiteral("1"));
    QCOMPARE(days->itemText(30), QStringLiteral("31"));

    QCOMPARE(widget.day(), 1);
    QCOMPARE(widget.month(), 1);
    QCOMPARE(widget.year(), -1);
}

void TestButtons::dateSettersClampAndMiss_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("expectedDay");
    QTest::addColumn<int>("expectedMonth");
    QTest::addColumn<int>("expectedYear");

    const int now = QDate::currentDate().year();
    QTest::newRow("ordinary") << 17 << 5 << now - 3 << 17 << 5 << now - 3;
    QTest::newRow("last month") << 31 << 12 << now - 130 << 31 << 12 << now - 130;
    QTest::newRow("zero and below choose first") << 0 << -5 << 0 << 1 << 1 << now;
    QTest::newRow("past the lists") << 32 << 13 << now + 1 << 0 << 0 << -1;
    QTest::newRow("year too old") << 2 << 2 << now - 131 << 2 << 2 << -1;
}

void TestButtons::dateSettersClampAndMiss()
{
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(int, expectedDay);
    QFETCH(int, expectedMonth);
    QFETCH(int, expectedYear);

    DateWidget widget(0, nullptr);
    widget.setYear(QDate::currentDate().year()); // so that "changes nothing" can be told from "no year"

    widget.setDay(day);
    widget.setMonth(month);
    widget.setYear(year);

    QCOMPARE(widget.day(), expectedDay);
    QCOMPARE(widget.month(), expectedMonth);
    QCOMPARE(widget.year(), expectedYear);
}

void TestButtons::dateResetIsSilentUserChangeIsNot()
{
    DateWidget widget(0, nullptr);
    widget.setDay(9);
    widget.setMonth(9);
    widget.setYear(QDate::currentDate().year() - 9);
    QSignalSpy changes(&widget, SIGNAL(dataChanged()));

    widget.reset();
    QCOMPARE(changes.count(), 0);
    QCOMPARE(widget.day(), 1);
    QCOMPARE(widget.month(), 1);
    QCOMPARE(widget.year(), -1);

    for (int which = 0; which < 3; ++which) {
        dateList(widget, which)->setCurrentIndex(3);
        QCOMPARE(changes.count(), which + 1);
    }

    widget.setMonthAndYearHidden(true);
    QVERIFY(dateList(widget, 1)->isHidden());
    QVERIFY(dateList(widget, 2)->isHidden());
    QVERIFY(!dateList(widget, 0)->isHidden());
}

void TestButtons::emailButtonsFollowWholeTextMatch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("empty") << "" << false;
    QTest::newRow("no dot after at") << "user@example" << false;
    QTest::newRow("plain") << "user@example.com" << true;
    QTest::newRow("rich local part") << "John.Doe_1-x@mail.example.info" << true;
    QTest::newRow("numeric last label") << "a@10.0.0.1" << true;
    QTest::newRow("single letter label") << "a@b.c" << false;
    QTest::newRow("five letter label") << "a@b.abcde" << false;
    QTest::newRow("space inside") << "a b@c.de" << false;
    QTest::newRow("trailing space") << "a@b.de " << false;
    QTest::newRow("two at signs") << "a@b@c.de" << false;
}

void TestButtons::emailButtonsFollowWholeTextMatch()
{
    QFETCH(QString, text);
    QFETCH(bool, enabled);

    EmailEdit edit(nullptr);
    QPushButton *card = edit.findChild<QPushButton *>(QStringLiteral("CardEditButton"));
    QPushButton *email = edit.findChild<QPushButton *>(QStringLiteral("EmailEditButton"));
    QVERIFY(card && email);
    QCOMPARE(card->toolTip(), QStringLiteral("Send an ecard"));
    QCOMPARE(email->toolTip(), QStringLiteral("Send an email"));

    // set by code
    edit.setText(text);
    QCOMPARE(card->isEnabled(), enabled);
    QCOMPARE(email->isEnabled(), enabled);

    // typed by the user, after a valid address
    edit.setText(QStringLiteral("valid@example.org"));
    QLineEdit *line = edit.findChild<QLineEdit *>();
    QSignalSpy changed(&edit, SIGNAL(textChanged(QString)));
    line->clear();
    QTest::keyClicks(line, text);
    QCOMPARE(email->isEnabled(), enabled);
    QCOMPARE(card->isEnabled(), enabled);
    QVERIFY(!changed.isEmpty());
    QCOMPARE(changed.last().first().toString(), text);
}

void TestButtons::emailButtonsSendCurrentText()
{
    EmailEdit edit(nullptr);
    edit.setText(QStringLiteral("friend@example.net"));
    QSignalSpy emails(&edit, SIGNAL(sendEmail(QString)));
    QSignalSpy cards(&edit, SIGNAL(sendECard(QString)));

    edit.findChild<QPushButton *>(QStringLiteral("EmailEditButton"))->click();
    edit.findChild<QPushButton *>(QStringLiteral("CardEditButton"))->click();

    QCOMPARE(emails.count(), 1);
    QCOMPARE(emails.first().first().toString(), QStringLiteral("friend@example.net"));
    QCOMPARE(cards.count(), 1);
    QCOMPARE(cards.first().first().toString(), QStringLiteral("friend@example.net"));
}

void TestButtons::communityMenuOpensStoredLinks()
{
    CommunityButton button(nullptr);
    QStringList texts;
    for (QAction *action : button.menu()->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(texts, (QStringList{"Share", "-", "FaceBook", "YouTube", "Xing", "MoiMir"}));

    UrlRecorder::instance()->clear();
    menuEntry(button, QStringLiteral("MoiMir"))->trigger();
    QVERIFY2(UrlRecorder::instance()->urls().isEmpty(), "an empty address must open nothing");

    button.setMoiMirUrl(QStringLiteral("https://my.example.org/community/glyph"));
    button.setXingUrl(QStringLiteral("https://xing.example.org/glyph"));
    button.setTwitterUrl(QStringLiteral("https://birds.example.org/glyph"));
    menuEntry(button, QStringLiteral("MoiMir"))->trigger();
    menuEntry(button, QStringLiteral("Xing"))->trigger();
    button.slotTwitter();

    QCOMPARE(UrlRecorder::instance()->urls(),
             (QList<QUrl>{QUrl(QStringLiteral("https://my.example.org/community/glyph")),
                          QUrl(QStringLiteral("https://xing.example.org/glyph")),
                          QUrl(QStringLiteral("https://birds.example.org/glyph"))}));
}

void TestButtons::menuButtonWritesOnLowerHalfOnly_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::newRow("dark face of a style sheet") << QStringLiteral("background: black; border: none;");
    QTest::newRow("default face, no style sheet") << QString();
}

void TestButtons::menuButtonWritesOnLowerHalfOnly()
{
    QFETCH(QString, sheet);

    // arrange
    MenuButton button(nullptr);
    button.setStyleSheet(sheet);
    button.resize(80, 60);

    // act
    const QImage image = button.grab().toImage();

    // assert: the caption stands out from the face (lightness apart by most of
    // the scale) in the lower half only, away from the rim
    const int face = image.pixelColor(5, 45).lightness();
    int upperInk = 0;
    int lowerInk = 0;
    for (int y = 4; y < image.height() - 4; ++y)
        for (int x = 4; x < image.width() - 4; ++x)
            if (qAbs(image.pixelColor(x, y).lightness() - face) >= 180)
                ++(y < 30 ? upperInk : lowerInk);
    QCOMPARE(upperInk, 0);
    QVERIFY2(lowerInk > 10, qPrintable(QString::number(lowerInk)));
    // and it is named for the pointer and for assistive tools
    QCOMPARE(button.toolTip(), QStringLiteral("Menu"));
    QCOMPARE(button.accessibleName(), QStringLiteral("Menu"));
}

GLYPH_APP_TEST_MAIN(TestButtons, QMWidgets::App)
#include "tst_buttons.moc"
