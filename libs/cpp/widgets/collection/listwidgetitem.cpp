#include "listwidgetitem.h"

namespace QMWidgets {

ListWidgetItem::ListWidgetItem(QListWidget *view, int type)
    : QListWidgetItem(view, type)
{
}

ListWidgetItem::ListWidgetItem(const QString &text, QListWidget *view, int type)
    : QListWidgetItem(text, view, type)
{
}

ListWidgetItem::ListWidgetItem(const QIcon &icon, const QString &text, QListWidget *view, int type)
    : QListWidgetItem(icon, text, view, type)
{
}

ListWidgetItem::ListWidgetItem(const QListWidgetItem &other)
    : QListWidgetItem(other)
{
}

ListWidgetItem::ListWidgetItem(const ListWidgetItem &other)
    : QListWidgetItem(other)
{
}

} // namespace QMWidgets
