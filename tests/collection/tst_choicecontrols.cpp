#include "testmain.h"

#include "app.h"
#include "dirview.h"
#include "radiobox.h"
#include "ultraradiobox.h"
#include "ultraradioboxpopup.h"

#include <QAbstractButton>
#include <QCursor>
#include <QDir>
#include <QDirModel>
#include <QFile>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>

using namespace QMWidgets;

namespace {

// A choice button that paints itself in one solid colour, so the box's face
// can be told apart from its arrow.
class ColourButton : public QAbstractButton
{
public:
    explicit ColourButton(const QColor &colour)
        : m_colour(colour)
    {
        setFixedSize(40, 30);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), m_colour);
    }

private:
    QColor m_colour;
};

const char *const kOpacityKey = "TransparencyParameters/UltraRadioPopups";

} // namespace

class TestChoiceControls : public QObject
{
    Q_OBJECT

private slots:
    void dirViewReportsFoldersAndFiles_data();
    void dirViewReportsFoldersAndFiles();
    void radioBoxKeepsOnlyLastClickedChecked();
    void popupOpacityFollowsSetting_data();
    void popupOpacityFollowsSetting();
    void pressTogglesPopupAndReportsAction();
    void pressOnFaceClosesPopupThatLostActivation_data();
    void pressOnFaceClosesPopupThatLostActivation();
    void selectHidesChoiceAndShowsOthers();
    void textButtonActsAsChoice();
    void destroyedCurrentChoiceIsForgotten();
    void faceShowsWhiteArrowBeforeAnyChoice();
};

void TestChoiceControls::dirViewReportsFoldersAndFiles_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("contentCount");
    QTest::addColumn<int>("itemCount");

    QTest::newRow("folder") << "sub" << 0 << 1 << 0;
    QTest::newRow("file") << "file.txt" << 0 << 0 << 1;
    QTest::newRow("other column") << "file.txt" << 1 << 0 << 0;
    QTest::newRow("invalid index") << QString() << 0 << 0 << 0;
}

void TestChoiceControls::dirViewReportsFoldersAndFiles()
{
    QFETCH(QString, entry);
    QFETCH(int, column);
    QFETCH(int, contentCount);
    QFETCH(int, itemCount);

    // arrange
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QFile file(dir.filePath(QStringLiteral("file.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    DirView view(nullptr);
    QTreeView *tree = view.findChild<QTreeView *>();
    QVERIFY(tree);
    QDirModel *model = qobject_cast<QDirModel *>(tree->model());
    QVERIFY(model);
    QModelIndex index;
    if (!entry.isEmpty())
        index = model->index(dir.filePath(entry), column);
    QCOMPARE(index.isValid(), !entry.isEmpty());
    QSignalSpy content(&view, SIGNAL(showContent(QString)));
    QSignalSpy item(&view, SIGNAL(showItem(QString)));

    // act
    view.slotTreeViewClicked(index);

    // assert
    QCOMPARE(content.count(), contentCount);
    QCOMPARE(item.count(), itemCount);
    const QSignalSpy &fired = contentCount ? content : item;
    if (!fired.isEmpty())
        QCOMPARE(QDir::cleanPath(fired.first().first().toString()), QDir::cleanPath(dir.filePath(entry)));
}

void TestChoiceControls::radioBoxKeepsOnlyLastClickedChecked()
{
    RadioBox box(QBoxLayout::LeftToRight, nullptr);
    QPushButton *buttons[3];
    for (QPushButton *&b : buttons) {
        b = new QPushButton;
        box.addButton(b);
    }
    QVERIFY(buttons[0]->isCheckable());

    for (int i = 0; i < 3; ++i) {
        buttons[i]->click();
        for (int j = 0; j < 3; ++j)
            QCOMPARE(buttons[j]->isChecked(), j == i);
    }

    buttons[2]->click();
    QVERIFY(buttons[2]->isChecked());
    QVERIFY(!buttons[0]->isChecked());
    QVERIFY(!buttons[1]->isChecked());
}

void TestChoiceControls::popupOpacityFollowsSetting_data()
{
    QTest::addColumn<QVariant>("setting");
    QTest::addColumn<double>("opacity");

    QTest::newRow("absent gives 0.95") << QVariant() << 0.95;
    QTest::newRow("35") << QVariant(35) << 0.95;
    QTest::newRow("30 is opaque") << QVariant(30) << 1.0;
    QTest::newRow("negative is opaque") << QVariant(-50) << 1.0;
    // A popup that cannot be seen but still takes clicks is of no use.
    QTest::newRow("130 stays visible") << QVariant(130) << 0.3;
    QTest::newRow("500 stays visible") << QVariant(500) << 0.3;
}

void TestChoiceControls::popupOpacityFollowsSetting()
{
    QFETCH(QVariant, setting);
    QFETCH(double, opacity);

    App *app = App::instance();
    QVERIFY(app);
    if (setting.isValid())
        app->setValue(QLatin1String(kOpacityKey), setting);
    else
        app->settings()->remove(QCoreApplication::applicationName() + QLatin1Char('/') + QLatin1String(kOpacityKey));

    UltraRadioBox box(nullptr);
    box.addButton(new ColourButton(Qt::blue), QStringLiteral("Blue"));
    UltraRadioBoxPopup *popup = box.findChild<UltraRadioBoxPopup *>();
    QVERIFY(popup);

    QTest::mouseClick(&box, Qt::LeftButton);

    // The window keeps its opacity in steps of 1/255.
    QVERIFY2(qAbs(popup->windowOpacity() - opacity) < 0.01, qPrintable(QString::number(popup->windowOpacity())));
    app->settings()->remove(QCoreApplication::applicationName() + QLatin1Char('/') + QLatin1String(kOpacityKey));
}

void TestChoiceControls::pressTogglesPopupAndReportsAction()
{
    UltraRadioBox box(nullptr);
    box.addButton(new ColourButton(Qt::blue), QStringLiteral("Blue"));
    box.move(50, 60);
    box.show();
    UltraRadioBoxPopup *popup = box.findChild<UltraRadioBoxPopup *>();
    QVERIFY(popup);
    QVERIFY(popup->isHidden());
    QSignalSpy actions(&box, SIGNAL(actionPerformed()));

    QTest::mouseClick(&box, Qt::LeftButton);
    QVERIFY(popup->isVisible());
    QCOMPARE(popup->pos(), box.mapToGlobal(QPoint(0, box.height())));
    QCOMPARE(actions.count(), 1);

    QTest::mouseClick(&box, Qt::LeftButton);
    QVERIFY(popup->isHidden());
    QCOMPARE(actions.count(), 2);

    QTest::mouseClick(&box, Qt::LeftButton);
    box.hidePopup();
    QVERIFY(popup->isHidden());
}

void TestChoiceControls::pressOnFaceClosesPopupThatLostActivation_data()
{
    QTest::addColumn<bool>("pointerOnFace");
    QTest::addColumn<bool>("popupOpens");

    // Where the pointer is as the popup loses the activation tells which
    // press took it.
    QTest::newRow("the press on the face") << true << false;
    QTest::newRow("a click elsewhere, then a press on the face") << false << true;
}

void TestChoiceControls::pressOnFaceClosesPopupThatLostActivation()
{
    QFETCH(bool, pointerOnFace);
    QFETCH(bool, popupOpens);

    // arrange: an open popup
    UltraRadioBox box(nullptr);
    box.addButton(new ColourButton(Qt::blue), QStringLiteral("Blue"));
    box.move(50, 60);
    box.show();
    UltraRadioBoxPopup *popup = box.findChild<UltraRadioBoxPopup *>();
    QVERIFY(popup);
    QTest::mouseClick(&box, Qt::LeftButton);
    QVERIFY(popup->isVisible());
    const QPoint onFace = box.mapToGlobal(box.rect().center());

    // act: with a window manager, a press takes the activation from the
    // popup before it reaches its own window
    QCursor::setPos(pointerOnFace ? onFace : onFace + QPoint(300, 200));
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(popup, &deactivate);
    QVERIFY(popup->isHidden());
    QCursor::setPos(onFace);
    QTest::mouseClick(&box, Qt::LeftButton);

    // assert: only the press that closed the popup is swallowed; the next
    // press on the face toggles it again
    QCOMPARE(popup->isVisible(), popupOpens);
    QTest::mouseClick(&box, Qt::LeftButton);
    QCOMPARE(popup->isVisible(), !popupOpens);
}

void TestChoiceControls::selectHidesChoiceAndShowsOthers()
{
    // arrange
    UltraRadioBox box(nullptr);
    ColourButton *red = new ColourButton(Qt::red);
    ColourButton *green = new ColourButton(Qt::green);
    ColourButton *blue = new ColourButton(Qt::blue);
    box.addButton(red, QStringLiteral("Red"));
    box.addButton(green, QStringLiteral("Green"));
    box.addButton(blue, QStringLiteral("Blue"));
    QCOMPARE(box.size(), QSize(40, 30));
    QVERIFY(!box.currentButton());
    box.select(green);
    QSignalSpy clicks(&box, SIGNAL(buttonClicked()));

    // act: choose red from the popup
    red->click();

    // assert
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(box.currentButton(), static_cast<QAbstractButton *>(red));
    QCOMPARE(box.toolTip(), QStringLiteral("Red"));
    QVERIFY(red->isChecked());
    QVERIFY(red->isHidden());
    for (QAbstractButton *other : {static_cast<QAbstractButton *>(green), static_cast<QAbstractButton *>(blue)}) {
        QVERIFY(!other->isHidden());
        QVERIFY(!other->isChecked());
    }
    QStringList hiddenTexts;
    QStringList shownTexts;
    for (QPushButton *b : box.findChildren<QPushButton *>())
        (b->isHidden() ? hiddenTexts : shownTexts) << b->text();
    QCOMPARE(hiddenTexts, QStringList{QStringLiteral("Red")});
    shownTexts.sort();
    QCOMPARE(shownTexts, (QStringList{QStringLiteral("Blue"), QStringLiteral("Green")}));

    // hiding a choice hides its text too
    box.setButtonVisible(blue, false);
    QVERIFY(blue->isHidden());
    for (QPushButton *b : box.findChildren<QPushButton *>())
        if (b->text() == QLatin1String("Blue"))
            QVERIFY(b->isHidden());
}

void TestChoiceControls::textButtonActsAsChoice()
{
    UltraRadioBox box(nullptr);
    ColourButton *red = new ColourButton(Qt::red);
    ColourButton *blue = new ColourButton(Qt::blue);
    box.addButton(red, QStringLiteral("Red"));
    box.addButton(blue, QStringLiteral("Blue"));

    QPushButton *blueText = nullptr;
    for (QPushButton *b : box.findChildren<QPushButton *>())
        if (b->text() == QLatin1String("Blue"))
            blueText = b;
    QVERIFY(blueText);
    QCOMPARE(blueText->objectName(), QStringLiteral("PushButton"));

    blueText->click();
    QCOMPARE(box.currentButton(), static_cast<QAbstractButton *>(blue));
}

void TestChoiceControls::destroyedCurrentChoiceIsForgotten()
{
    UltraRadioBox box(nullptr);
    ColourButton *red = new ColourButton(Qt::red);
    box.addButton(red, QStringLiteral("Red"));
    box.select(red);

    delete red;

    QVERIFY(!box.currentButton());
    for (QPushButton *b : box.findChildren<QPushButton *>())
        QVERIFY(b->text() != QLatin1String("Red") || b->isHidden());
    box.select(new ColourButton(Qt::green)); // not added: ignored
    QVERIFY(!box.currentButton());
}

void TestChoiceControls::faceShowsWhiteArrowBeforeAnyChoice()
{
    UltraRadioBox box(nullptr);
    box.addButton(new ColourButton(Qt::blue), QStringLiteral("Blue"));

    const QImage face = box.grab().toImage();

    const int w = box.width();
    const int h = box.height();
    QCOMPARE(face.pixelColor(2, 2), QColor(Qt::blue));
    QCOMPARE(face.pixelColor(w - 10 + 4, h - 8 + 1), QColor(Qt::white));
    QCOMPARE(face.pixelColor(w - 10 + 4, h - 8 + 6), QColor(Qt::blue));
}

GLYPH_APP_TEST_MAIN(TestChoiceControls, QMWidgets::App)
#include "tst_choicecontrols.moc"
