#pragma once

#include <QFrame>
#include <QModelIndex>

class QDirModel;
class QTreeView;

namespace QMWidgets {

// A frame with a tree of the local file system that shows only the name
// column. A click on a folder emits showContent(path), on a file showItem(path).
class DirView : public QFrame
{
    Q_OBJECT
public:
    explicit DirView(QWidget *parent = nullptr);

signals:
    void showContent(QString path);
    void showItem(QString path);

public slots:
    void slotTreeViewClicked(QModelIndex index);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QDirModel *model;   // owned by the frame
    QTreeView *view;    // child of the frame
};

} // namespace QMWidgets
