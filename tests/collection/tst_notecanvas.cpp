#include "app.h"
#include "fifo.h"
#include "filesizelimit.h"
#include "graphx.h"
#include "imagenoteworkarea.h"
#include "modalanswerer.h"
#include "noteeditwidget.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextEdit>

using QMWidgets::App;
using QMWidgets::ImageNoteWorkArea;

Q_DECLARE_METATYPE(ImageNoteWorkArea::Mode)

namespace {

void send(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Press at the first point, move through the others, release at the last.
void drag(QWidget *w, const QVector<QPoint> &points)
{
    send(w, QEvent::MouseButtonPress, points.first(), Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i < points.size(); ++i)
        send(w, QEvent::MouseMove, points[i], Qt::NoButton, Qt::LeftButton);
    send(w, QEvent::MouseButtonRelease, points.last(), Qt::LeftButton, Qt::NoButton);
}

QImage image(ImageNoteWorkArea &canvas)
{
    return canvas.resultPixmap().toImage().convertToFormat(QImage::Format_ARGB32);
}

QPixmap whitePicture(int w = 100, int h = 80)
{
    QPixmap p(w, h);
    p.fill(Qt::white);
    return p;
}

// Vertical stripes, so a blur visibly changes pixels.
QPixmap stripedPicture(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, (x / 3) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return QPixmap::fromImage(img);
}

bool isRed(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 90 && qBlue(p) < 90;
}

bool isWhite(QRgb p)
{
    return p == qRgb(255, 255, 255);
}

} // namespace

class TestNoteCanvas : public QObject
{
    Q_OBJECT

private slots:
    void toolDrawsExpectedPixels_data();
    void toolDrawsExpectedPixels();
    void highlighterIsTranslucent();
    void eraserRevealsPicture();
    void undoRestoresExactlyAndRedoReapplies();
    void undoDepthIsLimited();
    void newPictureClearsHistory();
    void newPictureStartsWithEmptyNotes_data();
    void newPictureStartsWithEmptyNotes();
    void blurChangesOnlyItsRectangle_data();
    void blurChangesOnlyItsRectangle();
    void textNoteIsWrittenOnAccept();
    void cancelledNoteLeavesNoUndoStep();
    void saveWritesCanvasAndRemembersFolder();
    void openNoteEditedAfterSaveIsUnsaved_data();
    void openNoteEditedAfterSaveIsUnsaved();
    void undoOrRedoAfterSaveIsUnsaved_data();
    void undoOrRedoAfterSaveIsUnsaved();
    void saveDrawsOpenNoteAsItsText_data();
    void saveDrawsOpenNoteAsItsText();
    void saveFailureKeepsExistingFile_data();
    void saveFailureKeepsExistingFile();
    void failedSaveFromDialogIsReported();
    void saveLeavesAPipeInPlace();
    void cursorFollowsCanvasOnly();
    void openNoteHasItsOwnCursor();
};

void TestNoteCanvas::toolDrawsExpectedPixels_data()
{
    QTest::addColumn<ImageNoteWorkArea::Mode>("mode");
    QTest::addColumn<QVector<QPoint>>("path");
    QTest::addColumn<QPoint>("drawn");
    QTest::addColumn<QPoint>("untouched");

    using W = ImageNoteWorkArea;
    QTest::newRow("pen stroke") << W::Pen << QVector<QPoint>{{10, 10}, {30, 10}, {50, 10}}
                                << QPoint(40, 10) << QPoint(40, 40);
    QTest::newRow("pen click leaves a dot") << W::Pen << QVector<QPoint>{{20, 20}}
                                            << QPoint(20, 20) << QPoint(26, 26);
    QTest::newRow("rectangle outline") << W::Rectangle << QVector<QPoint>{{10, 10}, {60, 50}}
                                       << QPoint(35, 10) << QPoint(35, 30);
    QTest::newRow("rectangle dragged up-left") << W::Rectangle << QVector<QPoint>{{60, 50}, {10, 10}}
                                               << QPoint(10, 30) << QPoint(35, 30);
    QTest::newRow("filled rectangle") << W::FilledRectangle << QVector<QPoint>{{10, 10}, {60, 50}}
                                      << QPoint(35, 30) << QPoint(80, 70);
    QTest::newRow("oval outline") << W::Oval << QVector<QPoint>{{10, 10}, {60, 50}}
                                  << QPoint(35, 10) << QPoint(35, 30);
    QTest::newRow("filled oval") << W::FilledOval << QVector<QPoint>{{10, 10}, {60, 50}}
                                 << QPoint(35, 30) << QPoint(12, 12);
    QTest::newRow("line") << W::Line << QVector<QPoint>{{10, 10}, {60, 60}}
                          << QPoint(35, 35) << QPoint(60, 10);
    QTest::newRow("line has no head") << W::Line << QVector<QPoint>{{10, 40}, {80, 40}}
                                      << QPoint(40, 40) << QPoint(65, 34);
    QTest::newRow("arrow head left of tip") << W::Arrow << QVector<QPoint>{{10, 40}, {80, 40}}
                                            << QPoint(65, 34) << QPoint(40, 30);
    QTest::newRow("arrow pointing up") << W::Arrow << QVector<QPoint>{{40, 70}, {40, 10}}
                                       << QPoint(46, 25) << QPoint(60, 40);
    QTest::newRow("out-of-range mode draws like pen") << W::Mode(42)
                                                      << QVector<QPoint>{{10, 10}, {50, 10}}
                                                      << QPoint(30, 10) << QPoint(30, 40);
}

void TestNoteCanvas::toolDrawsExpectedPixels()
{
    QFETCH(ImageNoteWorkArea::Mode, mode);
    QFETCH(QVector<QPoint>, path);
    QFETCH(QPoint, drawn);
    QFETCH(QPoint, untouched);

    // arrange
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture());
    canvas.slotSetColor(Qt::red);
    canvas.slotSetThikness(3);
    canvas.slotSetMode(mode);
    QSignalSpy undo(&canvas, SIGNAL(undoAvailable(bool)));
    QVERIFY(isWhite(image(canvas).pixel(drawn)));

    // act
    drag(&canvas, path);

    // assert
    const QImage after = image(canvas);
    QVERIFY2(isRed(after.pixel(drawn)), qPrintable(QString::number(after.pixel(drawn), 16)));
    QVERIFY(isWhite(after.pixel(untouched)));
    QCOMPARE(canvas.undoCount(), 1);
    QCOMPARE(undo.count(), 1);
    QCOMPARE(undo.at(0).at(0).toBool(), true);
}

void TestNoteCanvas::highlighterIsTranslucent()
{
    // arrange
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture());
    canvas.slotSetColor(Qt::red);
    canvas.slotSetMode(ImageNoteWorkArea::Highlighter);

    // act: one segment, then a second stroke over part of it
    drag(&canvas, {{10, 20}, {40, 20}});
    const QRgb once = image(canvas).pixel(30, 20);
    drag(&canvas, {{25, 20}, {60, 20}});
    const QRgb twice = image(canvas).pixel(30, 20);

    // assert: tinted but far from full red, darker where strokes overlap
    QVERIFY(!isWhite(once));
    QVERIFY(qGreen(once) > 200);
    QVERIFY(qGreen(twice) < qGreen(once));
    QVERIFY(isWhite(image(canvas).pixel(30, 40)));
}

void TestNoteCanvas::eraserRevealsPicture()
{
    // arrange
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture());
    canvas.slotSetColor(Qt::red);
    canvas.slotSetMode(ImageNoteWorkArea::FilledRectangle);
    drag(&canvas, {{0, 0}, {99, 79}});
    QVERIFY(isRed(image(canvas).pixel(50, 40)));

    // act
    canvas.slotSetMode(ImageNoteWorkArea::Eraser);
    drag(&canvas, {{20, 40}, {80, 40}});

    // assert: the erased line shows the picture, the rest keeps the drawing
    QVERIFY(isWhite(image(canvas).pixel(50, 40)));
    QCOMPARE(qAlpha(canvas.layerPixmap().toImage().pixel(50, 40)), 0);
    QVERIFY(isRed(image(canvas).pixel(50, 10)));
}

void TestNoteCanvas::undoRestoresExactlyAndRedoReapplies()
{
    // arrange
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture());
    canvas.slotSetColor(Qt::blue);
    canvas.slotSetThikness(4);
    const QImage blank = image(canvas);
    drag(&canvas, {{10, 10}, {90, 70}});
    const QImage first = image(canvas);
    canvas.slotSetMode(ImageNoteWorkArea::FilledOval);
    drag(&canvas, {{20, 20}, {70, 60}});
    const QImage second = image(canvas);
    QVERIFY(first != blank && second != first);
    QSignalSpy undoSpy(&canvas, SIGNAL(undoAvailable(bool)));
    QSignalSpy redoSpy(&canvas, SIGNAL(redoAvailable(bool)));
    QSignalSpy changed(&canvas, SIGNAL(changed()));

    // act and assert, step by step
    canvas.slotUndo();
    QCOMPARE(image(canvas), first);
    canvas.slotUndo();
    QCOMPARE(image(canvas), blank);
    QCOMPARE(undoSpy.last().at(0).toBool(), false);
    QCOMPARE(redoSpy.last().at(0).toBool(), true);
    canvas.slotUndo(); // empty stack: availability only
    QCOMPARE(changed.count(), 2);
    QCOMPARE(image(canvas), blank);
    canvas.slotRedo();
    QCOMPARE(image(canvas), first);
    canvas.slotRedo();
    QCOMPARE(image(canvas), second);
    QCOMPARE(redoSpy.last().at(0).toBool(), false);
    QCOMPARE(undoSpy.last().at(0).toBool(), true);
    QCOMPARE(changed.count(), 4);
}

void TestNoteCanvas::undoDepthIsLimited()
{
    // arrange: more strokes than the undo limit, each on its own row
    ImageNoteWorkArea canvas;
    const int strokes = ImageNoteWorkArea::UndoLimit + 5;
    canvas.slotSetPixmap(whitePicture(40, strokes * 3));
    canvas.slotSetColor(Qt::red);
    canvas.slotSetThikness(2);
    for (int i = 0; i < strokes; ++i)
        drag(&canvas, {{5, i * 3}, {35, i * 3}});
    QCOMPARE(canvas.undoCount(), ImageNoteWorkArea::UndoLimit);

    // act
    QSignalSpy undoSpy(&canvas, SIGNAL(undoAvailable(bool)));
    for (int i = 0; i < strokes; ++i)
        canvas.slotUndo();

    // assert: the oldest five strokes could not be undone, the rest were
    QCOMPARE(undoSpy.last().at(0).toBool(), false);
    QCOMPARE(canvas.redoCount(), ImageNoteWorkArea::UndoLimit);
    const QImage left = image(canvas);
    QVERIFY(isRed(left.pixel(20, 4 * 3)));
    QVERIFY(isWhite(left.pixel(20, 5 * 3)) && isWhite(left.pixel(20, 5 * 3 - 1)));
}

void TestNoteCanvas::newPictureClearsHistory()
{
    // arrange
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture());
    drag(&canvas, {{10, 10}, {50, 50}});
    drag(&canvas, {{10, 50}, {50, 10}});
    canvas.slotUndo();
    QSignalSpy undoSpy(&canvas, SIGNAL(undoAvailable(bool)));
    QSignalSpy redoSpy(&canvas, SIGNAL(redoAvailable(bool)));

    // act
    canvas.slotSetPixmap(whitePicture(30, 20));

    // assert
    QCOMPARE(canvas.size(), QSize(30, 20));
    QCOMPARE(canvas.undoCount() + canvas.redoCount(), 0);
    QCOMPARE(undoSpy.count(), 1);
    QCOMPARE(undoSpy.at(0).at(0).toBool(), false);
    QCOMPARE(redoSpy.count(), 1);
    QCOMPARE(redoSpy.at(0).at(0).toBool(), false);
    QVERIFY(canvas.isModified());
    QCOMPARE(image(canvas), whitePicture(30, 20).toImage().convertToFormat(QImage::Format_ARGB32));
}

void TestNoteCanvas::newPictureStartsWithEmptyNotes_data()
{
    QTest::addColumn<bool>("hiddenByTool");
    QTest::newRow("note open") << false;
    QTest::newRow("note hidden by another tool") << true;
}

void TestNoteCanvas::newPictureStartsWithEmptyNotes()
{
    QFETCH(bool, hiddenByTool);
    // arrange: a note with typed text on the first picture
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture(300, 200));
    canvas.show();
    canvas.slotSetMode(ImageNoteWorkArea::Text);
    drag(&canvas, {{30, 40}});
    QMWidgets::NoteEditWidget *editor = canvas.noteEditWidget();
    QTest::keyClicks(editor->textEdit(), QStringLiteral("old text"));
    if (hiddenByTool)
        canvas.slotSetMode(ImageNoteWorkArea::Line);

    // act: a new picture, and a note opened on it
    canvas.slotSetPixmap(whitePicture(300, 200));
    canvas.slotSetMode(ImageNoteWorkArea::Text);
    drag(&canvas, {{50, 60}});

    // assert
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->textEdit()->toPlainText(), QString());
}

void TestNoteCanvas::blurChangesOnlyItsRectangle_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<QRect>("area");

    QTest::newRow("inside") << QPoint(20, 10) << QPoint(50, 30) << QRect(QPoint(20, 10), QPoint(50, 30));
    QTest::newRow("dragged up-left") << QPoint(50, 30) << QPoint(20, 10) << QRect(QPoint(20, 10), QPoint(50, 30));
    QTest::newRow("beyond the picture") << QPoint(60, 40) << QPoint(300, -50)
                                        << QRect(QPoint(60, 0), QPoint(99, 40));
}

void TestNoteCanvas::blurChangesOnlyItsRectangle()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(QRect, area);

    // arrange: a drawn line crosses the blur area
    const QPixmap picture = stripedPicture(100, 80);
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(picture);
    canvas.slotSetColor(Qt::red);
    canvas.slotSetMode(ImageNoteWorkArea::Line);
    drag(&canvas, {{0, 20}, {99, 20}});
    const QImage before = image(canvas);

    // act
    canvas.slotSetMode(ImageNoteWorkArea::BlurRectangle);
    drag(&canvas, {press, release});

    // assert: inside, the blurred picture (the line is gone); outside, unchanged
    const QImage after = image(canvas);
    const QImage expected = MGraphX::GraphX::blurRect(picture.toImage(), area, 10, false)
                                .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            const QRgb want = area.contains(x, y) ? expected.pixel(x, y) : before.pixel(x, y);
            if (after.pixel(x, y) != want)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 differs").arg(x).arg(y)));
        }
    }
    QVERIFY(after.copy(area) != before.copy(area));
}

void TestNoteCanvas::textNoteIsWrittenOnAccept()
{
    // arrange
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture(300, 200));
    canvas.slotSetColor(Qt::red);
    canvas.show();
    canvas.slotSetMode(ImageNoteWorkArea::Text);
    QSignalSpy changed(&canvas, SIGNAL(changed()));

    // act: a click opens a default-sized note at the press point
    drag(&canvas, {{30, 40}});
    QMWidgets::NoteEditWidget *editor = canvas.noteEditWidget();
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->geometry(), QRect(30, 40, 220, 90));
    QCOMPARE(canvas.undoCount(), 0);
    editor->textEdit()->setPlainText(QStringLiteral("WWWW"));
    auto *accept = editor->findChild<QPushButton *>(QStringLiteral("NoteEditWidgetAccept"));
    QVERIFY(accept);
    changed.clear();
    accept->click();

    // assert
    QVERIFY(!editor->isVisible());
    QVERIFY(editor->textEdit()->toPlainText().isEmpty());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(canvas.undoCount(), 1);
    QCOMPARE(canvas.currentMode(), ImageNoteWorkArea::TextAccepted);
    const QImage layer = canvas.layerPixmap().toImage();
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x)
            if (qAlpha(layer.pixel(x, y)))
                ++(QRect(33, 43, 217, 87).contains(x, y) ? inside : outside);
    QVERIFY(inside > 0);
    QCOMPARE(outside, 0);
    QTRY_COMPARE(canvas.currentMode(), ImageNoteWorkArea::Text);
    canvas.slotUndo();
    QCOMPARE(image(canvas), whitePicture(300, 200).toImage().convertToFormat(QImage::Format_ARGB32));
}

void TestNoteCanvas::cancelledNoteLeavesNoUndoStep()
{
    // arrange
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture(300, 200));
    canvas.show();
    canvas.slotSetMode(ImageNoteWorkArea::Text);
    drag(&canvas, {{10, 10}, {200, 150}}); // a long drag gives the dragged rectangle
    QMWidgets::NoteEditWidget *editor = canvas.noteEditWidget();
    QCOMPARE(editor->geometry(), QRect(QPoint(10, 10), QPoint(200, 150)));
    editor->textEdit()->setPlainText(QStringLiteral("dropped"));

    // act
    editor->findChild<QPushButton *>(QStringLiteral("NoteEditWidgetReject"))->click();

    // assert
    QVERIFY(!editor->isVisible());
    QVERIFY(editor->textEdit()->toPlainText().isEmpty());
    QCOMPARE(canvas.undoCount(), 0);
    QCOMPARE(qAlpha(canvas.layerPixmap().toImage().pixel(50, 50)), 0);
    // a tool chosen before the transient state ends is kept
    canvas.slotSetMode(ImageNoteWorkArea::Line);
    QTest::qWait(200);
    QCOMPARE(canvas.currentMode(), ImageNoteWorkArea::Line);
}

void TestNoteCanvas::saveWritesCanvasAndRemembersFolder()
{
    // arrange
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("note.png"));
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture());
    canvas.slotSetColor(Qt::red);
    canvas.slotSetMode(ImageNoteWorkArea::FilledRectangle);
    drag(&canvas, {{10, 10}, {50, 40}});
    QVERIFY(canvas.isModified());
    const QString startFolder = App::instance()->lastSaveDirectory();
    QString proposed;
    ModalAnswerer answerer([&](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        if (!dialog)
            return;
        proposed = dialog->selectedFiles().value(0);
        dialog->setDirectory(dir.path());
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(QStringLiteral("note.png"));
        static_cast<QDialog *>(dialog)->accept();
    });
    answerer.setClassName("QFileDialog");

    // act
    canvas.slotSave();

    // assert
    QVERIFY(answerer.answered());
    QVERIFY2(proposed.startsWith(startFolder + QStringLiteral("/EditedScreenShot_")), qPrintable(proposed));
    QVERIFY(proposed.endsWith(QStringLiteral(".png")));
    QImage saved(target);
    QVERIFY(!saved.isNull());
    QCOMPARE(saved.convertToFormat(QImage::Format_ARGB32), image(canvas));
    QVERIFY(!canvas.isModified());
    QCOMPARE(App::instance()->lastSaveDirectory(), QDir(dir.path()).absolutePath());
}

void TestNoteCanvas::openNoteEditedAfterSaveIsUnsaved_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("modified");

    QTest::newRow("text typed") << "type" << true;
    QTest::newRow("font enlarged") << "NoteEditWidgetInc" << true;
    QTest::newRow("left as saved") << "" << false;
}

void TestNoteCanvas::openNoteEditedAfterSaveIsUnsaved()
{
    QFETCH(QString, edit);
    QFETCH(bool, modified);

    // arrange: a note with text, saved while it is still open
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture(300, 200));
    canvas.show();
    canvas.slotSetMode(ImageNoteWorkArea::Text);
    drag(&canvas, {{30, 40}});
    QMWidgets::NoteEditWidget *editor = canvas.noteEditWidget();
    QVERIFY(editor->isVisible());
    QTest::keyClicks(editor->textEdit(), QStringLiteral("first"));
    QVERIFY(canvas.saveToFile(dir.filePath(QStringLiteral("note.png"))));
    QVERIFY(!canvas.isModified());

    // act
    if (edit == QLatin1String("type"))
        QTest::keyClicks(editor->textEdit(), QStringLiteral(" second line"));
    else if (!edit.isEmpty())
        editor->findChild<QPushButton *>(edit)->click();

    // assert
    QVERIFY(editor->isVisible());
    QCOMPARE(canvas.isModified(), modified);
}

void TestNoteCanvas::undoOrRedoAfterSaveIsUnsaved_data()
{
    QTest::addColumn<int>("rectangles");
    QTest::addColumn<bool>("undoBeforeSave");
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("modified");

    QTest::newRow("undo") << 2 << false << "undo" << true;
    QTest::newRow("redo") << 2 << true << "redo" << true;
    QTest::newRow("undo with nothing to undo") << 0 << false << "undo" << false;
    QTest::newRow("redo with nothing to redo") << 2 << false << "redo" << false;
}

void TestNoteCanvas::undoOrRedoAfterSaveIsUnsaved()
{
    QFETCH(int, rectangles);
    QFETCH(bool, undoBeforeSave);
    QFETCH(QString, step);
    QFETCH(bool, modified);
    // arrange: rectangles drawn and saved
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture());
    canvas.slotSetColor(Qt::red);
    canvas.slotSetMode(ImageNoteWorkArea::Rectangle);
    for (int i = 0; i < rectangles; ++i)
        drag(&canvas, {{10 + 20 * i, 10}, {25 + 20 * i, 40}});
    if (undoBeforeSave)
        canvas.slotUndo();
    QVERIFY(canvas.saveToFile(dir.filePath(QStringLiteral("note.png"))));
    const QImage saved = image(canvas);

    // act
    if (step == QLatin1String("undo"))
        canvas.slotUndo();
    else
        canvas.slotRedo();

    // assert: unsaved exactly when the shown picture is no longer the saved one
    QCOMPARE(image(canvas) != saved, modified);
    QCOMPARE(canvas.isModified(), modified);
}

void TestNoteCanvas::saveDrawsOpenNoteAsItsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enlarged");
    QTest::addColumn<bool>("overDrawing");

    QTest::newRow("typed text") << "Note text" << false << false;
    QTest::newRow("enlarged text") << "Big" << true << false;
    QTest::newRow("empty note") << "" << false << false;
    QTest::newRow("text over a drawing") << "Over" << false << true;
}

void TestNoteCanvas::saveDrawsOpenNoteAsItsText()
{
    QFETCH(QString, text);
    QFETCH(bool, enlarged);
    QFETCH(bool, overDrawing);
    // arrange: a note left open on a white picture, maybe over a filled rectangle
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("note.png"));
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture(300, 200));
    canvas.slotSetColor(Qt::red);
    canvas.show();
    if (overDrawing) {
        canvas.slotSetMode(ImageNoteWorkArea::FilledRectangle);
        canvas.slotSetColor(Qt::blue);
        drag(&canvas, {{20, 30}, {120, 90}});
        canvas.slotSetColor(Qt::red);
    }
    canvas.slotSetMode(ImageNoteWorkArea::Text);
    drag(&canvas, {{30, 40}});
    QMWidgets::NoteEditWidget *editor = canvas.noteEditWidget();
    QTest::keyClicks(editor->textEdit(), text);
    if (enlarged)
        editor->findChild<QPushButton *>(QStringLiteral("NoteEditWidgetInc"))->click();
    const QImage layerBefore = canvas.layerPixmap().toImage();
    const int undoSteps = canvas.undoCount();

    // act
    QVERIFY(canvas.saveToFile(path));

    // assert: the note stays open as it was, and the file holds what accepting it shows
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->textEdit()->toPlainText(), text);
    QCOMPARE(canvas.undoCount(), undoSteps);
    QCOMPARE(canvas.layerPixmap().toImage(), layerBefore);
    const QImage saved = QImage(path).convertToFormat(QImage::Format_ARGB32);
    editor->findChild<QPushButton *>(QStringLiteral("NoteEditWidgetAccept"))->click();
    QCOMPARE(saved, image(canvas));
    if (!overDrawing)
        QCOMPARE(saved != whitePicture(300, 200).toImage().convertToFormat(QImage::Format_ARGB32),
                 !text.isEmpty());
}

void TestNoteCanvas::saveFailureKeepsExistingFile_data()
{
    QTest::addColumn<bool>("missingFolder");
    QTest::newRow("write fails midway") << false;
    QTest::newRow("folder does not exist") << true;
}

void TestNoteCanvas::saveFailureKeepsExistingFile()
{
    QFETCH(bool, missingFolder);

    // arrange: a noisy picture, so its PNG is far larger than the size limit
    QTemporaryDir dir;
    QString target = dir.filePath(QStringLiteral("old.png"));
    if (missingFolder)
        target = dir.filePath(QStringLiteral("gone/old.png"));
    QFile old(dir.filePath(QStringLiteral("old.png")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("previous contents");
    old.close();
    QImage noise(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            noise.setPixel(x, y, qRgb((x * 37 + y * 91) % 256, (x * y) % 256, (x ^ y) % 256));
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(QPixmap::fromImage(noise));

    // act
    bool saved = true;
    {
        FileSizeLimit limit(missingFolder ? RLIM_INFINITY : 1000);
        QVERIFY(limit.active());
        saved = canvas.saveToFile(target);
    }

    // assert
    QVERIFY(!saved);
    QVERIFY(canvas.isModified());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("previous contents"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.png")});
}

void TestNoteCanvas::saveLeavesAPipeInPlace()
{
    // arrange
    QTemporaryDir dir;
    const Fifo pipe(dir.filePath(QStringLiteral("pipe.png")));
    QVERIFY(pipe.isValid());
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture(30, 20));

    // act
    const bool saved = canvas.saveToFile(dir.filePath(QStringLiteral("pipe.png")));

    // assert
    QVERIFY(!saved);
    QVERIFY(pipe.stillThere());
    QVERIFY(canvas.isModified());
}

void TestNoteCanvas::failedSaveFromDialogIsReported()
{
    // arrange
    QTemporaryDir dir;
    // A folder in the way of the chosen name: the file cannot be opened.
    const QString target = dir.filePath(QStringLiteral("out.png"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out.png")));
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture());
    ModalAnswerer fileAnswer([&](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        dialog->setDirectory(dir.path());
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(QStringLiteral("out.png"));
        // Accepted as chosen, without the dialog's own look into the folder.
        static_cast<QDialog *>(dialog)->QDialog::accept();
    });
    fileAnswer.setClassName("QFileDialog");
    QString message;
    ModalAnswerer boxAnswer([&](QWidget *w) {
        const auto labels = w->findChildren<QLabel *>();
        for (QLabel *l : labels)
            message += l->text();
        static_cast<QDialog *>(w)->done(QMessageBox::Ok);
    });
    boxAnswer.setClassName("QMWidgets::MMessageBox");

    // act
    canvas.slotSave();

    // assert
    QVERIFY(fileAnswer.answered());
    QVERIFY(boxAnswer.answered());
    QVERIFY2(message.contains(QDir::toNativeSeparators(target)), qPrintable(message));
    QVERIFY(canvas.isModified());
    QVERIFY(QFileInfo(target).isDir());
    QCOMPARE(App::instance()->lastSaveDirectory(), QDir(dir.path()).absolutePath());
}

void TestNoteCanvas::cursorFollowsCanvasOnly()
{
    // arrange
    QVERIFY(!QGuiApplication::overrideCursor());
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    {
        ImageNoteWorkArea canvas;
        canvas.slotSetPixmap(whitePicture());

        // act and assert: the pen cursor is the tinted resource, not an arrow;
        // entering twice and leaving once leaves no cursor behind
        QApplication::sendEvent(&canvas, &enter);
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BitmapCursor);
        QApplication::sendEvent(&canvas, &enter);
        QApplication::sendEvent(&canvas, &leave);
        QVERIFY(!QGuiApplication::overrideCursor());
        QApplication::sendEvent(&canvas, &enter);
        QVERIFY(QGuiApplication::overrideCursor());
    }
    // a canvas destroyed under the mouse takes its cursor with it
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestNoteCanvas::openNoteHasItsOwnCursor()
{
    // arrange: an open note, the pointer over the canvas
    ImageNoteWorkArea canvas;
    canvas.slotSetPixmap(whitePicture(300, 200));
    canvas.show();
    canvas.slotSetMode(ImageNoteWorkArea::Text);
    drag(&canvas, {{30, 40}});
    QMWidgets::NoteEditWidget *note = canvas.noteEditWidget();
    QVERIFY(note->isVisible());
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&canvas, &enter);
    QVERIFY(QGuiApplication::overrideCursor());

    // act: the pointer moves onto the note
    QApplication::sendEvent(note, &enter);

    // assert: nothing overrides the text field's I-beam
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(note->textEdit()->viewport()->cursor().shape(), Qt::IBeamCursor);

    // act, assert: back on the canvas, its tool cursor returns
    QApplication::sendEvent(note, &leave);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BitmapCursor);

    // act, assert: a note that opened under the pointer may get no leave;
    // the next move over the canvas brings the tool cursor back all the same
    QApplication::sendEvent(note, &enter);
    QVERIFY(!QGuiApplication::overrideCursor());
    send(&canvas, QEvent::MouseMove, QPoint(280, 180), Qt::NoButton, Qt::NoButton);
    QVERIFY(QGuiApplication::overrideCursor());
    QApplication::sendEvent(&canvas, &leave);
    QVERIFY(!QGuiApplication::overrideCursor());
}

GLYPH_APP_TEST_MAIN(TestNoteCanvas, QMWidgets::App)

#include "tst_notecanvas.moc"
