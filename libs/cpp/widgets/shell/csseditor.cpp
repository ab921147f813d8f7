#include "csseditor.h"

#include "app.h"
#include "cssdoc.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>

namespace QMWidgets {

namespace {

// Puts the widget's class and object name in front of its tool tip.
void labelWidget(QWidget *widget)
{
    if (widget->objectName().isEmpty())
        return;
    widget->setToolTip(QLatin1String(widget->metaObject()->className()) + QLatin1Char('\n')
                       + widget->objectName() + QLatin1Char('\n') + widget->toolTip());
}

} // namespace

CssEditor::CssEditor(QWidget *parent)
    : QMainWindow(parent)
{
    // Nobody keeps the window: it goes when the user closes it.
    setAttribute(Qt::WA_DeleteOnClose);

    QMenu *fileMenu = menuBar()->addMenu(tr("&File"));
    QMenu *helpMenu = menuBar()->addMenu(tr("&Help"));

    m_doc = new CssDoc;

    QAction *open = fileMenu->addAction(tr("&Open..."), m_doc, SLOT(slotLoad()), QKeySequence(tr("CTRL+O")));
    QAction *save = fileMenu->addAction(tr("&Save"), m_doc, SLOT(slotSave()), QKeySequence(tr("CTRL+S")));
    QAction *setInfo = fileMenu->addAction(tr("&SetInfo"), this, SLOT(slotApplyToolTipsInfo()),
                                           QKeySequence(tr("CTRL+I")));
    QAction *apply = fileMenu->addAction(tr("&Apply"), this, SLOT(slotApply()), QKeySequence(tr("CTRL+A")));
    fileMenu->addAction(tr("S&ave As..."), m_doc, SLOT(slotSaveAs()));
    fileMenu->addSeparator();

    helpMenu->addAction(tr("&About"), this, SLOT(slotAbout()), QKeySequence(Qt::Key_F1));
    QAction *reset = helpMenu->addAction(tr("&Reset"), this, SLOT(slotReset()), QKeySequence(Qt::Key_R));

    QToolBar *toolBar = new QToolBar(tr("Operations"), this);
    addToolBar(Qt::TopToolBarArea, toolBar);
    toolBar->addAction(open);
    toolBar->addAction(save);
    toolBar->addAction(apply);
    toolBar->addAction(reset);
    toolBar->addAction(setInfo);

    setCentralWidget(m_doc);
    connect(m_doc, SIGNAL(changeWindowTitle(const QString&)), this, SLOT(slotChangeWindowTitle(const QString&)));

    statusBar()->showMessage(tr("Ready"), 2000);
}

CssDoc *CssEditor::document() const
{
    return m_doc;
}

void CssEditor::slotApply()
{
    qApp->setStyleSheet(m_doc->toPlainText());
    m_doc->applyLook();
}

void CssEditor::slotAbout()
{
    QMessageBox::about(this, tr("About"), tr("CSS Style Editor"));
}

void CssEditor::slotReset()
{
    qApp->setStyleSheet(QString());
}

void CssEditor::slotChangeWindowTitle(const QString &title)
{
    setWindowTitle(title);
}

void CssEditor::slotApplyToolTipsInfo()
{
    const QList<QWidget *> tops = QApplication::topLevelWidgets();
    for (QWidget *top : tops)
        labelWidget(top);
    for (QWidget *top : tops) {
        const QList<QWidget *> children = top->findChildren<QWidget *>();
        for (QWidget *child : children) {
            if (child == m_doc || App::isDescendant(child, m_doc))
                continue;
            labelWidget(child);
        }
    }
}

} // namespace QMWidgets
