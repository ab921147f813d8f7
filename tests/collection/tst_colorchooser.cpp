#include "app.h"
#include "colorwidget.h"
#include "colorwidgetpopup.h"
#include "testmain.h"

#include <QGridLayout>
#include <QPushButton>
#include <QWindow>
#include <QSignalSpy>

using namespace QMWidgets;

class TestColorChooser : public QObject
{
    Q_OBJECT

private slots:
    void newSwatchIsGreenWithHiddenPopup();
    void popupHoldsSixRowsOfEightButtons();
    void pickingReportsGridColour_data();
    void pickingReportsGridColour();
    void pressesToggleThePopupUnderTheSwatch();
    void setColorPaintsWithoutSignal();
    void slotWithoutButtonSenderOnlyHides();
    void leavingThePopupHidesIt();
};

static QPushButton *gridButton(ColorWidgetPopup *popup, int row, int column)
{
    auto *grid = qobject_cast<QGridLayout *>(popup->layout());
    if (!grid || !grid->itemAtPosition(row, column))
        return nullptr;
    return qobject_cast<QPushButton *>(grid->itemAtPosition(row, column)->widget());
}

void TestColorChooser::newSwatchIsGreenWithHiddenPopup()
{
    // arrange / act
    ColorWidget swatch;

    // assert
    QCOMPARE(swatch.color(), QColor(Qt::green));
    QVERIFY(swatch.minimumWidth() >= 10 && swatch.minimumHeight() >= 10);
    QVERIFY(swatch.popup());
    QVERIFY(swatch.popup()->isHidden());
    QVERIFY(!swatch.popup()->isMouseOver());
    QCOMPARE(swatch.popup()->parentWidget(), &swatch);
    QVERIFY(swatch.popup()->windowFlags() & Qt::Popup);
}

void TestColorChooser::popupHoldsSixRowsOfEightButtons()
{
    // arrange
    ColorWidget swatch;
    ColorWidgetPopup *popup = swatch.popup();

    // assert
    QCOMPARE(popup->objectName(), QStringLiteral("ColorWidgetPopup"));
    QCOMPARE(popup->minimumSize(), QSize(30, 15));
    auto *grid = qobject_cast<QGridLayout *>(popup->layout());
    QVERIFY(grid);
    QCOMPARE(grid->rowCount(), 6);
    QCOMPARE(grid->columnCount(), 8);
    QCOMPARE(grid->spacing(), 2);
    QCOMPARE(grid->contentsMargins(), QMargins(5, 5, 5, 5));
    QCOMPARE(popup->findChildren<QPushButton *>().size(), 48);
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 8; ++column) {
            QPushButton *button = gridButton(popup, row, column);
            QVERIFY(button);
            QCOMPARE(button->size(), QSize(20, 20));
            QVERIFY(button->isFlat());
        }
    }
}

void TestColorChooser::pickingReportsGridColour_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QColor>("expected");

    QTest::newRow("white, top left") << 0 << 0 << QColor(255, 255, 255);
    QTest::newRow("light orange") << 0 << 2 << QColor(255, 224, 192);
    QTest::newRow("pure blue") << 2 << 6 << QColor(0, 0, 255);
    QTest::newRow("dark orange") << 3 << 2 << QColor(192, 64, 0);
    QTest::newRow("black, bottom left") << 5 << 0 << QColor(0, 0, 0);
    QTest::newRow("brownish bottom row") << 5 << 2 << QColor(128, 64, 64);
    QTest::newRow("dark magenta, bottom right") << 5 << 7 << QColor(64, 0, 64);
}

void TestColorChooser::pickingReportsGridColour()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QColor, expected);

    // arrange
    ColorWidget swatch;
    swatch.resize(22, 22);
    swatch.show();
    QTest::mouseClick(&swatch, Qt::LeftButton);
    QVERIFY(swatch.popup()->isVisible());
    QSignalSpy spy(&swatch, SIGNAL(colorChanged(QColor)));
    QPushButton *button = gridButton(swatch.popup(), row, column);
    QVERIFY(button);

    // act
    QTest::mouseClick(button, Qt::LeftButton);

    // assert
    QCOMPARE(spy.count(), 1);
    const QColor reported = spy.at(0).at(0).value<QColor>();
    QCOMPARE(reported, expected);
    QCOMPARE(reported.alpha(), 255);
    QCOMPARE(swatch.color(), expected);
    QVERIFY(swatch.popup()->isHidden());
}

void TestColorChooser::pressesToggleThePopupUnderTheSwatch()
{
    // arrange
    QWidget window;
    window.resize(200, 100);
    auto *swatch = new ColorWidget(&window);
    swatch->setGeometry(30, 40, 22, 22);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // act
    QTest::mouseClick(swatch, Qt::LeftButton);

    // assert
    QVERIFY(swatch->popup()->isVisible());
    // The popup's frame (if the platform draws one) starts at the swatch's
    // bottom-left corner.
    const QPoint bottomLeft = swatch->mapToGlobal(QPoint(0, 0)) + QPoint(0, swatch->height());
    const QMargins frame = swatch->popup()->windowHandle()->frameMargins();
    QCOMPARE(swatch->popup()->geometry().topLeft() - QPoint(frame.left(), frame.top()), bottomLeft);

    // act: a second press closes it
    QTest::mouseClick(swatch, Qt::LeftButton);
    QVERIFY(swatch->popup()->isHidden());
}

void TestColorChooser::setColorPaintsWithoutSignal()
{
    // arrange
    ColorWidget swatch;
    swatch.resize(22, 22);
    QSignalSpy spy(&swatch, SIGNAL(colorChanged(QColor)));
    const QPoint probe(11, 6);
    const QColor before = swatch.grab().toImage().pixelColor(probe);

    // act
    swatch.setColor(Qt::red);

    // assert: the painted swatch turned from mostly green to mostly red
    const QColor after = swatch.grab().toImage().pixelColor(probe);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(swatch.color(), QColor(Qt::red));
    QVERIFY(before.green() > before.red());
    QVERIFY(after.red() > after.green());
}

void TestColorChooser::slotWithoutButtonSenderOnlyHides()
{
    // arrange
    ColorWidget swatch;
    swatch.show();
    QTest::mouseClick(&swatch, Qt::LeftButton);
    QVERIFY(swatch.popup()->isVisible());
    QSignalSpy spy(swatch.popup(), SIGNAL(colorChanged(QColor)));

    // act
    QMetaObject::invokeMethod(swatch.popup(), "slotColorChanged");

    // assert
    QCOMPARE(spy.count(), 0);
    QVERIFY(swatch.popup()->isHidden());
    QCOMPARE(swatch.color(), QColor(Qt::green));
}

void TestColorChooser::leavingThePopupHidesIt()
{
    // arrange
    ColorWidget swatch;
    swatch.show();
    QTest::mouseClick(&swatch, Qt::LeftButton);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(swatch.popup(), &enter);
    QVERIFY(swatch.popup()->isMouseOver());

    // act
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(swatch.popup(), &leave);

    // assert
    QVERIFY(!swatch.popup()->isMouseOver());
    QVERIFY(swatch.popup()->isHidden());
}

GLYPH_APP_TEST_MAIN(TestColorChooser, QMWidgets::App)

#include "tst_colorchooser.moc"
