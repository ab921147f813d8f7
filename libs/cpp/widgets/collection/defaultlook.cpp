#include "defaultlook.h"

#include <QAbstractButton>
#include <QFile>

// The collection is a static library: its resources register only when
// something refers to them, so the first icon request does.
static void registerCollectionResources()
{
    Q_INIT_RESOURCE(collection);
}

namespace QMWidgets {

namespace {

QString iconPath(const QString &name)
{
    static const bool registered = (registerCollectionResources(), true);
    Q_UNUSED(registered);
    return QStringLiteral(":/collection/") + name + QStringLiteral(".png");
}

} // namespace

QIcon collectionIcon(const QString &name, const QString &checkedName)
{
    const QString path = iconPath(name);
    if (!QFile::exists(path))
        return QIcon();
    QIcon icon(path);
    if (!checkedName.isEmpty()) {
        const QString checked = iconPath(checkedName);
        if (QFile::exists(checked))
            icon.addFile(checked, QSize(), QIcon::Normal, QIcon::On);
    }
    return icon;
}

void giveDefaultLook(QAbstractButton *button, const QIcon &icon, const QString &label)
{
    if (!button)
        return;
    if (button->text().isEmpty() && button->icon().isNull() && !icon.isNull()) {
        button->setIcon(icon);
        // A fixed-size button shows its icon at two thirds of its side (small
        // ones with a 2 px rim), so the picture neither drowns nor overflows.
        if (button->minimumSize() == button->maximumSize()) {
            const int side = qMin(button->minimumWidth(), button->minimumHeight());
            const int shown = side >= 24 ? side * 2 / 3 : side - 4;
            if (shown > 0)
                button->setIconSize(QSize(shown, shown));
        }
    }
    giveDefaultLabel(button, label);
}

void giveDefaultLabel(QWidget *widget, const QString &label)
{
    if (!widget || label.isEmpty())
        return;
    if (widget->toolTip().isEmpty())
        widget->setToolTip(label);
    if (widget->accessibleName().isEmpty())
        widget->setAccessibleName(label);
}

} // namespace QMWidgets
