#include "radiobox.h"

#include <QAbstractButton>
#include <QPalette>

namespace QMWidgets {

RadioBox::RadioBox(QBoxLayout::Direction direction, QWidget *parent)
    : QWidget(parent)
{
    QPalette pal;
    pal.setBrush(backgroundRole(), QBrush(Qt::green, Qt::SolidPattern));
    setPalette(pal);

    layout = new QBoxLayout(direction);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setLayout(layout);
}

void RadioBox::addButton(QAbstractButton *button)
{
    if (!button)
        return;
    button->setCheckable(true);
    layout->addWidget(button);
    connect(button, SIGNAL(clicked()), this, SLOT(slotButtonClicked()));
}

void RadioBox::slotButtonClicked()
{
    QAbstractButton *clicked = qobject_cast<QAbstractButton *>(sender());
    if (!clicked)
        return;
    const QList<QAbstractButton *> buttons = findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons)
        button->setChecked(false);
    clicked->setChecked(true);
}

} // namespace QMWidgets
