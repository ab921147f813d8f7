#include "titlelabel.h"

#include <QMouseEvent>

namespace QMWidgets {

TitleLabel::TitleLabel(QWidget *parent)
    : QLabel(parent)
{
}

TitleLabel::~TitleLabel()
{
    for (const QPointer<QWidget> &popup : qAsConst(m_retired))
        delete popup.data();
    delete m_popup.data();
}

void TitleLabel::retirePopup(QWidget *popup)
{
    popup->hide();
    // Deferred, so a popup may replace itself from one of its own slots. The
    // deletion rides on a fresh object, so taking the popup back only forgets
    // it here: withdrawing a widget's own posted deletion would leave its next
    // deleteLater() without effect.
    QObject *ticket = new QObject;
    m_retired.insert(ticket, popup);
    connect(ticket, &QObject::destroyed, this, [this, ticket] {
        const QPointer<QWidget> retired = m_retired.take(ticket);
        delete retired.data();
    });
    ticket->deleteLater();
}

void TitleLabel::setPopup(QWidget *popup, const QPoint &offset)
{
    m_popupOffset = offset;
    if (popup == m_popup)
        return;
    if (m_popup)
        retirePopup(m_popup);
    m_popup = popup;
    if (!m_popup)
        return;
    // A popup set again before the events ran is no longer to be deleted.
    for (auto it = m_retired.begin(); it != m_retired.end();) {
        if (it.value() == m_popup)
            it = m_retired.erase(it);
        else
            ++it;
    }
    m_popup->setWindowFlags(Qt::ToolTip);
    // Changing the flags hides the popup; show it again beside a visible title.
    if (isVisible()) {
        placePopup();
        m_popup->show();
    }
}

void TitleLabel::placePopup()
{
    if (m_popup)
        m_popup->move(mapToGlobal(m_popupOffset));
}

void TitleLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressPoint = event->localPos().toPoint();
    QLabel::mousePressEvent(event);
}

void TitleLabel::mouseMoveEvent(QMouseEvent *event)
{
    // Move events arrive only while a button is held: tracking stays off.
    const QPoint global = event->screenPos().toPoint();
    if (QWidget *target = parentWidget())
        target->move(global - m_pressPoint);
    placePopup();
    QLabel::mouseMoveEvent(event);
}

void TitleLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    // Follows the window when something else moved it.
    placePopup();
}

void TitleLabel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_popup)
        m_popup->show();
}

void TitleLabel::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (m_popup)
        m_popup->hide();
}

} // namespace QMWidgets
