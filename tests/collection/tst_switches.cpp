#include "testmain.h"

#include "aniswitch.h"
#include "checkbutton.h"
#include "listwidgetitem.h"
#include "screenlocker.h"
#include "searchfilter.h"

#include <QAction>
#include <QPushButton>
#include <QSignalSpy>
#include <QStateMachine>
#include <QVBoxLayout>

using namespace QMWidgets;

namespace {

struct SwitchParts
{
    CheckButton *icon = nullptr;
    QPushButton *handle = nullptr;
    QPushButton *onArea = nullptr;
    QPushButton *offArea = nullptr;
};

SwitchParts partsOf(AniSwitch &sw)
{
    SwitchParts p;
    p.icon = sw.findChild<CheckButton *>(QStringLiteral("AniSwitchIcon"));
    p.handle = sw.findChild<QPushButton *>(QStringLiteral("AniSwitchHandler"));
    p.onArea = sw.findChild<QPushButton *>(QStringLiteral("AniSwitchOnArea"));
    p.offArea = sw.findChild<QPushButton *>(QStringLiteral("AniSwitchOffArea"));
    return p;
}

bool machineRunning(AniSwitch &sw)
{
    QStateMachine *machine = sw.findChild<QStateMachine *>();
    return machine && machine->isRunning();
}

} // namespace

class TestSwitches : public QObject
{
    Q_OBJECT

private slots:
    void checkButtonReportsCodeAndUserChanges();
    void switchSizesItsParts_data();
    void switchSizesItsParts();
    void switchStartsOnWhenAsked();
    void eachControlTogglesOnce_data();
    void eachControlTogglesOnce();
    void switchBeforeSetupIsOffAndInert();
    void switchSetBeforeMachineRunsStartsThere();
    void searchClearButtonFollowsText();
    void searchEscapeClears();
    void searchEscapeClearsOnlyTheFocusedField_data();
    void searchEscapeClearsOnlyTheFocusedField();
    void searchHintOnlyWithoutFocus();
    void screenLockerLocksAndReleasesForGood();
    void screenLockerReleasesOnlyByVisibleButton_data();
    void screenLockerReleasesOnlyByVisibleButton();
    void listItemKeyIsNotCopied();
};

void TestSwitches::checkButtonReportsCodeAndUserChanges()
{
    CheckButton button(nullptr);
    QVERIFY(button.isCheckable());
    QSignalSpy on(&button, SIGNAL(onClicked()));
    QSignalSpy off(&button, SIGNAL(offClicked()));

    button.setChecked(true);
    button.setChecked(true);
    QCOMPARE(on.count(), 1);
    button.click();
    QCOMPARE(off.count(), 1);
    button.click();
    QCOMPARE(on.count(), 2);
}

void TestSwitches::switchSizesItsParts_data()
{
    QTest::addColumn<bool>("showIcon");
    QTest::addColumn<QSize>("handleSize");
    QTest::addColumn<int>("onX");

    QTest::newRow("with icon") << true << QSize(35, 30) << 35;
    QTest::newRow("without icon") << false << QSize(50, 30) << 50;
}

void TestSwitches::switchSizesItsParts()
{
    QFETCH(bool, showIcon);
    QFETCH(QSize, handleSize);
    QFETCH(int, onX);

    AniSwitch sw(nullptr);
    sw.resize(100, 30);
    sw.setup(showIcon, false);
    sw.setup(!showIcon, true); // a second setup changes nothing
    sw.show();
    SwitchParts p = partsOf(sw);
    QVERIFY(p.icon && p.handle && p.onArea && p.offArea);
    QCOMPARE(sw.findChildren<QPushButton *>(QStringLiteral("AniSwitchHandler")).count(), 1);

    QCOMPARE(p.icon->size(), QSize(30, 30));
    QCOMPARE(p.icon->isHidden(), !showIcon);
    QCOMPARE(p.handle->size(), handleSize);
    QTRY_VERIFY(machineRunning(sw));
    QCOMPARE(p.handle->pos(), QPoint(0, 0));
    QVERIFY(!sw.isOn());

    sw.setOn(true);
    QTRY_COMPARE(p.handle->pos(), QPoint(onX, 0));
    QVERIFY(sw.isOn());
    sw.slotSetOff();
    QTRY_COMPARE(p.handle->pos(), QPoint(0, 0));
    QVERIFY(!sw.isOn());
}

void TestSwitches::switchStartsOnWhenAsked()
{
    AniSwitch sw(nullptr);
    sw.resize(100, 30);
    QSignalSpy toggled(&sw, SIGNAL(toggled(bool)));
    sw.setup(true, true);
    sw.show();
    SwitchParts p = partsOf(sw);

    QTRY_VERIFY(sw.isOn());
    QTRY_COMPARE(p.handle->pos(), QPoint(35, 0));
    QCOMPARE(toggled.count(), 1);
    QCOMPARE(toggled.first().first().toBool(), true);

    sw.setOn(true);
    QTest::qWait(20);
    QCOMPARE(toggled.count(), 1);
}

void TestSwitches::eachControlTogglesOnce_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("handle") << "AniSwitchHandler";
    QTest::newRow("exposed area") << "AniSwitchOffArea";
    QTest::newRow("icon") << "AniSwitchIcon";
}

void TestSwitches::eachControlTogglesOnce()
{
    QFETCH(QString, control);

    AniSwitch sw(nullptr);
    sw.resize(100, 30);
    sw.setup(true, false);
    sw.show();
    SwitchParts p = partsOf(sw);
    QTRY_VERIFY(machineRunning(sw));
    QCOMPARE(p.handle->pos(), QPoint(0, 0));
    QSignalSpy toggled(&sw, SIGNAL(toggled(bool)));
    QAbstractButton *target = sw.findChild<QAbstractButton *>(control);
    QVERIFY(target);

    target->click();

    QTRY_COMPARE(p.handle->pos(), QPoint(35, 0));
    QCOMPARE(toggled.count(), 1);
    QCOMPARE(toggled.first().first().toBool(), true);
    QVERIFY(sw.isOn());

    // back again with the control that is exposed now
    (control == QLatin1String("AniSwitchOffArea") ? p.onArea : target)->click();
    QTRY_COMPARE(p.handle->pos(), QPoint(0, 0));
    QCOMPARE(toggled.count(), 2);
    QCOMPARE(toggled.last().first().toBool(), false);
}

void TestSwitches::switchBeforeSetupIsOffAndInert()
{
    AniSwitch sw(nullptr);
    QSignalSpy toggled(&sw, SIGNAL(toggled(bool)));
    sw.setOn(true);
    sw.slotSetOn();
    QVERIFY(!sw.isOn());
    QCOMPARE(toggled.count(), 0);
}

void TestSwitches::switchSetBeforeMachineRunsStartsThere()
{
    AniSwitch sw(nullptr);
    sw.resize(100, 30);
    sw.setup(true, false);
    QSignalSpy toggled(&sw, SIGNAL(toggled(bool)));

    sw.setOn(true); // the machine has not started yet

    sw.show();
    QTRY_VERIFY(machineRunning(sw));
    QTRY_COMPARE(partsOf(sw).handle->pos(), QPoint(35, 0));
    QVERIFY(sw.isOn());
    QCOMPARE(toggled.count(), 1);

    sw.setOn(false);
    QTRY_COMPARE(partsOf(sw).handle->pos(), QPoint(0, 0));
    QCOMPARE(toggled.count(), 2);
}

void TestSwitches::searchClearButtonFollowsText()
{
    SearchFilter filter(nullptr);
    QPushButton *clearButton = filter.findChild<QPushButton *>(QStringLiteral("SearchFilterDel"));
    QVERIFY(clearButton);
    QCOMPARE(filter.objectName(), QStringLiteral("SearchFilter"));

    // changes while the field is off screen must not leave the button on
    filter.setText(QStringLiteral("abc"));
    filter.setText(QString());
    filter.show();
    QVERIFY(!clearButton->isVisible());

    filter.setText(QStringLiteral("a"));
    QVERIFY(clearButton->isVisible());
    filter.setText(QStringLiteral("ab"));
    QVERIFY(clearButton->isVisible());
    filter.backspace();
    filter.backspace();
    QVERIFY(!clearButton->isVisible());

    filter.setText(QStringLiteral("abc"));
    clearButton->click();
    QVERIFY(filter.text().isEmpty());
    QVERIFY(!clearButton->isVisible());
}

void TestSwitches::searchEscapeClears()
{
    SearchFilter filter(nullptr);
    filter.show();
    filter.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&filter));
    filter.setFocus();
    filter.setText(QStringLiteral("needle"));

    QTest::keyClick(&filter, Qt::Key_Escape);

    QVERIFY(filter.text().isEmpty());
    QVERIFY(!filter.findChild<QPushButton *>(QStringLiteral("SearchFilterDel"))->isVisible());
}

void TestSwitches::searchEscapeClearsOnlyTheFocusedField_data()
{
    QTest::addColumn<int>("focused");
    QTest::newRow("first") << 0;
    QTest::newRow("second") << 1;
}

void TestSwitches::searchEscapeClearsOnlyTheFocusedField()
{
    QFETCH(int, focused);

    // arrange: two search fields in one window
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    SearchFilter *filters[2] = {new SearchFilter, new SearchFilter};
    for (SearchFilter *filter : filters) {
        layout->addWidget(filter);
        filter->setText(QStringLiteral("needle"));
    }
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    filters[focused]->setFocus();

    // act
    QTest::keyClick(filters[focused], Qt::Key_Escape);

    // assert
    QVERIFY(filters[focused]->text().isEmpty());
    QCOMPARE(filters[1 - focused]->text(), QStringLiteral("needle"));
}

void TestSwitches::searchHintOnlyWithoutFocus()
{
    QWidget window;
    SearchFilter *filter = new SearchFilter(&window);
    QPushButton *other = new QPushButton(&window);
    other->move(0, 40);
    // The hint takes the placeholder colour, which the sheet's text colour sets.
    filter->setStyleSheet(QStringLiteral("background: black; color: white; border: none;"));
    filter->setGeometry(0, 0, 160, 24);
    window.resize(200, 80);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    auto whiteInLeftHalf = [filter]() {
        const QImage image = filter->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 4; x < image.width() / 2; ++x) // the text cursor sits left of x = 4
                if (image.pixelColor(x, y).lightness() > 200)
                    ++count;
        return count;
    };

    other->setFocus();
    QVERIFY(!filter->hasFocus());
    QVERIFY(whiteInLeftHalf() > 10);

    filter->setFocus();
    QVERIFY(filter->hasFocus());
    QCOMPARE(whiteInLeftHalf(), 0);

    other->setFocus();
    filter->setText(QStringLiteral("   "));
    QCOMPARE(whiteInLeftHalf(), 0);
}

void TestSwitches::screenLockerLocksAndReleasesForGood()
{
    ScreenLocker locker(nullptr);
    QSignalSpy unlocked(&locker, SIGNAL(unlocked()));

    // nothing locks until asked, however long the event loop runs
    QTest::qWait(60); // several check periods
    QVERIFY(!locker.isVisible());
    QVERIFY(!locker.isLocked());

    locker.slotLock();
    QTest::qWait(30);
    QVERIFY(locker.isVisible());
    QVERIFY(locker.isFullScreen());
    QVERIFY(locker.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(locker.isLocked());

    locker.showUnlockButton();
    QPushButton *unlock = locker.findChild<QPushButton *>();
    QVERIFY(unlock);
    QCOMPARE(unlock->text(), QStringLiteral("Unlock"));
    unlock->click();

    QCOMPARE(unlocked.count(), 1);
    QTest::qWait(60); // several check periods
    QVERIFY(!locker.isVisible());
    QVERIFY(!locker.isLocked());

    locker.slotLock();
    QVERIFY(locker.isVisible());
    QVERIFY(locker.isLocked());
    locker.slotReleaseInputDevices();
    QCOMPARE(unlocked.count(), 2);
}

void TestSwitches::screenLockerReleasesOnlyByVisibleButton_data()
{
    QTest::addColumn<bool>("buttonShown");
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<bool>("released");

    QTest::newRow("hidden button, click") << false << false << false;
    QTest::newRow("hidden button, space") << false << true << false;
    QTest::newRow("shown button, click") << true << false << true;
    QTest::newRow("shown button, space") << true << true << true;
}

void TestSwitches::screenLockerReleasesOnlyByVisibleButton()
{
    QFETCH(bool, buttonShown);
    QFETCH(bool, byKey);
    QFETCH(bool, released);

    // arrange: locked; the button takes the input grabs whether shown or not
    ScreenLocker locker(nullptr);
    if (buttonShown)
        locker.showUnlockButton();
    locker.slotLock();
    QSignalSpy unlocked(&locker, SIGNAL(unlocked()));
    QPushButton *unlock = locker.findChild<QPushButton *>();
    QVERIFY(unlock);
    QCOMPARE(unlock->isVisible(), buttonShown);

    // act: input reaches the button
    if (byKey)
        QTest::keyClick(unlock, Qt::Key_Space);
    else
        QTest::mouseClick(unlock, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::qWait(30);

    // assert
    QCOMPARE(unlocked.count(), released ? 1 : 0);
    QCOMPARE(locker.isLocked(), !released);
    QCOMPARE(locker.isVisible(), !released);

    // code always ends the lock
    if (!released) {
        locker.slotReleaseInputDevices();
        QVERIFY(!locker.isLocked());
        QCOMPARE(unlocked.count(), 1);
    }
}

void TestSwitches::listItemKeyIsNotCopied()
{
    ListWidgetItem keyed(QStringLiteral("text"));
    keyed.setKey(QStringLiteral("k1"));
    QCOMPARE(keyed.key(), QStringLiteral("k1"));

    ListWidgetItem copy(keyed);
    const QListWidgetItem &asBase = keyed;
    ListWidgetItem fromBase(asBase);

    QCOMPARE(copy.text(), QStringLiteral("text"));
    QVERIFY(copy.key().isEmpty());
    QCOMPARE(fromBase.text(), QStringLiteral("text"));
    QVERIFY(fromBase.key().isEmpty());
}

GLYPH_TEST_MAIN(TestSwitches)
#include "tst_switches.moc"
