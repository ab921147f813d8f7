#include "idle.h"
#include "label.h"
#include "testmain.h"
#include "titlelabel.h"
#include "waitlabel.h"

#include <QLayout>
#include <QMap>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>
#include <QPointer>

using namespace QMWidgets;

namespace {

// The label as it paints itself over a white ground.
QImage rendered(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren); // keep the white ground
    return image;
}

QPixmap solid(int w, int h, const QColor &colour)
{
    QPixmap pixmap(w, h);
    pixmap.fill(colour);
    return pixmap;
}

bool near(QRgb pixel, const QColor &colour, int tolerance = 3)
{
    return qAbs(qRed(pixel) - colour.red()) <= tolerance && qAbs(qGreen(pixel) - colour.green()) <= tolerance
           && qAbs(qBlue(pixel) - colour.blue()) <= tolerance;
}

void sendMove(QWidget *widget, const QPoint &local, const QPoint &global)
{
    QMouseEvent move(QEvent::MouseMove, local, global, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

class TestLabels : public QObject
{
    Q_OBJECT

private slots:
    // Each row: label size, picture, mode; points expected red and points
    // expected to stay white.
    void labelPlacesPicture_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<QPoint>>("covered");
        QTest::addColumn<QList<QPoint>>("bare");
        // 10x10 scaled up to 50x50, centred: margins 25 left and right.
        QTest::newRow("fit square in wide") << QSize(100, 50) << QSize(10, 10) << 0
                                            << QList<QPoint>{{26, 1}, {50, 25}, {73, 48}}
                                            << QList<QPoint>{{23, 25}, {76, 25}, {2, 2}, {97, 47}};
        // 20x10 scaled to 60x30, centred: margins 15 above and below.
        QTest::newRow("fit wide in square") << QSize(60, 60) << QSize(20, 10) << 0
                                            << QList<QPoint>{{1, 16}, {30, 30}, {58, 43}}
                                            << QList<QPoint>{{30, 13}, {30, 46}};
        QTest::newRow("fill tall in wide") << QSize(100, 40) << QSize(10, 30) << 7
                                           << QList<QPoint>{{1, 1}, {98, 38}} << QList<QPoint>{};
    }
    void labelPlacesPicture()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, picture);
        QFETCH(int, mode);
        QFETCH(QList<QPoint>, covered);
        QFETCH(QList<QPoint>, bare);
        // arrange
        Label label;
        label.resize(size);
        label.setMode(mode);
        label.setPixmap(solid(picture.width(), picture.height(), Qt::red));
        // act
        const QImage image = rendered(&label);
        // assert
        for (const QPoint &p : covered)
            QVERIFY2(near(image.pixel(p), Qt::red), qPrintable(QStringLiteral("not covered at %1,%2").arg(p.x()).arg(p.y())));
        for (const QPoint &p : bare)
            QVERIFY2(near(image.pixel(p), Qt::white), qPrintable(QStringLiteral("covered at %1,%2").arg(p.x()).arg(p.y())));
    }

    void fillModeCutsOnTheRight()
    {
        // Left half red, right half blue: in a square label only the left half shows.
        QPixmap picture(20, 10);
        picture.fill(Qt::red);
        {
            QPainter p(&picture);
            p.fillRect(10, 0, 10, 10, Qt::blue);
        }
        Label label;
        label.resize(50, 50);
        label.setMode(1);
        label.setPixmap(picture);
        const QImage image = rendered(&label);
        QVERIFY(near(image.pixel(2, 25), Qt::red));
        QVERIFY(near(image.pixel(44, 25), Qt::red));
        QVERIFY(near(image.pixel(44, 48), Qt::red));
    }

    void opacityAppliesToPictureOnly_data()
    {
        QTest::addColumn<double>("opacity");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("half") << 0.5 << QColor(255, 128, 128);
        QTest::newRow("full") << 1.0 << QColor(Qt::red);
        QTest::newRow("above full") << 1.5 << QColor(Qt::red);
    }
    void opacityAppliesToPictureOnly()
    {
        QFETCH(double, opacity);
        QFETCH(QColor, expected);
        Label label;
        label.resize(40, 40);
        label.setOpacity(opacity);
        label.setPixmap(solid(40, 40, Qt::red));
        QVERIFY(near(rendered(&label).pixel(20, 20), expected));
    }

    void labelWithoutPicturePaintsLikeQLabel()
    {
        Label label;
        QLabel plain;
        for (QLabel *l : {static_cast<QLabel *>(&label), &plain}) {
            l->setText(QStringLiteral("Drop an image here"));
            l->resize(160, 40);
        }
        QCOMPARE(rendered(&label), rendered(&plain));
        // The picture goes over the text.
        label.setPixmap(solid(160, 40, Qt::red));
        const QImage covered = rendered(&label);
        QVERIFY(near(covered.pixel(80, 20), Qt::red));
    }

    void waitLabelIsFloatingWindowWithAnimation()
    {
        QPointer<QMovie> movie;
        {
            WaitLabel wait(QStringLiteral("Please wait"));
            QCOMPARE(wait.text(), QStringLiteral("Please wait"));
            const Qt::WindowFlags flags = wait.windowFlags();
            QVERIFY(wait.isWindow());
            QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
            QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
            QVERIFY(qAbs(wait.windowOpacity() - 0.5) < 0.01);
            QCOMPARE(wait.minimumHeight(), 300);
            QCOMPARE(wait.maximumHeight(), 300);
            QCOMPARE(wait.layout()->spacing(), 10);
            QCOMPARE(wait.layout()->contentsMargins(), QMargins(20, 20, 20, 20));

            auto *animation = qobject_cast<QLabel *>(wait.layout()->itemAt(0)->widget());
            QVERIFY(animation);
            QCOMPARE(animation->parentWidget(), &wait);
            movie = animation->movie();
            QVERIFY(movie);
            QCOMPARE(movie->fileName(), QStringLiteral(":/pix/loading.gif"));
            // Works with or without the picture: a missing one gives an empty frame.
            QCOMPARE(animation->minimumSize(), movie->currentImage().size() + QSize(5, 5));
            QCOMPARE(animation->maximumSize(), animation->minimumSize());
            wait.show();
            QVERIFY(QTest::qWaitForWindowExposed(&wait));
        }
        QVERIFY(movie.isNull()); // the movie goes with its wait label
    }

    void titleLabelDragsParentAndPopup()
    {
        // arrange
        QWidget window;
        window.move(100, 100);
        auto *title = new TitleLabel(&window);
        title->resize(200, 20);
        auto *popup = new QWidget;
        title->setPopup(popup, QPoint(0, 20));
        QCOMPARE(popup->windowType(), Qt::ToolTip);
        // act: grab at (10, 5), let go at screen (300, 200)
        QTest::mousePress(title, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
        sendMove(title, QPoint(10, 5), QPoint(300, 200));
        // assert: the grabbed point stays under the cursor, the popup rides along
        QCOMPARE(window.pos(), QPoint(290, 195));
        QCOMPARE(popup->pos(), title->mapToGlobal(QPoint(0, 20)));
        QCOMPARE(popup->pos(), QPoint(290, 215));
        QTest::mouseRelease(title, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
    }

    void titleLabelWithoutPopupDrags()
    {
        QWidget window;
        window.move(0, 0);
        auto *title = new TitleLabel(&window);
        title->move(0, 0);
        QTest::mousePress(title, Qt::LeftButton, Qt::NoModifier, QPoint(3, 4));
        sendMove(title, QPoint(3, 4), QPoint(53, 64));
        QCOMPARE(window.pos(), QPoint(50, 60));
        QVERIFY(!title->popup());
    }

    void titleLabelShowsAndHidesPopup()
    {
        QWidget window;
        window.resize(200, 100);
        auto *title = new TitleLabel(&window);
        auto *popup = new QWidget;
        title->setPopup(popup, QPoint(5, 5));
        QVERIFY(!popup->isVisible());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(popup->isVisible());
        window.hide();
        QVERIFY(!popup->isVisible());
    }

    void titleLabelOwnsItsPopup()
    {
        // arrange
        QPointer<QWidget> first = new QWidget;
        QPointer<QWidget> second = new QWidget;
        QPointer<QWidget> third = new QWidget;
        auto *title = new TitleLabel;
        // the same popup twice is kept, with the new offset
        title->setPopup(first, QPoint(1, 1));
        title->setPopup(first, QPoint(2, 2));
        QVERIFY(Idle::settle());
        QVERIFY(first);
        QCOMPARE(title->popup(), first.data());
        QCOMPARE(title->popupOffset(), QPoint(2, 2));
        // a replaced popup is deleted
        title->setPopup(second, QPoint(0, 0));
        QVERIFY(Idle::settle());
        QVERIFY(first.isNull());
        QCOMPARE(title->popup(), second.data());
        // a null popup removes the current one
        title->setPopup(nullptr, QPoint(0, 0));
        QVERIFY(Idle::settle());
        QVERIFY(second.isNull());
        QVERIFY(!title->popup());
        // a popup deleted elsewhere is forgotten, not deleted again
        title->setPopup(third, QPoint(0, 0));
        delete third.data();
        QVERIFY(!title->popup());
        QTest::mousePress(title, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
        sendMove(title, QPoint(1, 1), QPoint(5, 5));
        // the title label takes its popup with it
        QPointer<QWidget> last = new QWidget;
        title->setPopup(last, QPoint(0, 0));
        delete title;
        QVERIFY(last.isNull());
    }

    // Popups set one after another before the event loop runs: the last one
    // stays, every other one is deleted once the events have run.
    void popupSetAgainBeforeEventsRunSurvives_data()
    {
        QTest::addColumn<QString>("sequence");
        QTest::newRow("A B A") << "ABA";
        QTest::newRow("A B A B") << "ABAB";
        QTest::newRow("A B A B A") << "ABABA";
        QTest::newRow("A B C A C") << "ABCAC";
    }

    void popupSetAgainBeforeEventsRunSurvives()
    {
        // arrange
        QFETCH(QString, sequence);
        QMap<QChar, QPointer<QWidget>> popups;
        for (const QChar name : sequence) {
            if (!popups.contains(name))
                popups.insert(name, new QWidget);
        }
        TitleLabel title;
        // act
        for (const QChar name : sequence)
            title.setPopup(popups.value(name), QPoint(0, 0));
        QVERIFY(Idle::settle());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // assert
        const QChar last = sequence.at(sequence.size() - 1);
        QCOMPARE(title.popup(), popups.value(last).data());
        for (auto it = popups.cbegin(); it != popups.cend(); ++it)
            QVERIFY2(it.value().isNull() == (it.key() != last), qPrintable(QString(it.key())));
    }
};

GLYPH_TEST_MAIN(TestLabels)
#include "tst_labels.moc"
