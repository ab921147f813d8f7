#include "joindialog.h"

#include "app.h"
#include "joinwidget.h"
#include "stylehelpers.h"

#include <QPushButton>

namespace QMWidgets {

JoinDialog::JoinDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Join us"));
    setObjectName(QStringLiteral("Dialog"));

    layOutPanelDialog(this, nullptr, new JoinWidget, new QPushButton(tr("&Close")));
}

} // namespace QMWidgets
