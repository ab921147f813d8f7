#include "app.h"
#include "noteeditwidget.h"
#include "testmain.h"

#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

using namespace QMWidgets;

class TestTextNote : public QObject
{
    Q_OBJECT

private slots:
    void constructionMakesWorkFolderTheLastSaveFolder();
    void buttonsCarryNamesAndTips_data();
    void buttonsCarryNamesAndTips();
    void acceptAndCancelEmitTheirSignal_data();
    void acceptAndCancelEmitTheirSignal();
    void sizeButtonsStepWholeText_data();
    void sizeButtonsStepWholeText();
    void sizeButtonsStepPixelSizedText_data();
    void sizeButtonsStepPixelSizedText();
    void hideAllLeavesSizeButtonsAlone();
};

// Point sizes of every fragment of the document, in order.
static QList<qreal> fragmentSizes(const QTextEdit *edit)
{
    QList<qreal> sizes;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            sizes << it.fragment().charFormat().font().pointSizeF();
    }
    return sizes;
}

void TestTextNote::constructionMakesWorkFolderTheLastSaveFolder()
{
    // arrange
    App *app = App::instance();
    QVERIFY(app);
    app->setLastSaveDirectory(QStringLiteral("/tmp/elsewhere/file.png"));
    QCOMPARE(app->lastSaveDirectory(), QStringLiteral("/tmp/elsewhere"));
    QDir(App::workDirectory()).removeRecursively();

    // act
    NoteEditWidget editor;

    // assert: the work folder (without its trailing slash), created on the way
    const QString work = App::workDirectory();
    QVERIFY(work.endsWith(QLatin1Char('/')));
    QCOMPARE(app->lastSaveDirectory(), work.left(work.size() - 1));
    QVERIFY(QDir(work).exists());
}

void TestTextNote::buttonsCarryNamesAndTips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tip");

    QTest::newRow("accept") << "NoteEditWidgetAccept" << "Accept";
    QTest::newRow("reject") << "NoteEditWidgetReject" << "Cancel";
    QTest::newRow("increase") << "NoteEditWidgetInc" << "Increase";
    QTest::newRow("decrease") << "NoteEditWidgetDec" << "Decrease";
}

void TestTextNote::buttonsCarryNamesAndTips()
{
    QFETCH(QString, name);
    QFETCH(QString, tip);

    NoteEditWidget editor;

    QCOMPARE(editor.objectName(), QStringLiteral("NoteEditWidget"));
    auto *button = editor.findChild<QPushButton *>(name);
    QVERIFY(button);
    QCOMPARE(button->toolTip(), tip);
    QVERIFY(button->isFlat());
    QVERIFY(button->text().isEmpty());
    QVERIFY(!button->icon().isNull());
}

void TestTextNote::acceptAndCancelEmitTheirSignal_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("accepted");
    QTest::addColumn<int>("cancelled");

    QTest::newRow("accept") << "NoteEditWidgetAccept" << 1 << 0;
    QTest::newRow("reject") << "NoteEditWidgetReject" << 0 << 1;
    QTest::newRow("increase") << "NoteEditWidgetInc" << 0 << 0;
}

void TestTextNote::acceptAndCancelEmitTheirSignal()
{
    QFETCH(QString, button);
    QFETCH(int, accepted);
    QFETCH(int, cancelled);

    // arrange
    NoteEditWidget editor;
    editor.resize(220, 90);
    editor.show();
    editor.textEdit()->setPlainText(QStringLiteral("a note"));
    QSignalSpy okSpy(&editor, SIGNAL(okClicked()));
    QSignalSpy cancelSpy(&editor, SIGNAL(cancelClicked()));

    // act
    QTest::mouseClick(editor.findChild<QPushButton *>(button), Qt::LeftButton);

    // assert: the text stays for the owner to read or clear
    QCOMPARE(okSpy.count(), accepted);
    QCOMPARE(cancelSpy.count(), cancelled);
    QCOMPARE(editor.textEdit()->toPlainText(), QStringLiteral("a note"));
}

void TestTextNote::sizeButtonsStepWholeText_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("expected");

    QTest::newRow("increase") << 12 << QStringList{"NoteEditWidgetInc"} << 17;
    QTest::newRow("decrease") << 12 << QStringList{"NoteEditWidgetDec"} << 7;
    QTest::newRow("increase twice") << 12 << QStringList{"NoteEditWidgetInc", "NoteEditWidgetInc"} << 22;
    QTest::newRow("increase after decrease restores")
        << 12 << QStringList{"NoteEditWidgetDec", "NoteEditWidgetInc"} << 12;
    QTest::newRow("below one point stays at one") << 4 << QStringList{"NoteEditWidgetDec"} << 1;
}

void TestTextNote::sizeButtonsStepWholeText()
{
    QFETCH(int, start);
    QFETCH(QStringList, clicks);
    QFETCH(int, expected);

    // arrange: two paragraphs of one size
    NoteEditWidget editor;
    editor.show();
    QTextEdit *edit = editor.textEdit();
    edit->setPlainText(QStringLiteral("first line\nsecond line"));
    edit->selectAll();
    edit->setFontPointSize(start);

    // act
    for (const QString &name : clicks)
        QTest::mouseClick(editor.findChild<QPushButton *>(name), Qt::LeftButton);

    // assert: all of the text and the typing size changed
    const QList<qreal> sizes = fragmentSizes(edit);
    QVERIFY(!sizes.isEmpty());
    for (qreal size : sizes)
        QCOMPARE(size, qreal(expected));
    QCOMPARE(editor.fontPointSize(), qreal(expected));
    QCOMPARE(edit->toPlainText(), QStringLiteral("first line\nsecond line"));
}

void TestTextNote::sizeButtonsStepPixelSizedText_data()
{
    QTest::addColumn<bool>("widgetFont");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("expected");

    QTest::newRow("text font, increase") << false << "NoteEditWidgetInc" << 25;
    QTest::newRow("text font, decrease") << false << "NoteEditWidgetDec" << 15;
    QTest::newRow("field font, increase") << true << "NoteEditWidgetInc" << 25;
    QTest::newRow("field font, decrease") << true << "NoteEditWidgetDec" << 15;
}

void TestTextNote::sizeButtonsStepPixelSizedText()
{
    QFETCH(bool, widgetFont);
    QFETCH(QString, button);
    QFETCH(int, expected);

    // arrange: text sized in pixels, by its own format or by the field's font
    NoteEditWidget editor;
    editor.show();
    QTextEdit *edit = editor.textEdit();
    QFont pixelFont = edit->font();
    pixelFont.setPixelSize(20);
    if (widgetFont)
        edit->setFont(pixelFont);
    edit->setPlainText(QStringLiteral("first line\nsecond line"));
    if (!widgetFont) {
        edit->selectAll();
        edit->setCurrentFont(pixelFont);
    }

    // act
    QTest::mouseClick(editor.findChild<QPushButton *>(button), Qt::LeftButton);

    // assert: every fragment and the typing font are the stepped pixel size
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            QCOMPARE(it.fragment().charFormat().font().pixelSize(), expected);
    }
    QCOMPARE(edit->currentFont().pixelSize(), expected);
}

void TestTextNote::hideAllLeavesSizeButtonsAlone()
{
    // arrange
    QWidget canvas;
    auto *editor = new NoteEditWidget(&canvas);
    canvas.show();
    auto *increase = editor->findChild<QPushButton *>(QStringLiteral("NoteEditWidgetInc"));
    auto *accept = editor->findChild<QPushButton *>(QStringLiteral("NoteEditWidgetAccept"));

    // act
    editor->hideAll();

    // assert
    QVERIFY(editor->isHidden());
    QVERIFY(editor->textEdit()->isHidden());
    QVERIFY(accept->isHidden());
    QVERIFY(!increase->isHidden());

    // act
    editor->showAll();

    // assert
    QVERIFY(editor->isVisible());
    QVERIFY(editor->textEdit()->isVisible());
    QVERIFY(accept->isVisible());
    QVERIFY(increase->isVisible());
}

GLYPH_APP_TEST_MAIN(TestTextNote, QMWidgets::App)

#include "tst_textnote.moc"
