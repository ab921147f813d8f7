#include "advancedlabel.h"
#include "comboboxfilter.h"
#include "mobilesimulator.h"
#include "testmain.h"

#include <QLabel>
#include <QLayout>
#include <QSignalSpy>

using namespace QMWidgets;

namespace {

QImage rendered(QWidget *widget, const QColor &ground = Qt::white)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(ground);
    widget->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

QPixmap grey(int level)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(QColor(level, level, level));
    return pixmap;
}

} // namespace

class TestHoverLabel : public QObject
{
    Q_OBJECT

private slots:
    void pictureInsideMarginBrighterOnHover_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("hover");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << 100 << false << 100;
        QTest::newRow("hover adds 30") << 100 << true << 130;
        QTest::newRow("hover clamps at 255") << 240 << true << 255;
    }

    void pictureInsideMarginBrighterOnHover()
    {
        QFETCH(int, level);
        QFETCH(bool, hover);
        QFETCH(int, expected);
        // arrange
        AdvancedLabel label;
        label.resize(60, 40);
        label.setPixmap(grey(level));
        label.setMargin(5);
        // act
        if (hover) {
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(&label, &enter);
        }
        const QImage image = rendered(&label);
        // assert
        QCOMPARE(label.isHovered(), hover);
        QCOMPARE(qRed(image.pixel(30, 20)), expected);
        QCOMPARE(qRed(image.pixel(54, 34)), expected);  // stretched to the margin
        QCOMPARE(image.pixel(2, 2), QColor(Qt::white).rgb()); // margin left clear
        QCOMPARE(image.pixel(57, 37), QColor(Qt::white).rgb());
    }

    void leaveEndsHoverAndRestoresCursor()
    {
        AdvancedLabel label;
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(&label, &enter);
        QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&label, &leave);
        QVERIFY(!label.isHovered());
        QCOMPARE(label.cursor().shape(), Qt::ArrowCursor);
    }

    void oversizedMarginDrawsNoPicture()
    {
        AdvancedLabel label;
        label.resize(20, 20);
        label.setPixmap(grey(0));
        label.setMargin(15);
        const QImage image = rendered(&label);
        QCOMPARE(image.pixel(10, 10), QColor(Qt::white).rgb());
    }

    void pressEmitsClickedOnceBeforeRelease()
    {
        AdvancedLabel label;
        label.resize(40, 40);
        label.show();
        QSignalSpy clicked(&label, SIGNAL(clicked()));
        QTest::mousePress(&label, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(clicked.count(), 1);
        QTest::mouseRelease(&label, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(clicked.count(), 1);
    }

    void simulatorHoldsWidgetsInItsLayout()
    {
        MobileSimulator simulator;
        QCOMPARE(simulator.objectName(), QStringLiteral("MobileSimulator"));
        QVERIFY(!simulator.widget());
        auto *first = new QLabel;
        auto *second = new QLabel;
        simulator.setWidget(first);
        simulator.setWidget(second);
        simulator.setWidget(nullptr);
        QCOMPARE(simulator.widget(), second);
        QCOMPARE(first->parentWidget(), &simulator);
        QCOMPARE(simulator.layout()->count(), 2);
        delete second;
        QVERIFY(!simulator.widget());
    }

    void comboArrowCorners()
    {
        const QPolygonF arrow = ComboBoxFilter::arrow(100, 30);
        QCOMPARE(arrow, QPolygonF({QPointF(93, 23), QPointF(93, 13), QPointF(83, 23)}));
    }

    void comboPaintedFlat()
    {
        // arrange
        QComboBox combo;
        combo.addItem(QStringLiteral("ab"));
        combo.resize(100, 30);
        QPalette palette = combo.palette();
        palette.setColor(QPalette::Base, Qt::yellow);
        palette.setColor(QPalette::Text, Qt::blue);
        combo.setPalette(palette);
        ComboBoxFilter filter;
        combo.installEventFilter(&filter);
        // act
        const QImage image = rendered(&combo);
        // assert
        QCOMPARE(filter.combo(), &combo);
        QCOMPARE(QColor(image.pixel(10, 15)), QColor(Qt::yellow)); // inside the frame
        QCOMPARE(QColor(image.pixel(91, 21)), QColor(Qt::blue));   // inside the arrow
        QCOMPARE(QColor(image.pixel(0, 15)), QColor(Qt::blue));    // frame line
    }

    void filterOnPlainWidgetSuppressesPainting()
    {
        QLabel label; // paints its picture in its own paint event
        QPixmap red(20, 20);
        red.fill(Qt::red);
        label.setPixmap(red);
        label.resize(20, 20);
        QCOMPARE(QColor(rendered(&label).pixel(10, 10)), QColor(Qt::red));

        ComboBoxFilter filter;
        label.installEventFilter(&filter);
        QCOMPARE(QColor(rendered(&label).pixel(10, 10)), QColor(Qt::white));
        QVERIFY(!filter.combo());
    }
};

GLYPH_TEST_MAIN(TestHoverLabel)
#include "tst_hoverlabel.moc"
