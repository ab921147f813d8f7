#include "comboslider.h"
#include "testmain.h"

#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSlider>

using QMWidgets::ComboSlider;

namespace {

QList<int> movedValues(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &args : spy)
        values << args.at(0).toInt();
    return values;
}

QRect handleRect(QSlider *slider)
{
    QStyleOptionSlider opt;
    opt.initFrom(slider);
    opt.orientation = slider->orientation();
    opt.minimum = slider->minimum();
    opt.maximum = slider->maximum();
    opt.sliderPosition = slider->sliderPosition();
    opt.sliderValue = slider->value();
    opt.singleStep = slider->singleStep();
    opt.pageStep = slider->pageStep();
    opt.tickPosition = slider->tickPosition();
    opt.tickInterval = slider->tickInterval();
    opt.upsideDown = slider->invertedAppearance();
    opt.subControls = QStyle::SC_All;
    return slider->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, slider);
}

void dragMove(QWidget *widget, const QPoint &pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

class TestComboSlider : public QObject
{
    Q_OBJECT

private slots:
    void buildsOneRow()
    {
        ComboSlider row(QStringLiteral("Resize"));
        auto *layout = qobject_cast<QHBoxLayout *>(row.layout());
        QVERIFY(layout);
        QCOMPARE(layout->count(), 4);
        QCOMPARE(layout->spacing(), 0);
        QCOMPARE(layout->contentsMargins(), QMargins(0, 0, 0, 0));
        auto *caption = qobject_cast<QLabel *>(layout->itemAt(0)->widget());
        auto *slider = qobject_cast<QSlider *>(layout->itemAt(1)->widget());
        auto *spin = qobject_cast<QSpinBox *>(layout->itemAt(2)->widget());
        auto *suffix = qobject_cast<QLabel *>(layout->itemAt(3)->widget());
        QVERIFY(caption && slider && spin && suffix);
        QCOMPARE(caption->text(), QStringLiteral("Resize"));
        QVERIFY(caption->isVisibleTo(&row));
        QVERIFY(!suffix->isVisibleTo(&row));
        QCOMPARE(slider->orientation(), Qt::Horizontal);
        QCOMPARE(slider->tickPosition(), QSlider::TicksBothSides);
        QCOMPARE(slider->tickInterval(), 20);
        QCOMPARE(slider->maximum(), 99);
        QCOMPARE(spin->maximum(), 99);
        QCOMPARE(row.value(), 0);
    }

    void emptyCaptionShowsOnlySliderAndSpinBox()
    {
        ComboSlider row{QString()};
        const auto labels = row.findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(labels.size(), 2);
        for (QLabel *label : labels)
            QVERIFY(!label->isVisibleTo(&row));
        QVERIFY(row.findChild<QSlider *>()->isVisibleTo(&row));
        QVERIFY(row.findChild<QSpinBox *>()->isVisibleTo(&row));
    }

    void settersReportOnceWithFinalValue_data()
    {
        QTest::addColumn<int>("startMin");
        QTest::addColumn<int>("startMax");
        QTest::addColumn<int>("startValue");
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<QList<int>>("emitted");
        QTest::addColumn<int>("finalValue");
        // The starting state is made before the spy listens.
        QTest::newRow("wider range keeps 0") << 0 << 99 << 0 << "range" << -127 << 128 << QList<int>() << 0;
        QTest::newRow("value clamped to 99") << 0 << 99 << 0 << "value" << 100 << 0 << QList<int>{99} << 99;
        QTest::newRow("value below minimum") << 0 << 99 << 40 << "value" << -5 << 0 << QList<int>{0} << 0;
        QTest::newRow("same value") << 0 << 99 << 40 << "value" << 40 << 0 << QList<int>() << 40;
        QTest::newRow("new value") << -127 << 128 << 0 << "value" << -60 << 0 << QList<int>{-60} << -60;
        // The spin box's old maximum (99) must not show through.
        QTest::newRow("range above value") << 0 << 99 << 50 << "range" << 100 << 200 << QList<int>{100} << 100;
        QTest::newRow("range below value") << 0 << 200 << 150 << "range" << 0 << 100 << QList<int>{100} << 100;
        QTest::newRow("range under old minimum") << 0 << 99 << 50 << "range" << -20 << 10 << QList<int>{10} << 10;
        QTest::newRow("range holding value") << 0 << 99 << 50 << "range" << 0 << 200 << QList<int>() << 50;
        QTest::newRow("inverted range") << 0 << 99 << 50 << "range" << 70 << 60 << QList<int>{70} << 70;
    }
    void settersReportOnceWithFinalValue()
    {
        QFETCH(int, startMin);
        QFETCH(int, startMax);
        QFETCH(int, startValue);
        QFETCH(QString, op);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(QList<int>, emitted);
        QFETCH(int, finalValue);
        // arrange
        ComboSlider row{QString()};
        row.setRange(startMin, startMax);
        row.setValue(startValue);
        QCOMPARE(row.value(), startValue);
        QSignalSpy moved(&row, SIGNAL(sliderMoved(int)));
        // act
        if (op == QLatin1String("range"))
            row.setRange(a, b);
        else
            row.setValue(a);
        // assert
        QCOMPARE(movedValues(moved), emitted);
        QCOMPARE(row.value(), finalValue);
        QCOMPARE(row.findChild<QSlider *>()->value(), finalValue);
        QCOMPARE(row.findChild<QSpinBox *>()->value(), finalValue);
        QCOMPARE(row.findChild<QSpinBox *>()->minimum(), row.findChild<QSlider *>()->minimum());
        QCOMPARE(row.findChild<QSpinBox *>()->maximum(), row.findChild<QSlider *>()->maximum());
    }

    void sliderAndKeyboardReportEveryChange_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        QTest::newRow("slider right") << "slider" << int(Qt::Key_Right) << 1;
        QTest::newRow("slider page up") << "slider" << int(Qt::Key_PageUp) << 10;
        QTest::newRow("slider end") << "slider" << int(Qt::Key_End) << 99;
        QTest::newRow("spin up") << "spin" << int(Qt::Key_Up) << 1;
        QTest::newRow("spin page up") << "spin" << int(Qt::Key_PageUp) << 10;
    }
    void sliderAndKeyboardReportEveryChange()
    {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(int, expected);
        ComboSlider row{QString()};
        QSignalSpy moved(&row, SIGNAL(sliderMoved(int)));
        QWidget *widget = target == QLatin1String("slider")
                              ? static_cast<QWidget *>(row.findChild<QSlider *>())
                              : static_cast<QWidget *>(row.findChild<QSpinBox *>());

        QTest::keyClick(widget, Qt::Key(key));

        QCOMPARE(movedValues(moved), QList<int>{expected});
        QCOMPARE(row.value(), expected);
        QCOMPARE(row.findChild<QSpinBox *>()->value(), expected);
    }

    void typingInSpinBoxMovesSlider()
    {
        ComboSlider row{QString()};
        auto *spin = row.findChild<QSpinBox *>();
        QSignalSpy moved(&row, SIGNAL(sliderMoved(int)));
        QSignalSpy spinChanged(spin, SIGNAL(valueChanged(int)));

        spin->selectAll();
        QTest::keyClicks(spin, QStringLiteral("50"));
        QTest::keyClick(spin, Qt::Key_Return);

        QCOMPARE(row.value(), 50);
        QCOMPARE(row.findChild<QSlider *>()->value(), 50);
        QVERIFY(!moved.isEmpty());
        QCOMPARE(moved.last().at(0).toInt(), 50);
        // One report per change of the spin box, never a repeat.
        QCOMPARE(moved.size(), spinChanged.size());
    }

    void singleStepAppliesToSliderOnly()
    {
        ComboSlider row{QString()};
        row.setSingleStep(5);
        QCOMPARE(row.findChild<QSlider *>()->singleStep(), 5);
        QCOMPARE(row.findChild<QSpinBox *>()->singleStep(), 1);
        row.setTickInterval(7);
        QCOMPARE(row.findChild<QSlider *>()->tickInterval(), 7);
    }

    void suffixShowsAndHides()
    {
        ComboSlider row(QStringLiteral("Size"));
        auto *suffix = qobject_cast<QLabel *>(row.layout()->itemAt(3)->widget());
        row.setSuffix(QStringLiteral("%"));
        QCOMPARE(suffix->text(), QStringLiteral("%"));
        QVERIFY(suffix->isVisibleTo(&row));
        row.setSuffix(QString());
        QVERIFY(!suffix->isVisibleTo(&row));
    }

    void draggingHandleReportsValuesAndRelease()
    {
        // arrange
        ComboSlider row{QString()};
        row.resize(400, 40);
        row.show();
        QVERIFY(QTest::qWaitForWindowExposed(&row));
        auto *slider = row.findChild<QSlider *>();
        QSignalSpy moved(&row, SIGNAL(sliderMoved(int)));
        QSignalSpy released(&row, SIGNAL(sliderReleased()));
        QVERIFY(released.isValid());
        const QPoint start = handleRect(slider).center();
        const QPoint end = start + QPoint(slider->width() / 3, 0);

        // act
        QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, start);
        QVERIFY(slider->isSliderDown());
        QCOMPARE(released.size(), 0);
        for (int x = start.x() + 10; x <= end.x(); x += 10)
            dragMove(slider, QPoint(x, start.y()));
        QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, end);

        // assert
        QCOMPARE(released.size(), 1);
        const QList<int> values = movedValues(moved);
        QVERIFY(values.size() >= 2);
        for (int i = 1; i < values.size(); ++i)
            QVERIFY(values.at(i) > values.at(i - 1));
        QCOMPARE(values.last(), row.value());
        QCOMPARE(row.findChild<QSpinBox *>()->value(), row.value());
        QVERIFY(row.value() > 20);

        // Setting the value is no release.
        row.setValue(5);
        QCOMPARE(released.size(), 1);
    }
};

GLYPH_TEST_MAIN(TestComboSlider)
#include "tst_comboslider.moc"
