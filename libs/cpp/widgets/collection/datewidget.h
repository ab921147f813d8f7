#pragma once

#include <QWidget>

class QComboBox;

namespace QMWidgets {

// A date entered with three drop-down lists: day 1..31, the twelve months and
// the years from the current year plus an offset back over 130 years, newest
// first, after an empty "no year" item.
class DateWidget : public QWidget
{
    Q_OBJECT
public:
    explicit DateWidget(int yearOffset, QWidget *parent = nullptr);

    // 1-based; 0 when the list has no choice.
    int day() const;
    int month() const;
    // -1 when no year is chosen.
    int year() const;

    // Values of 0 and below choose the first item; values past the list leave
    // no choice.
    void setDay(const int &day);
    void setMonth(const int &month);
    // Nothing for 0 and below; a year the list lacks leaves no year chosen.
    void setYear(const int &year);
    void setMonthAndYearHidden(bool hidden);
    // Day 1, the first month and no year, without dataChanged().
    void reset();

signals:
    void dataChanged();

public slots:
    void slotMonthChanged(int index);

private:
    QComboBox *dayBox;
    QComboBox *monthBox;
    QComboBox *yearBox;
};

} // namespace QMWidgets
