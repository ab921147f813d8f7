#include "aboutdialog.h"
#include "app.h"
#include "appbutton.h"
#include "appmenu.h"
#include "appsettingsdialog.h"
#include "appstylesheet.h"
#include "appupdatedialog.h"
#include "csseditor.h"
#include "droparea.h"
#include "helpdialog.h"
#include "inputdialog.h"
#include "joinwidget.h"
#include "joindialog.h"
#include "joinreminderdialog.h"
#include "licensedialog.h"
#include "linkdialog.h"
#include "mainpage.h"
#include "mmessagebox.h"
#include "promomenubar.h"
#include "promotable.h"
#include "rateappstoredialog.h"
#include "ratemaildialog.h"
#include "reminderdialog.h"
#include "reminderstatedialog.h"
#include "representor.h"
#include "settingsdialog.h"
#include "telldialog.h"
#include "tellreminderdialog.h"
#include "tellwidget.h"
#include "testmain.h"
#include "updateindicationdialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QImageReader>
#include <QPointer>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSet>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Messages Qt prints while it parses a style sheet or one of its colours.
QStringList g_sheetWarnings;
QtMessageHandler g_previousHandler = nullptr;

void recordSheetWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("QCssParser")) || message.contains(QLatin1String("Could not parse"))
        || message.contains(QLatin1String("QColor")))
        g_sheetWarnings.append(message);
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

// Every ":/..." picture the sheet names, in sheet order, without repeats.
QStringList sheetPictures(const QString &sheet)
{
    QStringList paths;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("url\\((:/[^)]+)\\)")).globalMatch(sheet);
    while (it.hasNext()) {
        const QString path = it.next().captured(1);
        if (!paths.contains(path))
            paths.append(path);
    }
    return paths;
}

// Object name -> (normal picture, hover picture) of the sheet's picture buttons.
QMap<QString, QPair<QString, QString>> hoverPairs(const QString &sheet)
{
    QMap<QString, QPair<QString, QString>> pairs;
    const QRegularExpression rule(
        QStringLiteral("QPushButton#(\\w+)(:hover)?\\s*\\{[^}]*border-image:\\s*url\\((:/[^)]+)\\)"));
    QRegularExpressionMatchIterator it = rule.globalMatch(sheet);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(2).isEmpty())
            pairs[m.captured(1)].first = m.captured(3);
        else
            pairs[m.captured(1)].second = m.captured(3);
    }
    return pairs;
}

// The size at which the program shows each picture button.
QSize shownSize(const QString &objectName)
{
    if (objectName == QLatin1String("VideoButton"))
        return QSize(150, 32);
    if (objectName == QLatin1String("CopyButton") || objectName == QLatin1String("ShowButton")
        || objectName == QLatin1String("SaveButton"))
        return QSize(85, 44);
    if (objectName == QLatin1String("SettingsButton"))
        return QSize(32, 32);
    const QStringList barButtons = {"AppButton", "MoreAppsButton", "RateButton", "ShareButton",
                                    "IntroButton", "MoreButton", "JoinButton"};
    if (barButtons.contains(objectName))
        return QSize(60, 32);
    return QSize(190, 35); // share and follow panel buttons
}

double meanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (x.size() != y.size() || x.isNull())
        return 1e9;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            sum += qAbs(qRed(p[col]) - qRed(q[col])) + qAbs(qGreen(p[col]) - qGreen(q[col]))
                   + qAbs(qBlue(p[col]) - qBlue(q[col])) + qAbs(qAlpha(p[col]) - qAlpha(q[col]));
    }
    return sum / (4.0 * x.width() * x.height());
}

int brightness(const QImage &image, const QRect &area)
{
    qint64 sum = 0;
    qint64 count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            sum += qGray(image.pixel(x, y));
            ++count;
        }
    return count ? int(sum / count) : -1;
}

QImage grabImage(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// The widget's own painting over a transparent canvas, without any background
// from its palette, so it can be compared with a picture that has transparent parts.
QImage renderOnly(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// Puts the mouse over a push button (or takes it away) the way the application
// does: the button must be under the mouse and have seen a move over itself.
void hover(QWidget *widget, bool over)
{
    widget->setAttribute(Qt::WA_UnderMouse, over);
    const QPointF at = over ? QPointF(widget->width() / 2.0, widget->height() / 2.0) : QPointF(-5, -5);
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at.toPoint()), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// A picture as the style sheet shows it: stretched over the whole widget.
QImage stretched(const QString &path, const QSize &size)
{
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), size), QImage(path));
    painter.end();
    return canvas;
}

// Shows a top-level window, lets it lay itself out and paint, and returns its picture.
QImage showAndGrab(QWidget *window)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return QImage();
    QApplication::processEvents();
    return window->grab().toImage();
}

// Draws every push button of a window once under the mouse and once pressed,
// so the hover and pressed rules are looked up too.
void drawButtonStates(QWidget *window)
{
    const QList<QPushButton *> buttons = window->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        if (!button->isVisible())
            continue;
        hover(button, true);
        button->grab();
        button->setDown(true);
        button->grab();
        button->setDown(false);
        hover(button, false);
    }
}

// Opens a menu as a click would, draws it with its first live entry highlighted,
// then opens its submenus the same way. Returns how many menus were drawn
// visible; a menu that did not come up or drew nothing is not counted.
int popUpAndDraw(QMenu *menu, const QPoint &at)
{
    menu->popup(at);
    if (!QTest::qWaitForWindowExposed(menu))
        return 0;
    for (QAction *action : menu->actions()) {
        if (action->isVisible() && action->isEnabled() && !action->isSeparator()) {
            menu->setActiveAction(action);
            break;
        }
    }
    QApplication::processEvents();
    const QImage image = menu->grab().toImage();
    int drawn = (menu->isVisible() && !image.isNull() && image.width() > 20 && image.height() > 20) ? 1 : 0;
    for (QAction *action : menu->actions()) {
        if (action->menu())
            drawn += popUpAndDraw(action->menu(), at + QPoint(40, 20));
    }
    menu->hide();
    QApplication::processEvents();
    return drawn;
}

// WCAG contrast ratio between the lightest and the darkest pixel of an area.
double contrastWithin(const QImage &image, const QRect &area)
{
    const auto luminance = [](QRgb pixel) {
        const auto channel = [](int value) {
            const double c = value / 255.0;
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(pixel)) + 0.7152 * channel(qGreen(pixel)) + 0.0722 * channel(qBlue(pixel));
    };
    double lightest = 0;
    double darkest = 1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const double l = luminance(image.pixel(x, y));
            lightest = std::max(lightest, l);
            darkest = std::min(darkest, l);
        }
    }
    return (lightest + 0.05) / (darkest + 0.05);
}

} // namespace

class TestStyleSheet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        g_previousHandler = qInstallMessageHandler(recordSheetWarnings);
    }

    void cleanupTestCase()
    {
        qApp->setStyleSheet(QString());
        qInstallMessageHandler(g_previousHandler);
    }

    void init()
    {
        g_sheetWarnings.clear();
        qApp->setStyleSheet(appStyleSheet);
    }

    void cleanup()
    {
        qApp->setStyleSheet(QString());
    }

    // The warning check itself must notice a sheet Qt cannot read, else the next test proves nothing.
    void warningCheckCatchesAnUnreadableSheet()
    {
        // arrange
        QLabel label;
        label.resize(100, 100);
        g_sheetWarnings.clear();
        // act
        label.setStyleSheet(QStringLiteral("QLabel { color: white; background: qlineargradient(x1:0, "));
        label.grab();
        // assert
        QVERIFY2(!g_sheetWarnings.isEmpty(), "an unreadable sheet went unnoticed");
    }

    // A colour written as a quoted string with four arguments to rgb() parses
    // without a word and paints opaque black; the overlay's centre must be light grey.
    void overlayIsLightGreyInTheMiddleAndDarkAtTheRim()
    {
        // arrange
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *overlay = new QLabel;
        overlay->setObjectName(QStringLiteral("MainWidgetBlender"));
        overlay->setFixedSize(200, 200);
        layout->addWidget(overlay);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // act
        const QImage image = renderOnly(overlay);
        // assert
        const QColor centre = QColor::fromRgba(image.pixel(100, 100));
        QVERIFY2(centre.alpha() > 150 && centre.alpha() < 250, qPrintable(QString::number(centre.alpha())));
        QVERIFY2(qGray(image.convertToFormat(QImage::Format_ARGB32).pixel(100, 100)) > 120,
                 qPrintable(centre.name(QColor::HexArgb)));
        const QColor rim = QColor::fromRgba(image.convertToFormat(QImage::Format_ARGB32).pixel(100, 2));
        QVERIFY(qGray(rim.rgb()) < 60);
        QCOMPARE(overlay->palette().color(QPalette::WindowText), QColor(Qt::white));
    }

    void sheetAppliesWithoutParserOrColourWarnings()
    {
        // arrange: a widget for every object name and type the sheet selects on
        QWidget page;
        auto *layout = new QVBoxLayout(&page);
        const QStringList buttonNames = {"VideoButton", "CopyButton", "ShowButton", "SaveButton",
                                         "SettingsButton", "JoinButton", "YouTubeJoinButton",
                                         "FaceBookJoinButton", "VKontakteJoinButton", "TwitterJoinButton",
                                         "EmailJoinButton", "FaceBookShareButton", "TwitterShareButton",
                                         "VKontakteShareButton", "EmailShareButton", "AppButton",
                                         "MoreAppsButton", "RateButton", "ShareButton", "IntroButton",
                                         "MoreButton", "HelpSlideButton", "PushButton"};
        for (const QString &name : buttonNames) {
            auto *button = new QPushButton(name);
            button->setObjectName(name);
            layout->addWidget(button);
        }
        auto *menuButton = new QPushButton(QStringLiteral("menu"));
        menuButton->setMenu(new QMenu(menuButton));
        layout->addWidget(menuButton);
        for (const QString &name : QStringList{"DropArea", "MainWidgetBlender", "LogoLabel", "Plain"}) {
            auto *label = new QLabel(name);
            label->setObjectName(name);
            layout->addWidget(label);
        }
        for (const QString &name : QStringList{"MainPage", "MainSeparator", "MenuBar"}) {
            auto *frame = new QFrame;
            frame->setObjectName(name);
            layout->addWidget(frame);
        }
        auto *scroll = new QScrollArea;
        scroll->setObjectName(QStringLiteral("PreviewWidget"));
        layout->addWidget(scroll);
        auto *combo = new QComboBox;
        combo->addItems({"PNG", "JPG"});
        layout->addWidget(combo);
        auto *slider = new QSlider(Qt::Horizontal);
        layout->addWidget(slider);
        layout->addWidget(new QCheckBox(QStringLiteral("check")));
        layout->addWidget(new QLineEdit(QStringLiteral("text")));
        auto *tabs = new QTabWidget;
        for (const QString &t : QStringList{"PREVIEW", "HTML", "CSS", "XML", "XHTML", "BASE64"})
            tabs->addTab(new QWidget, t);
        layout->addWidget(tabs);
        QMenu menu;
        menu.addAction(QStringLiteral("entry"));
        menu.addSeparator();
        QAction *checkable = menu.addAction(QStringLiteral("checkable"));
        checkable->setCheckable(true);
        checkable->setChecked(true);
        menu.addAction(QStringLiteral("disabled"))->setEnabled(false);
        QDialog dialog;
        dialog.resize(120, 80);

        // act
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        page.grab();
        menu.grab();
        dialog.grab();
        combo->showPopup();
        combo->view()->grab();
        combo->hidePopup();
        qApp->processEvents();

        // assert
        QVERIFY2(g_sheetWarnings.isEmpty(), qPrintable(g_sheetWarnings.join(QLatin1Char('\n'))));
    }

    // The real window, its menus and every dialog of the shell and the program,
    // shown and drawn under the program's sheet (applied by init() before any of
    // them exists, as the program does): Qt reports a rule or colour it cannot
    // read only while it polishes or paints the widget concerned.
    void programWindowMenusAndDialogsDrawWithoutSheetWarnings()
    {
        // arrange: the recording handler is the one in force
        qWarning("QColor:: probe of the recording message handler");
        QCOMPARE(g_sheetWarnings.size(), 1);
        g_sheetWarnings.clear();
        QMWidgets::App *app = QMWidgets::App::instance();
        QVERIFY(app);

        MainPage page;
        page.menuBar()->fillPromoMenu(QStringLiteral("photo"));
        page.setWindowTitle(QCoreApplication::applicationName());
        page.resize(1100, 720);

        // act: the window with every preview tab and the effects form's lists
        QVERIFY(!showAndGrab(&page).isNull());
        app->setMainWidget(&page);
        drawButtonStates(&page);
        auto *tabs = page.representor()->findChild<QTabWidget *>();
        QVERIFY(tabs);
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
            page.grab();
        }
        for (QComboBox *combo : page.findChildren<QComboBox *>()) {
            combo->showPopup();
            combo->view()->grab();
            combo->hidePopup();
        }
        QWidget *overlay = page.findChild<QWidget *>(QStringLiteral("MainWidgetBlender"));
        QVERIFY(overlay);
        overlay->setGeometry(page.rect());
        overlay->show();
        page.grab();
        overlay->hide();

        // the menus: the promotion menu and the application menu
        QMenu *promo = page.menuBar()->promoMenu();
        QVERIFY(promo);
        QVERIFY(promo->actions().size() > 2);
        auto *appButton = page.findChild<QMWidgets::AppButton *>();
        QVERIFY(appButton);
        QMWidgets::AppMenu *appMenu = appButton->appMenu();
        QVERIFY(appMenu);
        const QPoint corner = page.mapToGlobal(QPoint(40, 40));
        QCOMPARE(popUpAndDraw(promo, corner), 1 + [promo] {
            int submenus = 0;
            for (QAction *a : promo->actions())
                submenus += a->menu() ? 1 : 0;
            return submenus;
        }());
        QVERIFY(popUpAndDraw(appMenu, corner) >= 1);

        // the dialogs, each shown over the page as the program opens them
        QList<QWidget *> windows;
        windows << new QMWidgets::MMessageBox(1, QStringLiteral("Information"), QStringLiteral("Saved."),
                                              QMessageBox::Ok, &page)
                << new QMWidgets::MMessageBox(2, QStringLiteral("Warning"), QStringLiteral("Careful."),
                                              QMessageBox::Ok | QMessageBox::Cancel, &page)
                << new QMWidgets::MMessageBox(3, QStringLiteral("Critical"), QStringLiteral("Failed."),
                                              QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, &page)
                << new QMWidgets::MMessageBox(4, QStringLiteral("Question"), QStringLiteral("Go on?"),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll
                                                  | QMessageBox::NoToAll,
                                              &page, QStringLiteral("Other"))
                << new QMWidgets::AboutDialog(&page) << new QMWidgets::HelpDialog(&page)
                << new QMWidgets::TellDialog(&page) << new QMWidgets::JoinDialog(&page)
                << new QMWidgets::ReminderStateDialog(&page) << new QMWidgets::ReminderDialog(&page)
                << new QMWidgets::RateAppStoreDialog(&page) << new QMWidgets::RateMailDialog(&page)
                << new QMWidgets::TellReminderDialog(&page) << new QMWidgets::JoinReminderDialog(&page)
                << new QMWidgets::UpdateIndicationDialog(&page) << new AppUpdateDialog(&page)
                << new AppSettingsDialog(&page) << new QMWidgets::LicenseDialog(&page)
                << new QMWidgets::InputDialog(QStringLiteral("Name:"), &page, 0)
                << new QMWidgets::LinkDialog(&page) << new QMWidgets::SettingsDialog(&page);
        const QString resources = app->resourcesDirectory();
        auto *help = qobject_cast<QMWidgets::HelpDialog *>(windows.at(5));
        for (const char *slide : {"LumSlide1.jpg", "LumSlide2.jpg", "LumSlide3.jpg"})
            help->addSlide(resources + QLatin1String(slide));
        qobject_cast<QMWidgets::UpdateIndicationDialog *>(windows.at(14))->setText(QStringLiteral("Checking"));
        auto *update = qobject_cast<AppUpdateDialog *>(windows.at(15));
        update->setText(QStringLiteral("A newer version is available."));
        update->setPixmap(QPixmap(QStringLiteral(":/update_available.png")));
        // The editor is a main window of its own (it deletes itself only when closed).
        QPointer<QMWidgets::CssEditor> editor = new QMWidgets::CssEditor;
        editor->resize(500, 400);
        windows << editor.data();

        int drawnWindows = 0;
        int styledButtons = 0;
        for (QWidget *window : windows) {
            const QImage image = showAndGrab(window);
            if (!image.isNull() && image.size() == window->size() * window->devicePixelRatioF())
                ++drawnWindows;
            drawButtonStates(window);
            if (auto *about = qobject_cast<QMWidgets::AboutDialog *>(window)) {
                about->showLegalNotices(false);
                about->grab();
                about->showLegalNotices(true);
            }
            for (QComboBox *combo : window->findChildren<QComboBox *>()) {
                combo->showPopup();
                combo->view()->grab();
                combo->hidePopup();
            }
            for (QPushButton *button : window->findChildren<QPushButton *>(QStringLiteral("PushButton"))) {
                QVERIFY2(button->font().pixelSize() == 18 && button->font().bold(),
                         qPrintable(QString::fromLatin1(window->metaObject()->className())));
                ++styledButtons;
            }
            window->hide();
        }
        QVERIFY(editor);
        const QList<QMenu *> editorMenus = editor->menuBar()->findChildren<QMenu *>();
        QVERIFY(!editorMenus.isEmpty());
        int editorMenusDrawn = 0;
        for (QMenu *menu : editorMenus)
            editorMenusDrawn += popUpAndDraw(menu, editor->mapToGlobal(QPoint(10, 30)));
        QApplication::processEvents();

        // assert
        QVERIFY2(g_sheetWarnings.isEmpty(), qPrintable(g_sheetWarnings.join(QLatin1Char('\n'))));
        QCOMPARE(drawnWindows, windows.size());
        QCOMPARE(editorMenusDrawn, editorMenus.size());
        QVERIFY(styledButtons >= windows.size() / 2);
        // The sheet reached the real widgets: the top bar is fixed at 45 pixels plus
        // its padding, and the menus carry white text.
        QCOMPARE(page.menuBar()->height(), 52);
        QCOMPARE(appMenu->palette().color(QPalette::WindowText), QColor(Qt::white));
        QCOMPARE(promo->palette().color(QPalette::WindowText), QColor(Qt::white));

        app->setMainWidget(nullptr);
        delete editor.data();
        qDeleteAll(windows.mid(0, windows.size() - 1));
    }

    // The rules cascade in a fixed order; a rule moved changes which value wins.
    void rulesComeInTheirOrder()
    {
        const QStringList selectors = {
            "QPushButton#VideoButton {", "QLineEdit {", "QPushButton#CopyButton {",
            "QPushButton#ShowButton {", "QPushButton#SaveButton {", "QComboBox {",
            "QComboBox:disabled {", "QComboBox::drop-down {", "QComboBox::down-arrow {",
            "QComboBox::down-arrow:on {", "QComboBox::item {", "QComboBox::item:selected {",
            "QSlider::handle:horizontal {", "QSlider::handle:horizontal:hover {",
            "QPushButton#SettingsButton {", "QLabel#DropArea {", "QCheckBox {",
            "QPushButton#JoinButton {", "QPushButton#YouTubeJoinButton {",
            "QPushButton#FaceBookJoinButton {", "QPushButton#VKontakteJoinButton {",
            "QPushButton#TwitterJoinButton {", "QPushButton#EmailJoinButton {", "QDialog {",
            "QFrame#MainPage, QFrame#MainSeparator, QWidget#PreviewWidget {",
            "QPushButton#FaceBookShareButton {", "QPushButton#TwitterShareButton {",
            "QPushButton#VKontakteShareButton {", "QPushButton#EmailShareButton {", "QFrame#MenuBar {",
            "QTabBar {", "QTabBar::tab:selected {", "QTabBar::tab {", "QTabBar::scroller {",
            "QTabBar QToolButton {", "QTabBar QToolButton::right-arrow {",
            "QTabBar QToolButton::left-arrow {", "QLabel {", "QLabel:disabled {",
            "QLabel#MainWidgetBlender {", "QLabel#LogoLabel {", "QMenu {", "QMenu::item {",
            "QMenu:!active {", "QMenu::item:selected {", "QMenu::separator {", "QMenu::item:disabled {",
            "QMenu::indicator {", "QLineEdit {", "QPushButton#HelpSlideButton {",
            "QPushButton#HelpSlideButton:pressed, QPushButton#HelpSlideButton:checked {",
            "QPushButton#PushButton {", "QPushButton#PushButton:pressed {",
            "QPushButton#PushButton:disabled {", "QPushButton#PushButton:focus {",
            "QPushButton#AppButton {", "QPushButton#MoreAppsButton {", "QPushButton#RateButton {",
            "QPushButton#ShareButton {", "QPushButton#IntroButton {", "QPushButton#MoreButton {",
            "QPushButton::menu-indicator {"};
        int from = 0;
        for (const QString &selector : selectors) {
            const int at = appStyleSheet.indexOf(selector, from);
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("missing or out of order: ") + selector));
            from = at + selector.size();
        }
        QCOMPARE(appStyleSheet.count(QLatin1Char('{')), appStyleSheet.count(QLatin1Char('}')));
        QCOMPARE(appStyleSheet.count(QStringLiteral("QLineEdit {")), 2);
        QVERIFY(!appStyleSheet.contains(QLatin1Char('"')));
    }

    void everySheetPictureLoadsAtItsShownSize_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("minimum");
        // Shown sizes: buttons and frames from the sheet and from the widgets that carry them.
        const QMap<QString, QSize> shown = {
            {":/videobutton.png", {150, 32}},         {":/videobutton_hover.png", {150, 32}},
            {":/copy.png", {85, 44}},                 {":/copy_hvr.png", {85, 44}},
            {":/show.png", {85, 44}},                 {":/show_hvr.png", {85, 44}},
            {":/save.png", {85, 44}},                 {":/save_hvr.png", {85, 44}},
            {":/spinbox_button2.png", {12, 12}},      {":/dart.png", {20, 20}},
            {":/settings.png", {32, 32}},             {":/settings_hover.png", {32, 32}},
            {":/join.png", {60, 32}},                 {":/join_hover.png", {60, 32}},
            {":/youtubejoin.png", {190, 35}},         {":/youtubejoin_hover.png", {190, 35}},
            {":/facebookjoin.png", {190, 35}},        {":/facebookjoin_hover.png", {190, 35}},
            {":/vkontaktejoin.png", {190, 35}},       {":/vkontaktejoin_hover.png", {190, 35}},
            {":/twitterjoin.png", {190, 35}},         {":/twitterjoin_hover.png", {190, 35}},
            {":/emailjoin.png", {190, 35}},           {":/emailjoin_hover.png", {190, 35}},
            {":/facebookshare.png", {190, 35}},       {":/facebookshare_hover.png", {190, 35}},
            {":/twittershare.png", {190, 35}},        {":/twittershare_hover.png", {190, 35}},
            {":/vkontakteshare.png", {190, 35}},      {":/vkontakteshare_hover.png", {190, 35}},
            {":/emailshare.png", {190, 35}},          {":/emailshare_hover.png", {190, 35}},
            {":/backgroundbar.png", {1, 45}},         {":/arrowright.png", {40, 40}},
            {":/arrowleft.png", {40, 40}},            {":/app.png", {290, 290}},
            {":/AppButton.png", {60, 32}},            {":/AppButton_hover.png", {60, 32}},
            {":/MoreAppsButton.png", {60, 32}},       {":/MoreAppsButton_hover.png", {60, 32}},
            {":/RateButton.png", {60, 32}},           {":/RateButton_hover.png", {60, 32}},
            {":/share.png", {60, 32}},                {":/share_hover.png", {60, 32}},
            {":/Help.png", {60, 32}},                 {":/Help_hover.png", {60, 32}},
            {":/More.png", {60, 32}},                 {":/More_hover.png", {60, 32}},
        };
        const QStringList paths = sheetPictures(appStyleSheet);
        QCOMPARE(paths.size(), shown.size());
        for (const QString &path : paths) {
            QVERIFY2(shown.contains(path), qPrintable(QStringLiteral("no shown size known for ") + path));
            QTest::newRow(qPrintable(path)) << path << shown.value(path);
        }
    }

    void everySheetPictureLoadsAtItsShownSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, minimum);
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QVERIFY2(image.width() >= minimum.width() && image.height() >= minimum.height(),
                 qPrintable(QStringLiteral("%1 is %2x%3").arg(path).arg(image.width()).arg(image.height())));
        // Not blank: some of it is visible and it is not one flat colour.
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        int visible = 0;
        QSet<QRgb> colours;
        for (int y = 0; y < argb.height(); ++y)
            for (int x = 0; x < argb.width(); ++x) {
                const QRgb c = argb.pixel(x, y);
                if (qAlpha(c) > 128) {
                    ++visible;
                    colours.insert(c);
                }
            }
        QVERIFY2(visible * 100 >= argb.width() * argb.height() && colours.size() > 1,
                 qPrintable(path + QStringLiteral(" is blank")));
    }

    void hoverPicturesDifferFromNormalOnes()
    {
        const auto pairs = hoverPairs(appStyleSheet);
        QCOMPARE(pairs.size(), 21);
        for (auto it = pairs.cbegin(); it != pairs.cend(); ++it) {
            QVERIFY2(!it->first.isEmpty() && !it->second.isEmpty(), qPrintable(it.key()));
            const QImage normal(it->first);
            const QImage hover(it->second);
            QCOMPARE(hover.size(), normal.size());
            QVERIFY2(meanDifference(normal, hover) > 4.0, qPrintable(it.key() + QStringLiteral(": hover looks the same")));
        }
    }

    void pictureButtonsShowTheirPictureAndChangeOnHover()
    {
        // arrange
        QWidget window;
        auto *layout = new QHBoxLayout(&window);
        const auto pairs = hoverPairs(appStyleSheet);
        QMap<QString, QPushButton *> buttons;
        for (auto it = pairs.cbegin(); it != pairs.cend(); ++it) {
            auto *button = new QPushButton;
            button->setObjectName(it.key());
            button->setFixedSize(shownSize(it.key()));
            layout->addWidget(button);
            buttons.insert(it.key(), button);
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        for (auto it = pairs.cbegin(); it != pairs.cend(); ++it) {
            QPushButton *button = buttons.value(it.key());
            // act
            const QImage normal = renderOnly(button);
            hover(button, true);
            const QImage hovered = renderOnly(button);
            hover(button, false);
            // assert
            QVERIFY2(meanDifference(normal, stretched(it->first, button->size())) < 10.0,
                     qPrintable(it.key() + QStringLiteral(" does not show ") + it->first));
            QVERIFY2(meanDifference(hovered, stretched(it->second, button->size())) < 10.0,
                     qPrintable(it.key() + QStringLiteral(" does not show ") + it->second + QStringLiteral(" on hover")));
        }
    }

    // The share, follow and menu bar buttons carry a text for use without the
    // sheet and for assistive tools; their pictures carry the words, so the
    // sheet must keep that text from being drawn over them.
    void wordedPictureButtonsDrawNoText_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("name");
        for (const char *name : {"FaceBookShareButton", "TwitterShareButton", "VKontakteShareButton",
                                 "EmailShareButton"})
            QTest::newRow(name) << "share" << QString::fromLatin1(name);
        for (const char *name : {"YouTubeJoinButton", "FaceBookJoinButton", "TwitterJoinButton",
                                 "VKontakteJoinButton", "EmailJoinButton"})
            QTest::newRow(name) << "follow" << QString::fromLatin1(name);
        for (const char *name : {"IntroButton", "ShareButton", "JoinButton", "MoreAppsButton",
                                 "RateButton", "AppButton", "MoreButton"})
            QTest::newRow(name) << "bar" << QString::fromLatin1(name);
    }
    void wordedPictureButtonsDrawNoText()
    {
        QFETCH(QString, panel);
        QFETCH(QString, name);
        // arrange: the real panel, its button shown whatever links it offers
        QScopedPointer<QWidget> widget;
        if (panel == QLatin1String("share"))
            widget.reset(new QMWidgets::TellWidget);
        else if (panel == QLatin1String("follow"))
            widget.reset(new QMWidgets::JoinWidget);
        else
            widget.reset(new QMWidgets::PromoMenuBar);
        auto *button = widget->findChild<QPushButton *>(name);
        QVERIFY(button);
        button->show();
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget.data()));
        QVERIFY(!button->text().isEmpty());
        // act
        const QImage labelled = renderOnly(button);
        button->setText(QString());
        const QImage bare = renderOnly(button);
        // assert
        QCOMPARE(labelled, bare);
    }

    // The introduction's video button: its label must stay clear of the red
    // play icon at the left of its picture.
    void videoButtonTextClearsItsIcon_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("english") << QStringLiteral("&Watch videos");
        QTest::newRow("longer label") << QStringLiteral("Watch the videos now");
    }
    void videoButtonTextClearsItsIcon()
    {
        QFETCH(QString, text);
        // arrange: the button at the width its row gives it, once with and once without its label
        QWidget row;
        auto *layout = new QHBoxLayout(&row);
        auto *video = new QPushButton(text);
        video->setObjectName(QStringLiteral("VideoButton"));
        layout->addWidget(video);
        layout->addStretch(1);
        row.resize(600, 60);
        row.show();
        QVERIFY(QTest::qWaitForWindowExposed(&row));
        // act
        const QImage labelled = video->grab().toImage().convertToFormat(QImage::Format_RGB32);
        video->setText(QString());
        const QImage bare = video->grab().toImage().convertToFormat(QImage::Format_RGB32);
        // assert
        QCOMPARE(labelled.size(), bare.size());
        int iconRight = -1;
        int textLeft = labelled.width();
        for (int y = 0; y < bare.height(); ++y) {
            for (int x = 0; x < bare.width(); ++x) {
                const QColor c = bare.pixelColor(x, y);
                if (c.red() > 150 && c.green() < 90 && c.blue() < 90)
                    iconRight = qMax(iconRight, x);
                if (labelled.pixel(x, y) != bare.pixel(x, y))
                    textLeft = qMin(textLeft, x);
            }
        }
        QVERIFY(iconRight > 0);
        QVERIFY2(textLeft > iconRight + 2, qPrintable(QStringLiteral("text from %1, icon to %2")
                                                          .arg(textLeft).arg(iconRight)));
    }

    void pictureButtonsAreAtLeastTheirPictureSize()
    {
        QPushButton video(QStringLiteral("Watch videos"));
        video.setObjectName(QStringLiteral("VideoButton"));
        video.ensurePolished();
        QVERIFY(video.sizeHint().width() >= 150);
        QVERIFY(video.sizeHint().height() >= 32);
        QCOMPARE(video.font().pixelSize(), 17);
        QVERIFY(video.font().bold());

        for (const QString &name : QStringList{"CopyButton", "ShowButton", "SaveButton"}) {
            QPushButton button(QStringLiteral("Copy"));
            button.setObjectName(name);
            button.ensurePolished();
            QVERIFY2(button.sizeHint().width() >= 85, qPrintable(name));
            QVERIFY2(button.sizeHint().height() >= 44, qPrintable(name));
            QCOMPARE(button.font().pixelSize(), 15);
            QCOMPARE(button.palette().color(QPalette::ButtonText), QColor(Qt::white));
            // greyed while there is nothing to export
            QCOMPARE(button.palette().color(QPalette::Disabled, QPalette::ButtonText), QColor(128, 128, 128));
        }
    }

    void pushButtonIsDarkWithBoldLightGreyLabelAndTurnsGreyWhenDisabled()
    {
        // arrange
        QWidget window;
        auto *layout = new QHBoxLayout(&window);
        auto *button = new QPushButton(QStringLiteral("&Ok"));
        button->setObjectName(QStringLiteral("PushButton"));
        button->setFlat(true);
        button->setMinimumHeight(32);
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // act
        const QImage enabled = grabImage(button);
        const QColor enabledText = button->palette().color(QPalette::ButtonText);
        button->setEnabled(false);
        const QImage disabled = grabImage(button);
        // assert
        QCOMPARE(button->font().pixelSize(), 18);
        QVERIFY(button->font().bold());
        QCOMPARE(enabledText, QColor(211, 211, 211));
        QCOMPARE(button->palette().color(QPalette::Disabled, QPalette::ButtonText), QColor(128, 128, 128));
        // Near the bottom (gradient stop 0.1) the face is rgb(60,60,60) enabled and
        // rgb(31,31,31) disabled; in the middle both are dark.
        const QRect low(4, button->height() * 85 / 100, 4, 1);
        const QRect middle(4, button->height() / 2, 4, 1);
        QVERIFY(brightness(enabled, middle) < 80);
        QVERIFY(brightness(enabled, middle) > 15);
        QVERIFY2(brightness(disabled, low) + 10 < brightness(enabled, low),
                 qPrintable(QStringLiteral("%1 vs %2").arg(brightness(disabled, low)).arg(brightness(enabled, low))));
    }

    void dropAreaTextsAreWholeAndClearOfItsPicture()
    {
        // arrange
        CreatorDropArea area;
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        auto *button = area.findChild<QPushButton *>(QStringLiteral("PushButton"));
        QVERIFY(button);
        const QImage picture = QImage(QStringLiteral(":/droparea.png"))
                                   .scaled(area.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                   .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(picture.size(), area.size());
        const QImage withHeading = grabImage(&area);
        // act
        area.setText(QString());
        const QImage withoutHeading = grabImage(&area);
        // assert: the button has room for its whole label, and wherever the
        // heading changes a pixel the picture draws no stroke
        QVERIFY2(button->width() >= button->sizeHint().width(),
                 qPrintable(QStringLiteral("%1 < %2").arg(button->width()).arg(button->sizeHint().width())));
        int headingPixels = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                if (withHeading.pixel(x, y) == withoutHeading.pixel(x, y))
                    continue;
                ++headingPixels;
                QVERIFY2(qAlpha(picture.pixel(x, y)) < 60,
                         qPrintable(QStringLiteral("heading on the picture at %1,%2").arg(x).arg(y)));
            }
        }
        QVERIFY(headingPixels > 100);
    }

    void comboBoxTurnsGreyWithLightGreyTextWhenDisabled()
    {
        // arrange
        QWidget window;
        auto *layout = new QHBoxLayout(&window);
        auto *combo = new QComboBox;
        combo->addItems({"PNG", "JPG"});
        layout->addWidget(combo);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage enabled = grabImage(combo);
        // act
        combo->setEnabled(false);
        const QImage disabled = grabImage(combo);
        // assert
        QVERIFY(combo->width() >= 80);
        QCOMPARE(combo->palette().color(QPalette::Disabled, QPalette::ButtonText), QColor(211, 211, 211));
        const QPoint inside(combo->width() / 2, 3);
        QCOMPARE(QColor(disabled.pixel(inside)).name(), QColor(128, 128, 128).name());
        QVERIFY(qGray(enabled.pixel(inside)) < 90);
    }

    void lineEditIsAtLeast32PixelsHigh()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *edit = new QLineEdit;
        layout->addWidget(edit);
        layout->addStretch(1);
        window.resize(200, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(edit->minimumSizeHint().height() >= 32 || edit->minimumHeight() >= 32);
        QVERIFY(edit->height() >= 32);
        QCOMPARE(edit->palette().color(QPalette::Text), QColor(Qt::white));
    }

    // Selected text in a line edit stands out from the selection behind it.
    void lineEditSelectionIsLegible_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::newRow("whole name") << 0 << 9;
        QTest::newRow("name without extension") << 0 << 5;
        QTest::newRow("extension") << 6 << 3;
    }

    void lineEditSelectionIsLegible()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        // arrange
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *edit = new QLineEdit(QStringLiteral("photo.png"));
        layout->addWidget(edit);
        window.resize(300, 80);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        const auto caretAt = [edit](int position) {
            edit->setCursorPosition(position);
            return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        };
        const QRect first = caretAt(start);
        const QRect last = caretAt(start + length);
        // act
        edit->setSelection(start, length);
        const QImage shot = edit->grab().toImage();
        // assert: over the selected characters, between the carets' places
        const QRect band(QPoint(first.right() + 2, first.top() + 2), QPoint(last.left() - 2, last.bottom() - 2));
        QVERIFY(shot.rect().contains(band));
        QVERIFY2(contrastWithin(shot, band) >= 4.5, qPrintable(QString::number(contrastWithin(shot, band))));
    }

    void previewTabsAre55By40WithTheSelectedOneLighter()
    {
        // arrange
        QTabWidget tabs;
        for (const QString &t : QStringList{"PREVIEW", "HTML", "CSS", "XML", "XHTML", "BASE64"})
            tabs.addTab(new QWidget, t);
        tabs.resize(500, 300);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        QTabBar *bar = tabs.tabBar();
        // act
        const QImage image = grabImage(bar);
        // assert
        for (int i = 0; i < bar->count(); ++i)
            QCOMPARE(bar->tabRect(i).size(), QSize(55, 40));
        QCOMPARE(bar->currentIndex(), 0);
        const QRect selected = bar->tabRect(0).adjusted(2, 1, -2, -1);
        const QRect plain = bar->tabRect(1).adjusted(2, 1, -2, -1);
        QVERIFY(brightness(image, selected) > brightness(image, plain) + 10);
        // Light-grey text on the dark tab.
        int light = 0;
        const QRect textArea = bar->tabRect(1);
        for (int y = textArea.top(); y <= textArea.bottom(); ++y)
            for (int x = textArea.left(); x <= textArea.right(); ++x)
                if (qGray(image.pixel(x, y)) > 170)
                    ++light;
        QVERIFY(light > 5);
    }

    void framesAndTopBarTakeTheirLook()
    {
        // arrange
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *bar = new QFrame;
        bar->setObjectName(QStringLiteral("MenuBar"));
        auto *page = new QFrame;
        page->setObjectName(QStringLiteral("MainPage"));
        auto *drop = new QLabel;
        drop->setObjectName(QStringLiteral("DropArea"));
        drop->setFixedSize(280, 280);
        auto *logo = new QLabel;
        logo->setObjectName(QStringLiteral("LogoLabel"));
        logo->setFixedSize(90, 90);
        layout->addWidget(bar);
        layout->addWidget(page, 1);
        layout->addWidget(drop);
        layout->addWidget(logo);
        window.resize(400, 700);
        // act
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage pageImage = grabImage(page);
        const QImage dropImage = grabImage(drop);
        // assert
        // 45 pixels of content plus the 7-pixel bottom padding, fixed.
        QCOMPARE(bar->minimumHeight(), 52);
        QCOMPARE(bar->maximumHeight(), 52);
        QCOMPARE(bar->height(), 52);
        QVERIFY(meanDifference(renderOnly(bar), stretched(":/backgroundbar.png", bar->size())) < 10.0);
        QCOMPARE(QColor(pageImage.pixel(page->width() / 2, page->height() / 2)), QColor(71, 71, 71));
        QVERIFY(qGray(dropImage.pixel(270, 270)) > qGray(dropImage.pixel(10, 10)) + 60);
        QVERIFY(meanDifference(renderOnly(logo), stretched(":/app.png", logo->size())) < 10.0);
    }

    void labelsHaveWhiteTextOnAShadedBackground()
    {
        QWidget window;
        window.setAutoFillBackground(true);
        auto *layout = new QVBoxLayout(&window);
        auto *label = new QLabel(QStringLiteral("Resize"));
        layout->addWidget(label);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage image = grabImage(label);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        // The radial shade is strongest far from the top-left corner.
        QVERIFY(qAlpha(image.pixel(label->width() - 3, label->height() - 3)) > 0);
    }

    // The slider's handle is the dart picture (the style decides its size: the sheet
    // styles no groove, so the handle keeps the platform style's geometry).
    void sliderHandleIsTheDart()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *slider = new QSlider(Qt::Horizontal);
        layout->addWidget(slider);
        window.resize(200, 60);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The handle is the dart picture, whose blue centre shows on the slider.
        const QImage image = grabImage(slider);
        int dartBlue = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                if (qAbs(qRed(c) - 86) < 30 && qAbs(qGreen(c) - 156) < 30 && qAbs(qBlue(c) - 250) < 30)
                    ++dartBlue;
            }
        QVERIFY(dartBlue >= 4);
    }

    void programPicturesLoad_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("minimum");
        const QList<QPair<QString, QSize>> pictures = {
            {":/droparea.png", {560, 560}},     {":/openfiles.png", {32, 32}},
            {":/star.png", {64, 64}},           {":/feedback.png", {64, 64}},
            {":/webpage.png", {64, 64}},        {":/appicon.png", {64, 64}},
            {":/moreappsicon.png", {64, 64}},   {":/Glyphcraft64x64.png", {64, 64}},
            {":/update_available.png", {64, 64}}, {":/update_not_available.png", {64, 64}},
            {":/steklo.png", {60, 50}},         {":/dash.png", {16, 16}},
            {":/1px.png", {16, 16}},            {":/2px.png", {16, 16}},
            {":/3px.png", {16, 16}},            {":/4px.png", {16, 16}},
            {":/5px.png", {16, 16}},            {":/10px.png", {16, 16}},
            {":/15px.png", {16, 16}},           {":/Pen_cur.png", {32, 32}},
            {":/Eraser_cur.png", {32, 32}},     {":/Highlighter_cur.png", {32, 32}},
            {":/Rect_cur.png", {32, 32}},       {":/FilledRect_cur.png", {32, 32}},
            {":/Blur_cur.png", {32, 32}},       {":/Oval_cur.png", {32, 32}},
            {":/Line_cur.png", {32, 32}},       {":/Arrow_cur.png", {32, 32}},
            {":/Text_cur.png", {32, 32}},       {":/pix/quillarlogo.png", {40, 16}},
            {":/pix/nemo2.jpg", {360, 177}},    {":/pix/vrlogo.png", {100, 32}},
            {":/pix/facebook.png", {16, 16}},   {":/pix/youtube.png", {16, 16}},
            {":/pix/xing.png", {16, 16}},       {":/pix/mailru.png", {16, 16}},
            {":/pix/search.png", {32, 32}},     {":/pix/loading.gif", {32, 32}},
            {":/loading_image.gif", {96, 96}},
        };
        for (const auto &p : pictures)
            QTest::newRow(qPrintable(p.first)) << p.first << p.second;
    }

    void programPicturesLoad()
    {
        QFETCH(QString, path);
        QFETCH(QSize, minimum);
        QImageReader reader(path);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(path + QStringLiteral(": ") + reader.errorString()));
        QVERIFY(image.width() >= minimum.width());
        QVERIFY(image.height() >= minimum.height());
        if (path.endsWith(QLatin1String(".gif"))) {
            QVERIFY(reader.supportsAnimation());
            QVERIFY(reader.imageCount() > 1);
            QVERIFY(reader.canRead());
            const QImage next = reader.read();
            QCOMPARE(next.size(), image.size());
            QVERIFY(next != image);
        }
    }

    // The cursors are tinted at run time by turning pure blue into the pen colour.
    void tintableCursorsAreDrawnInPureBlue()
    {
        for (const QString &name : QStringList{"Pen", "Highlighter", "Rect", "FilledRect", "Oval", "Line", "Arrow", "Text"}) {
            const QImage cursor = QImage(QStringLiteral(":/%1_cur.png").arg(name)).convertToFormat(QImage::Format_ARGB32);
            int blue = 0;
            for (int y = 0; y < cursor.height(); ++y)
                for (int x = 0; x < cursor.width(); ++x)
                {
                    const QColor c = QColor::fromRgba(cursor.pixel(x, y));
                    if (c.alpha() > 200 && c.hsvSaturation() > 200 && qAbs(c.hsvHue() - 240) <= 9)
                        ++blue;
                }
            QVERIFY2(blue >= 8, qPrintable(name));
        }
    }

    void promotionIconsAre64By64()
    {
        // Every product row of the promotion menu has its icon in the resources.
        const auto rows = QMWidgets::PromoTable::rows();
        QCOMPARE(rows.size(), 42);
        for (const auto &row : rows) {
            const QImage icon(row.icon);
            QVERIFY2(icon.size() == QSize(64, 64), qPrintable(row.icon));
        }
    }

    void resourcesFolderHoldsSlidesAndLicence()
    {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/Resources/");
        for (const QString &name : QStringList{"LumSlide1.jpg", "LumSlide2.jpg", "LumSlide3.jpg"}) {
            const QImage slide(folder + name);
            QVERIFY2(!slide.isNull(), qPrintable(folder + name));
            QVERIFY(slide.width() >= 640 && slide.height() >= 400);
        }
        QFile licence(folder + QStringLiteral("LICENSE.LGPL"));
        QVERIFY(licence.open(QIODevice::ReadOnly));
        QVERIFY(licence.readAll().contains("GNU LESSER GENERAL PUBLIC LICENSE"));
    }
};

GLYPH_APP_TEST_MAIN(TestStyleSheet, QMWidgets::App)
#include "tst_stylesheet.moc"
