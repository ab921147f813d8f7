#include "app.h"
#include "imagenoteeditor.h"
#include "imagenoteworkarea.h"
#include "modalanswerer.h"
#include "noteeditdragpreview.h"
#include "testmain.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace QMWidgets;

class TestNoteEditor : public QObject
{
    Q_OBJECT

private slots:
    void toolButtonsSelectCanvasTool_data();
    void toolButtonsSelectCanvasTool();
    void thicknessMenuSetsWidthAndDash();
    void drawToolMenuSetsMode();
    void windowSizeFollowsPicture_data();
    void windowSizeFollowsPicture();
    void newPictureReachesCanvasAndPreview();
    void undoRedoButtonsFollowCanvas();
    void quitAsksOnlyWhileModified();
    void newScreenShotPrompt_data();
    void newScreenShotPrompt();
    void closePrompt_data();
    void closePrompt();
    void dismissedPromptKeepsTheDrawing_data();
    void dismissedPromptKeepsTheDrawing();
};

static QPixmap picture(int w, int h)
{
    QPixmap p(w, h);
    p.fill(Qt::darkCyan);
    return p;
}

static QPushButton *button(QWidget *window, const char *name)
{
    return window->findChild<QPushButton *>(QLatin1String(name));
}

// Answers the next modal widget of the class by clicking the button with the text.
static ModalAnswerer *clickOn(const char *className, const QString &text, QObject *parent)
{
    auto *answerer = new ModalAnswerer(
        [text](QWidget *dialog) { ModalAnswerer::clickButtonWithText(dialog, text); }, 3000, parent);
    answerer->setClassName(className);
    return answerer;
}

// Answers the next file dialog with the path.
static ModalAnswerer *saveAs(const QString &path, QObject *parent)
{
    auto *answerer = new ModalAnswerer(
        [path](QWidget *dialog) {
            auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
            if (!fileDialog)
                return;
            fileDialog->selectFile(path);
            // The name field decides what the dialog returns.
            if (auto *name = fileDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(path);
            QMetaObject::invokeMethod(fileDialog, "done", Q_ARG(int, QDialog::Accepted));
        },
        3000, parent);
    answerer->setClassName("QFileDialog");
    return answerer;
}

// Draws one short pen stroke on the canvas and lets it commit.
static void drawStroke(ImageNoteWorkArea *canvas)
{
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    canvas->repaint();
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(30, 20));
    canvas->repaint();
}

// Runs slot inside the application's own event loop; true when the
// application was asked to quit before the loop's timeout. The application's
// loop (unlike a nested one) clears the quit request when it returns, so
// later dialogs still run.
static bool quitsDuring(QObject *target, const char *slot)
{
    QTimer failSafe;
    failSafe.setSingleShot(true);
    QObject::connect(&failSafe, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    failSafe.start(1500);
    QTimer::singleShot(0, target, slot);
    return QCoreApplication::exec() == 0;
}

void TestNoteEditor::toolButtonsSelectCanvasTool_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("mode");

    QTest::newRow("eraser") << "ImageNoteEditorEraser" << int(ImageNoteWorkArea::Eraser);
    QTest::newRow("highlighter") << "ImageNoteEditorHighlighter" << int(ImageNoteWorkArea::Highlighter);
    QTest::newRow("rectangle") << "ImageNoteEditorRectangle" << int(ImageNoteWorkArea::Rectangle);
    QTest::newRow("filled rectangle") << "ImageNoteEditorFilledRectangle" << int(ImageNoteWorkArea::FilledRectangle);
    QTest::newRow("oval") << "ImageNoteEditorOval" << int(ImageNoteWorkArea::Oval);
    QTest::newRow("blur") << "ImageNoteEditorBlur" << int(ImageNoteWorkArea::BlurRectangle);
    QTest::newRow("line") << "ImageNoteEditorLine" << int(ImageNoteWorkArea::Line);
    QTest::newRow("arrow") << "ImageNoteEditorArrow" << int(ImageNoteWorkArea::Arrow);
    QTest::newRow("text") << "ImageNoteEditorText" << int(ImageNoteWorkArea::Text);
}

void TestNoteEditor::toolButtonsSelectCanvasTool()
{
    QFETCH(QString, name);
    QFETCH(int, mode);

    // arrange
    ImageNoteEditor editor;
    editor.show();
    QPushButton *pen = button(&editor, "ImageNoteEditorPen");
    QPushButton *tool = editor.findChild<QPushButton *>(name);
    QVERIFY(pen && tool);
    QVERIFY(pen->isChecked());
    QCOMPARE(int(editor.workArea()->currentMode()), int(ImageNoteWorkArea::Pen));

    // act
    QTest::mouseClick(tool, Qt::LeftButton);

    // assert: the tool is the one checked button and the canvas draws with it
    QCOMPARE(int(editor.workArea()->currentMode()), mode);
    QVERIFY(tool->isChecked());
    QVERIFY(!pen->isChecked());

    // and back to the pen
    QTest::mouseClick(pen, Qt::LeftButton);
    QCOMPARE(int(editor.workArea()->currentMode()), int(ImageNoteWorkArea::Pen));
    QVERIFY(!tool->isChecked());

    // hidden ones exist
    QVERIFY(button(&editor, "ImageNoteEditorFilledOval"));
    QVERIFY(!button(&editor, "ImageNoteEditorFilledOval")->isVisible());
    QVERIFY(button(&editor, "ImageNoteEditorMoreApps"));
    QVERIFY(!button(&editor, "ImageNoteEditorMoreApps")->isVisible());
}

void TestNoteEditor::thicknessMenuSetsWidthAndDash()
{
    // arrange
    ImageNoteEditor editor;
    QPushButton *thickness = button(&editor, "ImageNoteEditorThikness");
    QVERIFY(thickness && thickness->menu());
    const QList<QAction *> actions = thickness->menu()->actions();
    QStringList texts;
    for (QAction *action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(texts, (QStringList{"1px", "2px", "3px", "4px", "5px", "10px", "15px", "-", "Dash"}));
    QVERIFY(actions.at(0)->isChecked());
    QVERIFY(!actions.last()->isChecked());

    // act
    actions.at(5)->trigger();
    actions.last()->trigger();

    // assert
    QCOMPARE(editor.workArea()->penThickness(), 10);
    QVERIFY(actions.at(5)->isChecked());
    QVERIFY(!actions.at(0)->isChecked());
    QVERIFY(editor.workArea()->isDashLine());

    // act: dash off again; a null action changes nothing
    actions.last()->trigger();
    editor.slotSetThikness(nullptr);
    QVERIFY(!editor.workArea()->isDashLine());
    QCOMPARE(editor.workArea()->penThickness(), 10);
}

void TestNoteEditor::drawToolMenuSetsMode()
{
    // arrange
    ImageNoteEditor editor;
    QPushButton *drawTool = editor.findChild<QPushButton *>();
    QMenu *menu = nullptr;
    for (QPushButton *candidate : editor.findChildren<QPushButton *>()) {
        if (candidate->text() == QLatin1String("DRA"))
            menu = candidate->menu();
    }
    QVERIFY(drawTool && menu);
    QAction *arrow = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->text() == QLatin1String("Arrow"))
            arrow = action;
    }
    QVERIFY(arrow);

    // act
    arrow->trigger();

    // assert
    QCOMPARE(int(editor.workArea()->currentMode()), int(ImageNoteWorkArea::Arrow));
    editor.slotSetDrawTool(nullptr);
    QCOMPARE(int(editor.workArea()->currentMode()), int(ImageNoteWorkArea::Arrow));
}

void TestNoteEditor::windowSizeFollowsPicture_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<QSize>("scaled");
    QTest::addColumn<QSize>("window");

    const QSize fullHd(1920, 1080);
    QTest::newRow("fits") << QSize(1000, 600) << 1.0 << fullHd << QSize(1000, 600) << QSize(1100, 690);
    QTest::newRow("too wide") << QSize(1800, 600) << 1.0 << fullHd << QSize(1800, 600) << QSize(1280, 720);
    QTest::newRow("too high") << QSize(300, 700) << 1.0 << fullHd << QSize(300, 700) << QSize(1280, 720);
    QTest::newRow("exactly the limit") << QSize(1180, 630) << 1.0 << fullHd << QSize(1180, 630) << QSize(1280, 720);
    QTest::newRow("double scale rounds halves up") << QSize(1001, 601) << 2.0 << fullHd << QSize(501, 301) << QSize(601, 391);
    QTest::newRow("zero scale counts as one") << QSize(400, 300) << 0.0 << fullHd << QSize(400, 300) << QSize(500, 390);
    QTest::newRow("negative scale counts as one") << QSize(400, 300) << -2.0 << fullHd << QSize(400, 300) << QSize(500, 390);
    QTest::newRow("tiny scale stays bounded") << QSize(400, 300) << 1e-12 << fullHd << QSize(32767, 32767) << QSize(1280, 720);
    QTest::newRow("odd desktop truncates") << QSize(10, 10) << 1.0 << QSize(100, 101) << QSize(10, 10) << QSize(66, 67);
}

void TestNoteEditor::windowSizeFollowsPicture()
{
    QFETCH(QSize, picture);
    QFETCH(double, scale);
    QFETCH(QSize, desktop);
    QFETCH(QSize, scaled);
    QFETCH(QSize, window);

    const QSize shown = ImageNoteEditor::scaledPictureSize(picture, scale);
    QCOMPARE(shown, scaled);
    QCOMPARE(ImageNoteEditor::windowSizeFor(shown, desktop), window);
}

void TestNoteEditor::newPictureReachesCanvasAndPreview()
{
    // arrange
    ImageNoteEditor editor;
    QPushButton *undo = button(&editor, "ImageNoteEditorUndo");
    QPushButton *redo = button(&editor, "ImageNoteEditorRedo");
    QVERIFY(undo->isEnabled() && redo->isEnabled());

    // act
    editor.slotSetPixmap(picture(120, 80));

    // assert
    QCOMPARE(editor.workArea()->size(), QSize(120, 80));
    QCOMPARE(editor.dragPreview()->pixmap().size(), QSize(120, 80));
    QVERIFY(editor.workArea()->isModified());
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());
}

void TestNoteEditor::undoRedoButtonsFollowCanvas()
{
    // arrange
    ImageNoteEditor editor;
    editor.slotSetPixmap(picture(120, 80));
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QPushButton *undo = button(&editor, "ImageNoteEditorUndo");
    QPushButton *redo = button(&editor, "ImageNoteEditorRedo");
    QSignalSpy changed(&editor, SIGNAL(changed()));

    // act: one stroke
    drawStroke(editor.workArea());

    // assert: undo possible, preview shows the drawing, change relayed
    QVERIFY(undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    QVERIFY(changed.count() > 0);
    QCOMPARE(editor.dragPreview()->pixmap().toImage(), editor.workArea()->resultPixmap().toImage());

    // act / assert: undo, then redo, through the buttons
    QTest::mouseClick(undo, Qt::LeftButton);
    QVERIFY(!undo->isEnabled());
    QVERIFY(redo->isEnabled());
    QTest::mouseClick(redo, Qt::LeftButton);
    QVERIFY(undo->isEnabled());
    QVERIFY(!redo->isEnabled());
}

void TestNoteEditor::quitAsksOnlyWhileModified()
{
    // arrange
    ImageNoteEditor editor;
    editor.slotSetPixmap(picture(60, 40));
    editor.show();

    // act / assert: a new picture counts as a change; No keeps running
    ModalAnswerer *no = clickOn("QMWidgets::MMessageBox", QStringLiteral("No"), this);
    QVERIFY(!quitsDuring(&editor, SLOT(slotQuitClicked())));
    QVERIFY(no->answered());

    // act / assert: Yes quits
    ModalAnswerer *yes = clickOn("QMWidgets::MMessageBox", QStringLiteral("Yes"), this);
    QVERIFY(quitsDuring(&editor, SLOT(slotQuitClicked())));
    QVERIFY(yes->answered());

    // act: save through the save button, then quit without a prompt
    const QString path = QDir(App::workDirectory(true)).filePath(QStringLiteral("quit-test.png"));
    ModalAnswerer *dialog = saveAs(path, this);
    QTest::mouseClick(button(&editor, "ImageNoteEditorSave"), Qt::LeftButton);
    QVERIFY(dialog->answered());
    QVERIFY(QFile::exists(path));
    QVERIFY(!editor.workArea()->isModified());
    ModalAnswerer *unexpected = clickOn("QMWidgets::MMessageBox", QStringLiteral("No"), this);
    QVERIFY(quitsDuring(&editor, SLOT(slotQuitClicked())));
    QVERIFY(!unexpected->answered());
    delete unexpected;
}

void TestNoteEditor::newScreenShotPrompt_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("requests");

    QTest::newRow("changes, No") << true << "No" << true << 0;
    QTest::newRow("changes, Yes") << true << "Yes" << false << 1;
    QTest::newRow("saved, no prompt") << false << "" << false << 1;
}

void TestNoteEditor::newScreenShotPrompt()
{
    QFETCH(bool, modified);
    QFETCH(QString, answer);
    QFETCH(bool, visible);
    QFETCH(int, requests);

    // arrange
    ImageNoteEditor editor;
    editor.slotSetPixmap(picture(60, 40));
    editor.show();
    if (!modified)
        QVERIFY(editor.workArea()->saveToFile(QDir(App::workDirectory(true)).filePath(QStringLiteral("shot.png"))));
    QSignalSpy spy(&editor, SIGNAL(doNewScreenShot()));
    ModalAnswerer *answerer = clickOn("QMWidgets::MMessageBox", answer.isEmpty() ? QStringLiteral("No") : answer, this);

    // act
    QTest::mouseClick(button(&editor, "NewScreenShowButton"), Qt::LeftButton);

    // assert
    QCOMPARE(answerer->answered(), modified);
    QCOMPARE(editor.isVisible(), visible);
    QCOMPARE(spy.count(), requests);
    delete answerer;
}

void TestNoteEditor::closePrompt_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("saved");

    QTest::newRow("No closes") << "No" << false << false;
    QTest::newRow("Cancel stays") << "Cancel" << true << false;
    QTest::newRow("Yes saves and stays") << "Yes" << true << true;
}

void TestNoteEditor::closePrompt()
{
    QFETCH(QString, answer);
    QFETCH(bool, visible);
    QFETCH(bool, saved);

    // arrange
    ImageNoteEditor editor;
    editor.slotSetPixmap(picture(60, 40));
    editor.show();
    const QString path = QDir(App::workDirectory(true)).filePath(QStringLiteral("close-%1.png").arg(answer));
    QFile::remove(path);
    ModalAnswerer *box = clickOn("QMWidgets::MMessageBox", answer, this);
    ModalAnswerer *dialog = saveAs(path, this);

    // act
    const bool closed = editor.close();

    // assert
    QVERIFY(box->answered());
    QCOMPARE(closed, !visible);
    QCOMPARE(editor.isVisible(), visible);
    QCOMPARE(dialog->answered(), saved);
    QCOMPARE(QFile::exists(path), saved);
    QCOMPARE(editor.workArea()->isModified(), !saved);
    delete dialog;
}

void TestNoteEditor::dismissedPromptKeepsTheDrawing_data()
{
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<bool>("byEscape");

    for (const char *prompt : {"new screen shot", "quit", "close"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, Escape").arg(QLatin1String(prompt))))
            << QString::fromLatin1(prompt) << true;
        QTest::newRow(qPrintable(QStringLiteral("%1, box closed").arg(QLatin1String(prompt))))
            << QString::fromLatin1(prompt) << false;
    }
}

void TestNoteEditor::dismissedPromptKeepsTheDrawing()
{
    QFETCH(QString, prompt);
    QFETCH(bool, byEscape);

    // arrange: a drawing that is not saved
    ImageNoteEditor editor;
    editor.slotSetPixmap(picture(60, 40));
    editor.show();
    drawStroke(editor.workArea());
    const QImage drawing = editor.workArea()->resultPixmap().toImage();
    QSignalSpy newShot(&editor, SIGNAL(doNewScreenShot()));
    auto *box = new ModalAnswerer(
        [byEscape](QWidget *dialog) {
            if (byEscape)
                ModalAnswerer::pressKey(dialog, Qt::Key_Escape);
            else
                dialog->close();
        },
        3000, this);
    box->setClassName("QMWidgets::MMessageBox");

    // act
    bool proceeded = false;
    if (prompt == QLatin1String("new screen shot")) {
        QTest::mouseClick(button(&editor, "NewScreenShowButton"), Qt::LeftButton);
        proceeded = newShot.count() > 0;
    } else if (prompt == QLatin1String("quit")) {
        proceeded = quitsDuring(&editor, SLOT(slotQuitClicked()));
    } else {
        proceeded = editor.close();
    }

    // assert: answered, and neither the window nor the drawing went away
    QVERIFY(box->answered());
    QVERIFY(!box->timedOut());
    QVERIFY(!proceeded);
    QCOMPARE(newShot.count(), 0);
    QVERIFY(editor.isVisible());
    QVERIFY(editor.workArea()->isModified());
    QCOMPARE(editor.workArea()->resultPixmap().toImage(), drawing);
    delete box;
}

GLYPH_APP_TEST_MAIN(TestNoteEditor, QMWidgets::App)

#include "tst_noteeditor.moc"
