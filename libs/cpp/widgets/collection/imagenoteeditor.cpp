#include "imagenoteeditor.h"

#include "appbutton.h"
#include "colorwidget.h"
#include "defaultlook.h"
#include "imagenoteworkarea.h"
#include "mmessagebox.h"
#include "moreappsbutton.h"
#include "noteeditdragpreview.h"
#include "os.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cmath>

namespace QMWidgets {

namespace {
// Largest side a picture may be scaled to; QPixmap cannot hold more.
const double MaxSide = 32767.0;

QHBoxLayout *tightRow()
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    return row;
}
} // namespace

ImageNoteEditor::ImageNoteEditor(QWidget *parent)
    : QFrame(parent)
{
    m_workArea = new ImageNoteWorkArea;
    m_scrollArea = new QScrollArea;
    m_dragPreview = new NoteEditDragPreview;

    auto *newShotButton = new QPushButton(QStringLiteral("New\nScreen\nShot"));
    newShotButton->setObjectName(QStringLiteral("NewScreenShowButton"));
    newShotButton->setFixedSize(64, 64);
    giveDefaultLabel(newShotButton, tr("New Screen Shot"));
    connect(newShotButton, SIGNAL(clicked()), this, SLOT(slotNewScreenShot()));

    m_scrollArea->setWidget(m_workArea);
    m_dragPreview->setToolTip(tr("Drag&Drop this into Skype, Mail, GoogleDrive-Folder etc."));

    connect(m_workArea, SIGNAL(changed()), this, SLOT(slotChanged()));
    connect(m_workArea, SIGNAL(changed()), this, SIGNAL(changed()));

    // A hidden button that keeps the tool menu; owned by the window.
    auto *drawToolButton = new QPushButton(QStringLiteral("DRA"), this);
    drawToolButton->hide();
    drawToolButton->setFlat(true);

    auto *thicknessButton = new QPushButton;
    thicknessButton->setObjectName(QStringLiteral("ImageNoteEditorThikness"));
    auto *undoButton = new QPushButton;
    undoButton->setObjectName(QStringLiteral("ImageNoteEditorUndo"));
    undoButton->setToolTip(tr("Undo"));
    connect(undoButton, SIGNAL(clicked()), m_workArea, SLOT(slotUndo()));
    connect(m_workArea, SIGNAL(undoAvailable(bool)), undoButton, SLOT(setEnabled(bool)));
    auto *redoButton = new QPushButton;
    redoButton->setObjectName(QStringLiteral("ImageNoteEditorRedo"));
    redoButton->setToolTip(tr("Redo"));
    connect(redoButton, SIGNAL(clicked()), m_workArea, SLOT(slotRedo()));
    connect(m_workArea, SIGNAL(redoAvailable(bool)), redoButton, SLOT(setEnabled(bool)));
    auto *saveButton = new QPushButton;
    saveButton->setObjectName(QStringLiteral("ImageNoteEditorSave"));
    saveButton->setToolTip(tr("Save"));
    connect(saveButton, SIGNAL(clicked()), m_workArea, SLOT(slotSave()));
    auto *quitButton = new QPushButton;
    quitButton->setObjectName(QStringLiteral("ImageNoteEditorQuit"));
    quitButton->setToolTip(tr("Quit"));
    connect(quitButton, SIGNAL(clicked()), this, SLOT(slotQuitClicked()));
    auto *appButton = new AppButton;
    appButton->setObjectName(QStringLiteral("ImageNoteEditorApp"));
    appButton->setToolTip(tr("App"));
    connect(appButton, SIGNAL(quitPressed()), this, SLOT(slotQuitClicked()));
    appButton->hideSupportPage();
    appButton->hideIntro();
    auto *moreAppsButton = new MoreAppsButton;
    moreAppsButton->setObjectName(QStringLiteral("ImageNoteEditorMoreApps"));
    moreAppsButton->setToolTip(tr("MoreApps"));
    moreAppsButton->hide();
    for (QPushButton *button : {thicknessButton, undoButton, redoButton, saveButton, quitButton,
                                static_cast<QPushButton *>(appButton),
                                static_cast<QPushButton *>(moreAppsButton)})
        button->setFlat(true);
    giveDefaultLook(thicknessButton, collectionIcon(QStringLiteral("thickness")), tr("Thickness"));
    giveDefaultLook(undoButton, collectionIcon(QStringLiteral("undo")), tr("Undo"));
    giveDefaultLook(redoButton, collectionIcon(QStringLiteral("redo")), tr("Redo"));
    giveDefaultLook(saveButton, collectionIcon(QStringLiteral("save")), tr("Save"));
    giveDefaultLook(quitButton, collectionIcon(QStringLiteral("quit")), tr("Quit"));
    giveDefaultLook(appButton, collectionIcon(QStringLiteral("apps")), tr("App"));
    giveDefaultLook(moreAppsButton, collectionIcon(QStringLiteral("moreapps")), tr("MoreApps"));

    auto *colorWidget = new ColorWidget;
    colorWidget->setFixedSize(22, 22);
    colorWidget->setColor(Qt::yellow);
    connect(colorWidget, SIGNAL(colorChanged(QColor)), m_workArea, SLOT(slotSetColor(QColor)));

    // Tool menu of the hidden draw-tool button.
    auto *drawMenu = new QMenu(drawToolButton);
    auto *drawGroup = new QActionGroup(this);
    drawGroup->setExclusive(true);
    const struct {
        const char *text;
        int mode;
    } drawTools[] = {{"Pen", ImageNoteWorkArea::Pen},
                     {"Eraser", ImageNoteWorkArea::Eraser},
                     {"Highlighter", ImageNoteWorkArea::Highlighter},
                     {"Line", ImageNoteWorkArea::Line},
                     {"Rectangle", ImageNoteWorkArea::Rectangle},
                     {"Filled Rectangle", ImageNoteWorkArea::FilledRectangle},
                     {"Blur", ImageNoteWorkArea::BlurRectangle},
                     {"Oval", ImageNoteWorkArea::Oval},
                     {"Filled Oval", ImageNoteWorkArea::FilledOval},
                     {"Text", ImageNoteWorkArea::Text},
                     {"Arrow", ImageNoteWorkArea::Arrow}};
    for (const auto &tool : drawTools) {
        auto *action = new QAction(QString::fromLatin1(tool.text), drawGroup);
        action->setCheckable(true);
        action->setData(tool.mode);
        action->setChecked(tool.mode == ImageNoteWorkArea::Pen);
        drawMenu->addAction(action);
    }
    drawToolButton->setMenu(drawMenu);
    connect(drawGroup, SIGNAL(triggered(QAction*)), this, SLOT(slotSetDrawTool(QAction*)));

    // Thickness menu: seven widths, then the dash switch.
    auto *thicknessMenu = new QMenu(thicknessButton);
    auto *thicknessGroup = new QActionGroup(this);
    thicknessGroup->setExclusive(true);
    for (int pixels : {1, 2, 3, 4, 5, 10, 15}) {
        const QString text = QString::number(pixels) + QStringLiteral("px");
        auto *action = new QAction(QIcon(QStringLiteral(":/") + text + QStringLiteral(".png")), text,
                                   thicknessGroup);
        action->setCheckable(true);
        action->setData(pixels);
        action->setChecked(pixels == 1);
        thicknessMenu->addAction(action);
    }
    connect(thicknessGroup, SIGNAL(triggered(QAction*)), this, SLOT(slotSetThikness(QAction*)));
    auto *dashAction = new QAction(QIcon(QStringLiteral(":/dash.png")), QStringLiteral("Dash"), thicknessMenu);
    dashAction->setCheckable(true);
    dashAction->setChecked(false);
    connect(dashAction, SIGNAL(triggered(bool)), this, SLOT(slotSetDashLine(bool)));
    thicknessMenu->addSeparator();
    thicknessMenu->addAction(dashAction);
    thicknessButton->setMenu(thicknessMenu);

    // Tool column.
    m_toolFrame = new QFrame;
    auto *toolGroup = new QButtonGroup(this);
    toolGroup->setExclusive(true);
    const struct {
        const char *name;
        const char *tip;
        const char *slot;
        const char *icon;
    } tools[] = {
        {"ImageNoteEditorPen", QT_TR_NOOP("Pen"), SLOT(slotSetPenTool()), "pen"},
        {"ImageNoteEditorEraser", QT_TR_NOOP("Eraser"), SLOT(slotSetEraserTool()), "eraser"},
        {"ImageNoteEditorHighlighter", QT_TR_NOOP("Highlighter"), SLOT(slotSetHighlighterTool()), "highlighter"},
        {"ImageNoteEditorRectangle", QT_TR_NOOP("Rectangle"), SLOT(slotSetRectangleTool()), "rectangle"},
        {"ImageNoteEditorFilledRectangle", QT_TR_NOOP("Filled Rectangle"), SLOT(slotSetFilledRectangleTool()),
         "filledrectangle"},
        {"ImageNoteEditorOval", QT_TR_NOOP("Oval"), SLOT(slotSetOvalTool()), "oval"},
        {"ImageNoteEditorBlur", QT_TR_NOOP("Blur"), SLOT(slotSetBlurRectangleTool()), "blur"},
        {"ImageNoteEditorFilledOval", QT_TR_NOOP("Filled Oval"), SLOT(slotSetFilledOvalTool()), "filledoval"},
        {"ImageNoteEditorLine", QT_TR_NOOP("Line"), SLOT(slotSetLineTool()), "line"},
        {"ImageNoteEditorArrow", QT_TR_NOOP("Arrow"), SLOT(slotSetArrowTool()), "arrow"},
        {"ImageNoteEditorText", QT_TR_NOOP("Text"), SLOT(slotSetTextTool()), "text"},
    };
    auto *toolColumn = new QVBoxLayout;
    toolColumn->setSpacing(0);
    toolColumn->addWidget(m_dragPreview);
    toolColumn->addStretch(1);
    for (const auto &tool : tools) {
        auto *button = new QPushButton;
        button->setObjectName(QString::fromLatin1(tool.name));
        button->setToolTip(tr(tool.tip));
        button->setCheckable(true);
        button->setFixedSize(32, 32);
        button->setFlat(true);
        giveDefaultLook(button, collectionIcon(QString::fromLatin1(tool.icon)), tr(tool.tip));
        toolGroup->addButton(button);
        connect(button, SIGNAL(clicked()), this, tool.slot);
        toolColumn->addWidget(button);
        if (button->objectName() == QLatin1String("ImageNoteEditorPen"))
            button->setChecked(true);
        else if (button->objectName() == QLatin1String("ImageNoteEditorFilledOval"))
            button->hide();
    }
    toolColumn->addStretch(1);
    toolColumn->addWidget(newShotButton);
    m_toolFrame->setLayout(toolColumn);

    // Top bar.
    auto *colorDecor = new QWidget;
    colorDecor->setObjectName(QStringLiteral("ImageNoteEditorColorDecor"));
    auto *decorLayout = new QHBoxLayout;
    decorLayout->setContentsMargins(5, 5, 5, 5);
    decorLayout->addWidget(colorWidget);
    colorDecor->setLayout(decorLayout);

    auto *styleRow = tightRow();
    styleRow->addWidget(colorDecor);
    styleRow->addWidget(thicknessButton);
    auto *historyRow = tightRow();
    historyRow->addWidget(undoButton);
    historyRow->addWidget(redoButton);
    auto *fileRow = tightRow();
    fileRow->addWidget(saveButton);
    fileRow->addWidget(moreAppsButton);
    fileRow->addWidget(appButton);
    fileRow->addWidget(quitButton);

    auto *topBar = new QHBoxLayout;
    topBar->setContentsMargins(12, 12, 12, 12);
    topBar->setSpacing(5);
    topBar->addLayout(styleRow);
    topBar->addStretch(1);
    topBar->addLayout(historyRow);
    topBar->addStretch(1);
    topBar->addLayout(fileRow);

    auto *rightColumn = new QVBoxLayout;
    rightColumn->addLayout(topBar);
    rightColumn->addWidget(m_scrollArea);

    auto *windowLayout = new QHBoxLayout;
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->setSpacing(0);
    windowLayout->addWidget(m_toolFrame);
    windowLayout->addLayout(rightColumn);
    setLayout(windowLayout);
}

QSize ImageNoteEditor::scaledPictureSize(const QSize &pictureSize, double scaleFactor)
{
    // A broken scale factor would divide by zero or flip the picture.
    const double s = (std::isfinite(scaleFactor) && scaleFactor > 0.0) ? scaleFactor : 1.0;
    const auto scaled = [s](int side) {
        const double value = std::min(std::max(0.0, side / s), MaxSide);
        return int(std::lround(value));
    };
    return QSize(scaled(pictureSize.width()), scaled(pictureSize.height()));
}

QSize ImageNoteEditor::windowSizeFor(const QSize &scaledSize, const QSize &desktopSize)
{
    const QSize limit(int(desktopSize.width() / 1.5), int(desktopSize.height() / 1.5));
    const QSize wanted = scaledSize + QSize(100, 90);
    if (wanted.width() > limit.width() || wanted.height() > limit.height())
        return limit;
    return wanted;
}

void ImageNoteEditor::slotSetPixmap(QPixmap pixmap)
{
    const QSize size = scaledPictureSize(pixmap.size(), Os::scaleFactor());
    const QPixmap scaled = pixmap.isNull() || size == pixmap.size()
                               ? pixmap
                               : pixmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize desktop = screen ? screen->virtualSize() : QSize();
    resize(desktop.isEmpty() ? scaled.size() + QSize(100, 90) : windowSizeFor(scaled.size(), desktop));

    m_workArea->slotSetPixmap(scaled);
    m_dragPreview->slotSetPixmap(scaled);
}

void ImageNoteEditor::slotAbout()
{
    QMessageBox::about(this, QStringLiteral("About"), QStringLiteral("Note Editor"));
}

void ImageNoteEditor::slotSetThikness(QAction *action)
{
    if (!action)
        return;
    m_workArea->slotSetThikness(action->data().toInt());
}

void ImageNoteEditor::slotSetDashLine(bool dash)
{
    m_workArea->slotSetDashLine(dash);
}

void ImageNoteEditor::slotSetDrawTool(QAction *action)
{
    if (!action)
        return;
    m_workArea->slotSetMode(static_cast<ImageNoteWorkArea::Mode>(action->data().toInt()));
}

void ImageNoteEditor::slotSetFont()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok);
    if (ok && m_workArea)
        m_workArea->slotSetFont(font);
}

void ImageNoteEditor::slotSetPenTool()
{
    m_workArea->slotSetMode(ImageNoteWorkArea::Pen);
}

void ImageNoteEditor::slotSetEraserTool()
{
    m_workArea->slotSetMode(ImageNoteWorkArea::Eraser);
}

void ImageNoteEditor::slotSetHighlighterTool()
{
    m_workArea->slotSetMode(ImageNoteWorkArea::Highlighter);
}

void ImageNoteEditor::slotSetRectangleTool()
{
    m_workArea->slotSetMode(ImageNoteWorkArea::Rectangle);
}

void ImageNoteEditor::slotSetFilledRectangleTool()
{
    m_workArea->slotSetMode(ImageNoteWorkArea::FilledRectangle);
}

void ImageNoteEditor::slotSetBlurRectangleTool()
{
    m_workArea->slotSetMode(ImageNoteWorkArea::BlurRectangle);
}

void ImageNoteEditor::slotSetOvalTool()
{
    m_workArea->slotSetMode(ImageNoteWorkArea::Oval);
}

void ImageNoteEditor::slotSetFilledOvalTool()
{
    m_workArea->slotSetMode(ImageNoteWorkArea::FilledOval);
}

void ImageNoteEditor::slotSetLineTool()
{
    m_workArea->slotSetMode(ImageNoteWorkArea::Line);
}

void ImageNoteEditor::slotSetArrowTool()
{
    m_workArea->slotSetMode(ImageNoteWorkArea::Arrow);
}

void ImageNoteEditor::slotSetTextTool()
{
    m_workArea->slotSetMode(ImageNoteWorkArea::Text);
}

void ImageNoteEditor::slotChanged()
{
    m_dragPreview->slotSetPixmap(m_workArea->resultPixmap());
}

int ImageNoteEditor::askUnsaved(const QString &text, int buttons)
{
    // The box runs its own event loop: the window (and the box with it) may
    // be destroyed meanwhile, so both are watched.
    QPointer<ImageNoteEditor> self(this);
    QPointer<MMessageBox> box = new MMessageBox(1, QString(), text, buttons, this, QString());
    const int answer = box->exec();
    delete box.data();
    return self ? answer : 0;
}

void ImageNoteEditor::slotNewScreenShot()
{
    if (m_workArea->isModified()) {
        QPointer<ImageNoteEditor> self(this);
        const int answer = askUnsaved(
            tr("The changes of the curent image are not saved.\n"
               "After creation of the new screen shot these changes will be lost.\nContinue?"),
            QMessageBox::Yes | QMessageBox::No);
        // Escape or closing the box answers nothing: only Yes gives the drawing up.
        if (!self || answer != QMessageBox::Yes)
            return;
    }
    hide();
    emit doNewScreenShot();
}

void ImageNoteEditor::slotQuitClicked()
{
    // Nothing to lose: quit at once.
    if (!m_workArea->isModified()) {
        QCoreApplication::quit();
        return;
    }
    QPointer<ImageNoteEditor> self(this);
    const int answer = askUnsaved(tr("The changes of the curent image are not saved.\nQuit anyway?"),
                                  QMessageBox::Yes | QMessageBox::No);
    if (self && answer == QMessageBox::Yes)
        QCoreApplication::quit();
}

void ImageNoteEditor::closeEvent(QCloseEvent *event)
{
    if (!m_workArea->isModified()) {
        QFrame::closeEvent(event);
        return;
    }
    QPointer<ImageNoteEditor> self(this);
    const int answer = askUnsaved(tr("Do you want to save the current changes to the file?"),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (!self)
        return;
    if (answer == QMessageBox::No) {
        event->accept();
        return;
    }
    if (answer == QMessageBox::Yes)
        m_workArea->slotSave();
    event->ignore();
    if (self)
        show();
}

void ImageNoteEditor::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    emit shown();
}

} // namespace QMWidgets
