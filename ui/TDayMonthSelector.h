#pragma once
// A day-and-month picker: a month list, "/" and a day list whose length follows the month
// in the stored year (2001 unless set). Application dates only use day and month.

#include "framework/DateTime.h"

#include <QWidget>

class QComboBox;
class QLabel;

namespace parvela {

class TDayMonthSelector : public QWidget {
    Q_OBJECT
public:
    explicit TDayMonthSelector(QWidget* parent = nullptr);

    int Year() const { return year_; }
    // Selects January with its days.
    void SetYear(int year);
    // The stored year with the selected month and day; 1 January 1900 without both.
    TDateTime Date() const;
    void SetDate(TDateTime date);
    void SetSelectorEnabled(bool enabled);

    QComboBox* MonthList() const { return cmbMonth_; }
    QComboBox* DayList() const { return cmbDay_; }

signals:
    // The user chose a month or a day.
    void OnChange();

private:
    void FillDays(int month);
    void MonthChanged();
    void DayChanged();

    int year_ = 2001;
    bool filling_ = false;
    QComboBox* cmbMonth_ = nullptr;
    QLabel* separator_ = nullptr;
    QComboBox* cmbDay_ = nullptr;
};

} // namespace parvela
