#include "ultraradiobox.h"

#include "app.h"
#include "stylehelpers.h"
#include "ultraradioboxpopup.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace QMWidgets {

UltraRadioBox::UltraRadioBox(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_MouseTracking);

    popup = new UltraRadioBoxPopup(this, Qt::Window | Qt::FramelessWindowHint);
    popup->hide();
    popup->setWindowOpacity(0.6);

    popupLayout = new QVBoxLayout;
    popupLayout->setContentsMargins(0, 0, 0, 0);
    popupLayout->setSpacing(0);
    popup->setLayout(popupLayout);
}

// The popup goes first, while the map it reports destroyed choices to still exists.
UltraRadioBox::~UltraRadioBox()
{
    textButtons.clear();
    delete popup;
}

void UltraRadioBox::addButton(QAbstractButton *button, const QString &text)
{
    if (!button || textButtons.contains(button))
        return;
    QPushButton *textButton = new QPushButton;
    textButtons.insert(button, textButton);
    textButton->setText(text);

    QHBoxLayout *row = new QHBoxLayout;
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    row->addWidget(button);
    row->addWidget(textButton);

    button->setCheckable(true);
    button->setChecked(false);
    stylePushButton(textButton);
    connect(textButton, SIGNAL(clicked()), button, SLOT(click()));
    popupLayout->addLayout(row);
    setFixedSize(button->size());
    connect(button, SIGNAL(clicked()), this, SLOT(slotButtonClicked()));

    // A choice destroyed by its owner takes its text button along, so the map
    // never holds a dead key.
    connect(button, &QObject::destroyed, this, [this, button]() {
        QPushButton *orphan = textButtons.take(button);
        if (orphan)
            orphan->deleteLater();
    });

    shownPixmap = button->grab(button->rect());
    update();
}

void UltraRadioBox::select(QAbstractButton *button)
{
    if (!button || !textButtons.contains(button))
        return;
    current = button;

    const QList<QAbstractButton *> buttons = findChildren<QAbstractButton *>();
    for (QAbstractButton *b : buttons) {
        b->setChecked(false);
        b->show();
        if (QPushButton *textButton = textButtons.value(b))
            textButton->show();
    }

    hoverPixmap = button->grab(button->rect());

    QPushButton *textButton = textButtons.value(button);
    button->setChecked(true);
    button->hide();
    textButton->hide();
    popup->hide();

    shownPixmap = button->grab(button->rect());
    normalPixmap = shownPixmap;

    setToolTip(textButton->text());
    update();
}

void UltraRadioBox::setButtonVisible(QAbstractButton *button, bool visible)
{
    if (!button || !textButtons.contains(button))
        return;
    button->setVisible(visible);
    textButtons.value(button)->setVisible(visible);
}

void UltraRadioBox::hidePopup()
{
    popup->hide();
}

void UltraRadioBox::setPopupOpacity(const float &opacity)
{
    popup->setWindowOpacity(opacity);
}

void UltraRadioBox::slotButtonClicked()
{
    QAbstractButton *button = qobject_cast<QAbstractButton *>(sender());
    if (!button)
        return;
    select(button);
    emit buttonClicked();
}

void UltraRadioBox::slotFocusChanged(QWidget *, QWidget *)
{
}

void UltraRadioBox::mousePressEvent(QMouseEvent *event)
{
    popup->move(mapToGlobal(QPoint(0, 0)) + QPoint(0, height()));
    popup->raise();
    // A press toggles the popup. With a window manager the same press may
    // have closed it already, by activating this window first.
    const bool closedByThisPress = popup->takeRecentDeactivationClose();
    popup->setVisible(popup->isHidden() && !closedByThisPress);

    // Read on every press so a changed setting applies at once. The shared
    // helper keeps the popup from becoming fully transparent.
    int percentage = 35;
    if (App *app = App::instance())
        percentage = app->value(QStringLiteral("TransparencyParameters/UltraRadioPopups"), 35).toInt();
    setPopupOpacity(float(opacityForTransparency(percentage)));

    QWidget::mousePressEvent(event);
    emit actionPerformed();
}

void UltraRadioBox::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
}

void UltraRadioBox::enterEvent(QEvent *event)
{
    if (current) {
        shownPixmap = hoverPixmap;
        update();
    }
    QWidget::enterEvent(event);
}

void UltraRadioBox::leaveEvent(QEvent *event)
{
    if (current) {
        shownPixmap = normalPixmap;
        update();
    }
    QWidget::leaveEvent(event);
}

void UltraRadioBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(QRect(0, 0, width(), height()), shownPixmap, shownPixmap.rect());
    painter.translate(width() - 10, height() - 8);
    painter.setBrush(QBrush(Qt::white, Qt::SolidPattern));
    const QPoint arrow[3] = {QPoint(0, 0), QPoint(8, 0), QPoint(4, 4)};
    painter.drawPolygon(arrow, 3, Qt::OddEvenFill);
}

} // namespace QMWidgets
