#include "app.h"
#include "bubblewindow.h"
#include "testmain.h"

#include <QPropertyAnimation>
#include <QSignalSpy>

using QMWidgets::BubbleWindow;

namespace {

// The bubble as painted over a transparent ground.
QImage rendered(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

} // namespace

class TestBubble : public QObject
{
    Q_OBJECT

private slots:
    void outlinePoints_data()
    {
        QTest::addColumn<qreal>("width");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QPointF>("apex");
        QTest::addColumn<QPointF>("baseLeft");
        QTest::addColumn<QPointF>("baseRight");
        QTest::newRow("top") << 200.0 << false << QPointF(100, 0) << QPointF(80, 20) << QPointF(120, 20);
        QTest::newRow("bottom") << 200.0 << true << QPointF(100, 100) << QPointF(80, 80) << QPointF(120, 80);
        QTest::newRow("odd width") << 201.0 << false << QPointF(100.5, 0) << QPointF(80.5, 20)
                                   << QPointF(120.5, 20);
    }

    void outlinePoints()
    {
        QFETCH(qreal, width);
        QFETCH(bool, down);
        QFETCH(QPointF, apex);
        QFETCH(QPointF, baseLeft);
        QFETCH(QPointF, baseRight);
        const QPolygonF p = BubbleWindow::outline(width, 100, down);
        QCOMPARE(p.size(), down ? 7 : 11);
        const int a = down ? 4 : 3;
        QCOMPARE(p.at(a), apex);
        QCOMPARE(p.at(down ? a + 1 : a - 1), baseLeft);
        QCOMPARE(p.at(down ? a - 1 : a + 1), baseRight);
        QCOMPARE(p.boundingRect(), QRectF(0, 0, width, 100));
    }

    void constructionMakesFramelessTranslucentTool()
    {
        BubbleWindow bubble(nullptr, Qt::red);
        QVERIFY(bubble.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(bubble.windowType(), Qt::Tool);
        QVERIFY(bubble.testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(bubble.isHidden());
    }

    void colourAndPointerSideTakeEffectOnNextPaint()
    {
        // arrange
        BubbleWindow bubble(nullptr, Qt::red);
        bubble.resize(200, 100);
        // act, assert: pointer on top leaves the top corners clear
        QImage image = rendered(&bubble);
        QCOMPARE(QColor(image.pixel(100, 10)), QColor(Qt::red));
        QCOMPARE(qAlpha(image.pixel(10, 10)), 0);
        QCOMPARE(QColor(image.pixel(10, 50)), QColor(Qt::red));

        bubble.setPointerDown(true);
        bubble.setColor(Qt::blue);
        image = rendered(&bubble);
        QCOMPARE(QColor(image.pixel(10, 10)), QColor(Qt::blue));
        QCOMPARE(qAlpha(image.pixel(10, 90)), 0);
        QCOMPARE(QColor(image.pixel(100, 90)), QColor(Qt::blue));
    }

    void pressOnBubbleHidesIt()
    {
        BubbleWindow bubble(nullptr, Qt::red);
        bubble.resize(200, 100);
        bubble.show();
        QTest::mousePress(&bubble, Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
        QVERIFY(bubble.isHidden());
    }

    void pressElsewhereHidesOnlyAfterHideOnAnyClick()
    {
        // arrange
        BubbleWindow bubble(nullptr, Qt::red);
        bubble.resize(200, 100);
        QWidget other;
        other.resize(100, 100);
        other.show();
        bubble.show();
        // act, assert
        QTest::mousePress(&other, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(bubble.isVisible());
        QVERIFY(bubble.hideOnAnyClick());
        QVERIFY(bubble.hideOnAnyClick()); // a second call adds no second connection
        QTest::mousePress(&other, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(bubble.isHidden());
    }

    void focusChangeHidesUnlessBubbleIsActive()
    {
        BubbleWindow bubble(nullptr, Qt::red);
        bubble.resize(200, 100);
        QWidget other;
        other.show();
        bubble.show();

        QApplication::setActiveWindow(&bubble);
        bubble.slotFocusChanged(nullptr, nullptr);
        QVERIFY(bubble.isVisible());

        QApplication::setActiveWindow(&other);
        bubble.slotFocusChanged(nullptr, nullptr);
        QVERIFY(bubble.isHidden());
    }

    void animationsStartOnShowAndHideAndMaySafelyVanish()
    {
        BubbleWindow bubble(nullptr, Qt::red);
        auto *showing = new QPropertyAnimation(&bubble, "windowOpacity");
        showing->setDuration(10000);
        showing->setEndValue(1.0);
        auto *hiding = new QPropertyAnimation(&bubble, "windowOpacity");
        hiding->setDuration(10000);
        hiding->setEndValue(0.5);
        bubble.setShowAnimation(showing);
        bubble.setHideAnimation(hiding);

        bubble.show();
        QCOMPARE(showing->state(), QAbstractAnimation::Running);
        QCOMPARE(hiding->state(), QAbstractAnimation::Stopped);
        bubble.hide();
        QCOMPARE(hiding->state(), QAbstractAnimation::Running);

        delete showing;
        delete hiding;
        bubble.show(); // the destroyed animations are skipped
        bubble.hide();
        QVERIFY(bubble.isHidden());
    }
};

GLYPH_APP_TEST_MAIN(TestBubble, QMWidgets::App)
#include "tst_bubble.moc"
