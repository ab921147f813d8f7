#include "helpviewarea.h"

#include "app.h"
#include "helpdisplay.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QPushButton>
#include <QSignalMapper>
#include <QTimer>

namespace QMWidgets {

HelpViewArea::HelpViewArea(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("HelpViewArea"));

    m_timer = new QTimer(this);
    m_timer->setInterval(5000);
    connect(m_timer, SIGNAL(timeout()), this, SLOT(slotShowNextSlide()));

    m_mapper = new QSignalMapper(this);
    connect(m_mapper, SIGNAL(mappedString(QString)), this, SLOT(slotShowSlide(QString)));

    m_display = new HelpDisplay;
    if (App::isSmallScreen())
        m_display->setMinimumSize(280, 220);
    else
        m_display->setMinimumSize(400, 300);

    m_buttonGroup = new QButtonGroup(this);
    m_buttonGroup->setExclusive(true);
    connect(m_buttonGroup, SIGNAL(buttonClicked(QAbstractButton*)), this, SLOT(slotButtonClicked()));

    m_buttonRow = new QHBoxLayout;
    m_buttonRow->setContentsMargins(0, 0, 0, 0);
    m_buttonRow->setSpacing(3);
    auto *centred = new QHBoxLayout;
    centred->setContentsMargins(0, 0, 0, 0);
    centred->addStretch(1);
    centred->addLayout(m_buttonRow);
    centred->addStretch(1);

    auto *mainLayout = new QVBoxLayout;
    mainLayout->setContentsMargins(6, 6, 6, 6);
    mainLayout->setSpacing(6);
    mainLayout->addWidget(m_display);
    mainLayout->addLayout(centred);
    setLayout(mainLayout);
}

void HelpViewArea::addSlide(const QString &path)
{
    ++m_slideCount;
    QPushButton *button = styleSlideButton(new QPushButton(QString::number(m_slideCount)),
                                           QStringLiteral("HelpSlideButton"));
    m_buttonGroup->addButton(button);
    m_buttonRow->addWidget(button);
    connect(button, SIGNAL(toggled(bool)), m_mapper, SLOT(map()));
    connect(button, SIGNAL(clicked()), this, SLOT(slotStopSlideShow()));
    m_mapper->setMapping(button, path);
}

QPushButton *HelpViewArea::styleSlideButton(QPushButton *button, const QString &objectName)
{
    if (!button)
        return button;
    button->setFlat(true);
    button->setFixedSize(18, 18);
    button->setObjectName(objectName);
    button->setCheckable(true);
    return button;
}

HelpDisplay *HelpViewArea::display() const
{
    return m_display;
}

QTimer *HelpViewArea::slideTimer() const
{
    return m_timer;
}

void HelpViewArea::slotButtonClicked()
{
}

void HelpViewArea::slotShowSlide(const QString &path)
{
    m_display->setImage(path);
    m_display->repaint();
}

void HelpViewArea::slotShowNextSlide()
{
    const QList<QAbstractButton *> buttons = m_buttonGroup->buttons();
    if (buttons.isEmpty())
        return;
    const int checked = buttons.indexOf(m_buttonGroup->checkedButton());
    const int next = checked < 0 ? 0 : (checked + 1) % buttons.size();
    buttons.at(next)->setChecked(true);
}

void HelpViewArea::slotStartSlideShow()
{
    const QList<QAbstractButton *> buttons = m_buttonGroup->buttons();
    if (!m_buttonGroup->checkedButton() && !buttons.isEmpty())
        buttons.first()->setChecked(true);
    m_timer->start();
}

void HelpViewArea::slotStopSlideShow()
{
    m_timer->stop();
}

} // namespace QMWidgets
