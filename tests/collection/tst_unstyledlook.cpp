#include "aniswitch.h"
#include "app.h"
#include "comboprogress.h"
#include "communitybutton.h"
#include "dropwidget.h"
#include "emailedit.h"
#include "imagenoteeditor.h"
#include "imageviewer.h"
#include "noteeditwidget.h"
#include "searchfilter.h"
#include "testmain.h"
#include "windowtitle.h"

#include <QAbstractButton>
#include <QImage>
#include <QPalette>

#include <memory>

using namespace QMWidgets;

// The collection's controls as a host program without a style sheet shows them.
class TestUnstyledLook : public QObject
{
    Q_OBJECT

private slots:
    void everyControlShowsSomethingAndIsLabelled_data();
    void everyControlShowsSomethingAndIsLabelled();
    void searchHintUsesThePlaceholderColour();
};

static std::unique_ptr<QWidget> makeHost(const QString &host)
{
    if (host == QLatin1String("editor"))
        return std::make_unique<ImageNoteEditor>();
    if (host == QLatin1String("note"))
        return std::make_unique<NoteEditWidget>();
    if (host == QLatin1String("viewer"))
        return std::make_unique<ImageViewer>();
    if (host == QLatin1String("title"))
        return std::make_unique<WindowTitle>();
    if (host == QLatin1String("switch")) {
        auto sw = std::make_unique<AniSwitch>();
        sw->resize(100, 30);
        sw->setup(true, false);
        return sw;
    }
    if (host == QLatin1String("search"))
        return std::make_unique<SearchFilter>();
    if (host == QLatin1String("progress"))
        return std::make_unique<ComboProgress>();
    if (host == QLatin1String("email"))
        return std::make_unique<EmailEdit>();
    if (host == QLatin1String("drop"))
        return std::make_unique<DropWidget>();
    if (host == QLatin1String("community"))
        return std::make_unique<CommunityButton>();
    return nullptr;
}

void TestUnstyledLook::everyControlShowsSomethingAndIsLabelled_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("name"); // empty: the host itself

    const char *editorButtons[] = {"ImageNoteEditorPen", "ImageNoteEditorEraser",
                                   "ImageNoteEditorHighlighter", "ImageNoteEditorRectangle",
                                   "ImageNoteEditorFilledRectangle", "ImageNoteEditorOval",
                                   "ImageNoteEditorBlur", "ImageNoteEditorFilledOval",
                                   "ImageNoteEditorLine", "ImageNoteEditorArrow", "ImageNoteEditorText",
                                   "ImageNoteEditorThikness", "ImageNoteEditorUndo", "ImageNoteEditorRedo",
                                   "ImageNoteEditorSave", "ImageNoteEditorQuit", "ImageNoteEditorApp",
                                   "ImageNoteEditorMoreApps", "NewScreenShowButton"};
    for (const char *name : editorButtons)
        QTest::newRow(name) << "editor" << name;
    for (const char *name : {"NoteEditWidgetAccept", "NoteEditWidgetReject", "NoteEditWidgetInc",
                             "NoteEditWidgetDec"})
        QTest::newRow(name) << "note" << name;
    for (const char *name : {"ZoomInButton", "ZoomOutButton", "FitToScreenButton", "ActualPixelsButton",
                             "SysPreviewButton", "NextImageButton", "PreviousImageButton"})
        QTest::newRow(qPrintable(QStringLiteral("viewer ") + QLatin1String(name))) << "viewer" << name;
    for (const char *name : {"ZoomInButton", "ZoomOutButton", "100PercentButton", "AlwaysOptimizeButton",
                             "CloseButton", "Actions"})
        QTest::newRow(qPrintable(QStringLiteral("title ") + QLatin1String(name))) << "title" << name;
    for (const char *name : {"AniSwitchIcon", "AniSwitchOnArea", "AniSwitchOffArea", "AniSwitchHandler"})
        QTest::newRow(name) << "switch" << name;
    QTest::newRow("SearchFilterDel") << "search" << "SearchFilterDel";
    QTest::newRow("ComboProgressStop") << "progress" << "ComboProgressStop";
    QTest::newRow("CardEditButton") << "email" << "CardEditButton";
    QTest::newRow("EmailEditButton") << "email" << "EmailEditButton";
    QTest::newRow("drop open button") << "drop" << "PushButton";
    QTest::newRow("community button") << "community" << "";
}

void TestUnstyledLook::everyControlShowsSomethingAndIsLabelled()
{
    QFETCH(QString, host);
    QFETCH(QString, name);

    // arrange
    std::unique_ptr<QWidget> widget = makeHost(host);
    QVERIFY(widget);

    // act
    auto *button = name.isEmpty() ? qobject_cast<QAbstractButton *>(widget.get())
                                  : widget->findChild<QAbstractButton *>(name);

    // assert: a picture that really loads, or a text; and words for the
    // pointer and for assistive tools
    QVERIFY(button);
    QVERIFY2(!button->icon().pixmap(16, 16).isNull() || !button->text().isEmpty(), "an empty box");
    QVERIFY(!button->toolTip().isEmpty());
    QVERIFY(!button->accessibleName().isEmpty());
}

void TestUnstyledLook::searchHintUsesThePlaceholderColour()
{
    // arrange: a field whose placeholder colour no other part of it uses
    const QColor hint(255, 0, 255);
    SearchFilter filter;
    QPalette palette = filter.palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::PlaceholderText, hint);
    filter.setPalette(palette);
    filter.resize(200, 30);

    // act
    const QImage image = filter.grab().toImage();

    // assert: the left part, where "Search:" goes, holds the hint colour
    // (near it: the text is smoothed)
    int hintPixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < 100; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.blue() > 200 && c.green() < 80)
                ++hintPixels;
        }
    }
    QVERIFY(hintPixels > 0);
}

GLYPH_APP_TEST_MAIN(TestUnstyledLook, QMWidgets::App)

#include "tst_unstyledlook.moc"
