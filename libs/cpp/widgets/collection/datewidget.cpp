#include "datewidget.h"

#include "calendar.h"

#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>

namespace QMWidgets {

DateWidget::DateWidget(int yearOffset, QWidget *parent)
    : QWidget(parent)
{
    setMinimumWidth(300);

    dayBox = new QComboBox;
    monthBox = new QComboBox;
    yearBox = new QComboBox;
    dayBox->setMaximumWidth(80);
    monthBox->setMaximumWidth(110);
    yearBox->setMaximumWidth(90);
    dayBox->setMinimumWidth(50);
    monthBox->setMinimumWidth(90);
    yearBox->setMinimumWidth(70);

    connect(dayBox, SIGNAL(currentIndexChanged(int)), this, SIGNAL(dataChanged()));
    connect(monthBox, SIGNAL(currentIndexChanged(int)), this, SIGNAL(dataChanged()));
    connect(yearBox, SIGNAL(currentIndexChanged(int)), this, SIGNAL(dataChanged()));

    for (int m = 1; m <= 12; ++m)
        monthBox->addItem(MTools::monthName(m));
    connect(monthBox, SIGNAL(currentIndexChanged(int)), this, SLOT(slotMonthChanged(int)));

    yearBox->addItem(QString());
    const int start = QDate::currentDate().year() + yearOffset;
    for (int y = start; y >= start - 130; --y)
        yearBox->addItem(QString::number(y));

    QHBoxLayout *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(dayBox);
    layout->addWidget(monthBox);
    layout->addWidget(yearBox);
    layout->addStretch(1);
    setLayout(layout);

    for (int d = 1; d <= 31; ++d)
        dayBox->addItem(QString::number(d));
}

int DateWidget::day() const
{
    return dayBox->currentIndex() + 1;
}

int DateWidget::month() const
{
    return monthBox->currentIndex() + 1;
}

int DateWidget::year() const
{
    bool ok = false;
    const int y = yearBox->currentText().toInt(&ok, 10);
    return ok ? y : -1;
}

void DateWidget::setDay(const int &day)
{
    dayBox->setCurrentIndex(day <= 0 ? 0 : day - 1);
}

void DateWidget::setMonth(const int &month)
{
    monthBox->setCurrentIndex(month <= 0 ? 0 : month - 1);
}

void DateWidget::setYear(const int &year)
{
    if (year <= 0)
        return;
    yearBox->setCurrentIndex(yearBox->findText(QString::number(year), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void DateWidget::setMonthAndYearHidden(bool hidden)
{
    monthBox->setVisible(!hidden);
    yearBox->setVisible(!hidden);
}

void DateWidget::reset()
{
    const bool d = dayBox->blockSignals(true);
    const bool m = monthBox->blockSignals(true);
    const bool y = yearBox->blockSignals(true);
    yearBox->setCurrentIndex(0);
    monthBox->setCurrentIndex(0);
    dayBox->setCurrentIndex(0);
    yearBox->blockSignals(y);
    monthBox->blockSignals(m);
    dayBox->blockSignals(d);
}

void DateWidget::slotMonthChanged(int)
{
}

} // namespace QMWidgets
