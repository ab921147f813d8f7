#include "dirview.h"

#include <QDirModel>
#include <QFileInfo>
#include <QHeaderView>
#include <QResizeEvent>
#include <QTreeView>

namespace QMWidgets {

DirView::DirView(QWidget *parent)
    : QFrame(parent)
{
    setMinimumSize(180, 100);
    // The synchronous directory model keeps clicks and paths in step without
    // a background gatherer.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    model = new QDirModel(this);
    QT_WARNING_POP
    view = new QTreeView(this);
    view->setModel(model);
    view->setWindowTitle(tr("Dir View"));
    view->hideColumn(1);
    view->hideColumn(2);
    view->hideColumn(3);
    connect(view, SIGNAL(clicked(QModelIndex)), this, SLOT(slotTreeViewClicked(QModelIndex)));
}

void DirView::slotTreeViewClicked(QModelIndex index)
{
    if (index.row() == -1 || index.column() != 0)
        return;
    const QString path = model->filePath(index);
    if (QFileInfo(path).isDir())
        emit showContent(path);
    else
        emit showItem(path);
}

void DirView::resizeEvent(QResizeEvent *event)
{
    view->resize(event->size());
    view->header()->resizeSection(0, event->size().width());
    QFrame::resizeEvent(event);
}

} // namespace QMWidgets
