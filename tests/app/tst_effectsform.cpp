#include "app.h"
#include "comboslider.h"
#include "effectsform.h"
#include "idle.h"
#include "imagekernel.h"
#include "testmain.h"

#include <QComboBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QThreadPool>
#include <QWheelEvent>

#include <time.h>

namespace {

enum Row { Brightness, Contrast, Resize, Format, Compression };

// Records the form's signals as "pixmap WxH" / "pixmap null", "format:<text>" and "real".
struct Recorder
{
    QStringList events;
    QPixmap lastPixmap;

    explicit Recorder(CreatorEffects *form)
    {
        QObject::connect(form, &CreatorEffects::pixmapChanged, [this](const QPixmap &p) {
            lastPixmap = p;
            events << (p.isNull() ? QStringLiteral("pixmap null")
                                  : QStringLiteral("pixmap %1x%2").arg(p.width()).arg(p.height()));
        });
        QObject::connect(form, &CreatorEffects::formatChanged,
                         [this](const QString &f) { events << QStringLiteral("format:") + f; });
        QObject::connect(form, &CreatorEffects::realPreview, [this] { events << QStringLiteral("real"); });
    }
};

QWidget *field(CreatorEffects *form, int row)
{
    auto *layout = qobject_cast<QFormLayout *>(form->layout());
    return layout ? layout->itemAt(row, QFormLayout::FieldRole)->widget() : nullptr;
}

QMWidgets::ComboSlider *slider(CreatorEffects *form, int row)
{
    return qobject_cast<QMWidgets::ComboSlider *>(field(form, row));
}

QComboBox *combo(CreatorEffects *form, int row)
{
    return qobject_cast<QComboBox *>(field(form, row));
}

QPixmap solid(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return QPixmap::fromImage(image);
}

QRect handleRect(QSlider *s)
{
    QStyleOptionSlider opt;
    opt.initFrom(s);
    opt.orientation = s->orientation();
    opt.minimum = s->minimum();
    opt.maximum = s->maximum();
    opt.tickPosition = s->tickPosition();
    opt.tickInterval = s->tickInterval();
    opt.upsideDown = s->invertedAppearance();
    opt.direction = s->layoutDirection();
    opt.sliderPosition = s->sliderPosition();
    opt.sliderValue = s->value();
    opt.singleStep = s->singleStep();
    opt.pageStep = s->pageStep();
    opt.subControls = QStyle::SC_All;
    return s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, s);
}

double cpuMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

void sendMouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, w->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

class TestEffectsForm : public QObject
{
    Q_OBJECT

private slots:
    void startsDisabledWithItsStartValues()
    {
        CreatorEffects form;

        for (int row = Brightness; row <= Compression; ++row) {
            QVERIFY2(!field(&form, row)->isEnabled(), qPrintable(QString::number(row)));
            auto *layout = qobject_cast<QFormLayout *>(form.layout());
            QVERIFY(!layout->itemAt(row, QFormLayout::LabelRole)->widget()->isEnabled());
        }
        QCOMPARE(slider(&form, Brightness)->value(), 0);
        QCOMPARE(slider(&form, Contrast)->value(), 0);
        QCOMPARE(slider(&form, Resize)->value(), 100);
        QCOMPARE(combo(&form, Format)->currentText(), QStringLiteral("PNG"));
        QCOMPARE(combo(&form, Compression)->currentText(), QStringLiteral("Average"));
        // The brightness and contrast ranges are -127 to 128 on slider and spin box.
        for (int row : {Brightness, Contrast}) {
            QCOMPARE(slider(&form, row)->findChild<QSlider *>()->minimum(), -127);
            QCOMPARE(slider(&form, row)->findChild<QSpinBox *>()->maximum(), 128);
        }
        QCOMPARE(slider(&form, Resize)->findChild<QSlider *>()->maximum(), 100);
        QCOMPARE(slider(&form, Resize)->findChild<QSlider *>()->minimum(), 0);
    }

    void newImageEmitsPixmapThenRealPreviewAndNoFormat()
    {
        CreatorEffects form;
        Recorder rec(&form);

        form.setImage(solid(4, 3, 0xff102030));

        QCOMPARE(rec.events, QStringList({"pixmap 4x3", "real"}));
        QVERIFY(slider(&form, Brightness)->isEnabled());
        QVERIFY(combo(&form, Format)->isEnabled());
        QVERIFY(!combo(&form, Compression)->isEnabled()); // PNG has no compression choice
    }

    void valueStepsBringOneRealPreview_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("events");
        const QStringList twoSteps = {"pixmap 200x100", "pixmap 200x100", "real"};
        QTest::newRow("resize, arrow keys") << int(Resize) << "keys" << QStringList{"pixmap 198x99", "pixmap 196x98", "real"};
        QTest::newRow("resize, 10 typed in the number box")
            << int(Resize) << "type 10" << QStringList{"pixmap 2x1", "pixmap 20x10", "real"};
        QTest::newRow("resize, 0 typed in the number box")
            << int(Resize) << "type 0" << QStringList{"pixmap null", "real"};
        QTest::newRow("brightness, wheel") << int(Brightness) << "wheel" << twoSteps;
        QTest::newRow("brightness, number box arrows") << int(Brightness) << "spin" << twoSteps;
        QTest::newRow("contrast, arrow keys") << int(Contrast) << "keys" << twoSteps;
        QTest::newRow("resize, arrow key held down past the repeat delay")
            << int(Resize) << "held" << QStringList{"pixmap 198x99", "pixmap 196x98", "pixmap 194x97", "real"};
    }

    void valueStepsBringOneRealPreview()
    {
        QFETCH(int, row);
        QFETCH(QString, how);
        QFETCH(QStringList, events);
        // arrange
        CreatorEffects form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.setImage(solid(200, 100, 0xff808080));
        QSlider *inner = slider(&form, row)->findChild<QSlider *>();
        QSpinBox *spin = slider(&form, row)->findChild<QSpinBox *>();
        Recorder rec(&form);

        // act: two quick steps, as keys, the wheel or the number box give them
        if (how == "keys") {
            QTest::keyClick(inner, row == Resize ? Qt::Key_Left : Qt::Key_Right);
            QTest::keyClick(inner, row == Resize ? Qt::Key_Left : Qt::Key_Right);
        } else if (how == "wheel") {
            for (int i = 0; i < 2; ++i) {
                QWheelEvent wheel(QPointF(5, 5), QPointF(inner->mapToGlobal(QPoint(5, 5))), QPoint(),
                                  QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                                  false);
                QApplication::sendEvent(inner, &wheel);
            }
        } else if (how == "held") {
            // Pressed, held longer than the wait after a step, then repeated
            // twice (the platform sends a release and a press marked
            // auto-repeated for each repeat) and let go.
            QTest::keyPress(inner, Qt::Key_Left);
            QTest::qWait(600);
            for (int i = 0; i < 2; ++i) {
                QKeyEvent up(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, QString(), true);
                QApplication::sendEvent(inner, &up);
                QKeyEvent down(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier, QString(), true);
                QApplication::sendEvent(inner, &down);
            }
            QTest::keyRelease(inner, Qt::Key_Left);
        } else if (how == "spin") {
            spin->stepUp();
            spin->stepUp();
        } else {
            spin->setFocus();
            spin->selectAll();
            QTest::keyClicks(spin, how.mid(5));
        }
        Idle::waitUntil([&rec] { return rec.events.contains("real"); });
        // A quiet spell after it: a preview timer left repeating would ask again.
        QTest::qWait(600);

        // assert: a pixmap for every step, then the encoded preview once, as a
        // released handle asks for it
        QCOMPARE(rec.events, events);
    }

    void workerPixmapsFollowTheValuesToTheLast_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("steps");  // "<row> <value>; ...", or "image" for a new picture
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QRgb>("pixel");
        const int argb = QImage::Format_ARGB32;
        QTest::newRow("new picture: its pixmap, then the encoded preview asked meanwhile")
            << argb << "image" << QStringList({"pixmap 1200x1000", "real"}) << qRgb(100, 50, 127);
        QTest::newRow("resize 50, then 25: the one running is shown, then the newer")
            << argb << "2 50; 2 25" << QStringList({"pixmap 600x500", "pixmap 300x250", "real"})
            << qRgb(100, 50, 127);
        QTest::newRow("resize 50, 40, then 25: the newest is processed next")
            << argb << "2 50; 2 40; 2 25" << QStringList({"pixmap 600x500", "pixmap 300x250", "real"})
            << qRgb(100, 50, 127);
        QTest::newRow("brightness 10, then contrast 128")
            << argb << "0 10; 1 128" << QStringList({"pixmap 1200x1000", "pixmap 1200x1000", "real"})
            << qRgb(220, 120, 255);
        QTest::newRow("opaque, resize 50, then back to 100: the picture itself, nothing after")
            << int(QImage::Format_RGB32) << "2 50; 2 100" << QStringList({"pixmap 1200x1000", "real"})
            << qRgb(100, 50, 127);
    }

    void workerPixmapsFollowTheValuesToTheLast()
    {
        QFETCH(int, format);
        QFETCH(QString, steps);
        QFETCH(QStringList, events);
        QFETCH(QRgb, pixel);
        // arrange: a picture large enough to be processed on a worker
        CreatorEffects form;
        const QImage picture = solid(1200, 1000, qRgb(100, 50, 127)).toImage().convertToFormat(
            QImage::Format(format));
        Recorder loaded(&form);
        if (steps != "image") {
            form.setImage(picture);
            QVERIFY(Idle::waitUntil([&loaded] { return loaded.events.contains("real"); }, 60000));
        }
        Recorder rec(&form);

        // act: each value comes while the one before is being processed
        if (steps == "image") {
            form.setImage(picture);
        } else {
            for (const QString &step : steps.split("; ")) {
                const QStringList rowAndValue = step.split(' ');
                slider(&form, rowAndValue.at(0).toInt())->setValue(rowAndValue.at(1).toInt());
            }
        }
        QVERIFY(Idle::waitUntil([&rec] { return rec.events.contains("real"); }, 60000));
        QVERIFY(Idle::settle());

        // assert: the pixmaps the work allowed, the last one of the last
        // values, then the encoded preview once
        QCOMPARE(rec.events, events);
        QCOMPARE(QString::number(rec.lastPixmap.toImage().pixel(7, 7), 16), QString::number(pixel, 16));
        QVERIFY(!form.isProcessing());
    }

    void workerScaleIsSpreadOverThePool()
    {
        QThreadPool *pool = QThreadPool::globalInstance();
        if (pool->maxThreadCount() < 2)
            QSKIP("the global pool has a single thread");
        // arrange: a picture over the form's inline limit, and its scale made here
        QVERIFY(Idle::settle());
        QImage picture(2000, 1500, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 251));
        const QImage expected = ImageKernel::process(picture, 0, 0, 90);

        // act: the same scale from a thread of the global pool, where the form's worker runs
        QImage result;
        double workerCpu = 0;
        double allCpu = 0;
        pool->start([&] {
            const double worker = cpuMs(CLOCK_THREAD_CPUTIME_ID);
            const double all = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
            result = ImageKernel::process(picture, 0, 0, 90);
            workerCpu = cpuMs(CLOCK_THREAD_CPUTIME_ID) - worker;
            allCpu = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - all;
        });
        pool->waitForDone();

        // assert: the same pixels, and the worker's thread did not scale them
        // alone (the scale there would take one core, several times as long)
        QVERIFY(result == expected);
        QVERIFY2(workerCpu < allCpu / 2,
                 qPrintable(QStringLiteral("worker %1 ms of %2 ms").arg(workerCpu).arg(allCpu)));
    }

    void draggingHandleEmitsPixmapsAndReleaseRealPreview()
    {
        // arrange
        CreatorEffects form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.setImage(solid(10, 10, 0xff808080));
        QSlider *inner = slider(&form, Resize)->findChild<QSlider *>();
        const QPoint start = handleRect(inner).center();
        Recorder rec(&form);

        // act: grab the handle at 100 % and pull it to the left in two moves
        sendMouse(inner, QEvent::MouseButtonPress, start, Qt::LeftButton);
        sendMouse(inner, QEvent::MouseMove, start - QPoint(inner->width() / 4, 0), Qt::LeftButton);
        sendMouse(inner, QEvent::MouseMove, start - QPoint(inner->width() / 2, 0), Qt::LeftButton);
        // held still a while, the event loop running: a drag asks for nothing
        // before its release, however long it lasts
        QTest::qWait(500);
        sendMouse(inner, QEvent::MouseButtonRelease, start - QPoint(inner->width() / 2, 0), Qt::NoButton);

        // assert
        QVERIFY2(rec.events.size() == 3, qPrintable(rec.events.join(", ")));
        QVERIFY(rec.events.at(0).startsWith("pixmap"));
        QVERIFY(rec.events.at(1).startsWith("pixmap"));
        QCOMPARE(rec.events.at(2), QStringLiteral("real"));
        QVERIFY(slider(&form, Resize)->value() < 100);
        QCOMPARE(rec.lastPixmap.width(), qRound(10 * slider(&form, Resize)->value() / 100.0));
    }

    void formatStringCarriesFormatAndCompressionIndex_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("compression");
        QTest::addColumn<QString>("expected");
        QTest::newRow("PNG high") << "PNG" << 0 << "PNG;0";
        QTest::newRow("PNG average") << "PNG" << 1 << "PNG;1";
        QTest::newRow("PNG low") << "PNG" << 2 << "PNG;2";
        QTest::newRow("JPG high") << "JPG" << 0 << "JPG;0";
        QTest::newRow("JPG average") << "JPG" << 1 << "JPG;1";
        QTest::newRow("JPG low") << "JPG" << 2 << "JPG;2";
    }

    void formatStringCarriesFormatAndCompressionIndex()
    {
        QFETCH(QString, format);
        QFETCH(int, compression);
        QFETCH(QString, expected);
        // arrange: the other format first, then the compression
        CreatorEffects form;
        form.setImage(solid(2, 2, 0xff000000));
        combo(&form, Format)->setCurrentText(format == "PNG" ? "JPG" : "PNG");
        combo(&form, Compression)->setCurrentIndex(compression);
        Recorder rec(&form);

        // act
        combo(&form, Format)->setCurrentText(format);

        // assert
        QCOMPARE(rec.events, QStringList({"format:" + expected, "real"}));
        QCOMPARE(combo(&form, Compression)->isEnabled(), format == "JPG");
    }

    void compressionChangeEmitsFormatThenRealPreview()
    {
        CreatorEffects form;
        form.setImage(solid(2, 2, 0xff000000));
        combo(&form, Format)->setCurrentText("JPG");
        Recorder rec(&form);

        combo(&form, Compression)->setCurrentIndex(2);
        combo(&form, Compression)->setCurrentIndex(0);

        QCOMPARE(rec.events, QStringList({"format:JPG;2", "real", "format:JPG;0", "real"}));
    }

    void processedPixmapFollowsTheSliders_data()
    {
        QTest::addColumn<int>("brightness");
        QTest::addColumn<int>("contrast");
        QTest::addColumn<int>("resize");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRgb>("pixel");
        const QRgb none = 0;
        QTest::newRow("resize 0 gives null") << 0 << 0 << 0 << QSize() << none;
        QTest::newRow("resize 50 of 3x3") << 0 << 0 << 50 << QSize(2, 2) << qRgb(100, 50, 127);
        QTest::newRow("contrast 128 doubles") << 0 << 128 << 100 << QSize(3, 3) << qRgb(200, 100, 254);
        QTest::newRow("brightness -127") << -127 << 0 << 100 << QSize(3, 3) << qRgb(0, 0, 0);
        QTest::newRow("contrast -127 blackens") << 50 << -127 << 100 << QSize(3, 3) << qRgb(0, 0, 0);
    }

    void processedPixmapFollowsTheSliders()
    {
        QFETCH(int, brightness);
        QFETCH(int, contrast);
        QFETCH(int, resize);
        QFETCH(QSize, size);
        QFETCH(QRgb, pixel);
        CreatorEffects form;
        form.setImage(solid(3, 3, qRgb(100, 50, 127)));
        Recorder rec(&form);

        slider(&form, Brightness)->setValue(brightness);
        slider(&form, Contrast)->setValue(contrast);
        slider(&form, Resize)->setValue(resize);

        QVERIFY(!rec.events.isEmpty());
        QVERIFY(!rec.events.contains("real"));
        if (!size.isValid()) {
            QVERIFY(rec.lastPixmap.isNull());
            return;
        }
        QCOMPARE(rec.lastPixmap.size(), size);
        QCOMPARE(QString::number(rec.lastPixmap.toImage().pixel(1, 1), 16), QString::number(pixel, 16));
    }

    void newImageKeepsTheControlValues()
    {
        // arrange
        CreatorEffects form;
        form.setImage(solid(4, 4, qRgb(10, 20, 30)));
        combo(&form, Format)->setCurrentText("JPG");
        slider(&form, Contrast)->setValue(128);
        slider(&form, Resize)->setValue(50);
        Recorder rec(&form);

        // act
        form.setImage(solid(8, 6, qRgb(100, 100, 100)));

        // assert
        QCOMPARE(rec.events, QStringList({"pixmap 4x3", "real"}));
        QCOMPARE(rec.lastPixmap.toImage().pixel(0, 0), qRgb(200, 200, 200));
        QVERIFY(combo(&form, Compression)->isEnabled());
    }

    void nullImageGivesNullPixmap()
    {
        CreatorEffects form;
        Recorder rec(&form);

        form.setImage(QPixmap());

        QCOMPARE(rec.events, QStringList({"pixmap null", "real"}));
    }
};

GLYPH_APP_TEST_MAIN(TestEffectsForm, QMWidgets::App)
#include "tst_effectsform.moc"
