#include "ui/TDayMonthSelector.h"

#include "program/system/DayMonth.h"
#include "ui/QtConvert.h"

#include <QComboBox>
#include <QLabel>

#include <algorithm>

namespace parvela {

TDayMonthSelector::TDayMonthSelector(QWidget* parent) : QWidget(parent) {
    cmbMonth_ = new QComboBox(this);
    cmbMonth_->setObjectName("cmbMonth");
    cmbMonth_->setGeometry(0, 0, 50, cmbMonth_->sizeHint().height());
    cmbMonth_->setMaxVisibleItems(12);
    separator_ = new QLabel("/", this);
    separator_->move(52, 4);
    cmbDay_ = new QComboBox(this);
    cmbDay_->setObjectName("cmbDay");
    cmbDay_->setGeometry(60, 0, 50, cmbDay_->sizeHint().height());
    setFixedSize(cmbDay_->geometry().right() + 1, cmbMonth_->sizeHint().height());
    connect(cmbMonth_, &QComboBox::currentIndexChanged, this, [this] { MonthChanged(); });
    connect(cmbDay_, &QComboBox::currentIndexChanged, this, [this] { DayChanged(); });
    SetYear(2001);
}

void TDayMonthSelector::SetYear(int year) {
    filling_ = true;
    year_ = year;
    cmbMonth_->clear();
    for (int month = 1; month <= 12; ++month)
        cmbMonth_->addItem(QText(MonthAbbreviation(month)));
    cmbMonth_->setCurrentIndex(0);
    FillDays(1);
    filling_ = false;
}

void TDayMonthSelector::FillDays(int month) {
    const bool wasFilling = filling_;
    filling_ = true;
    const int position = std::max(cmbDay_->currentIndex(), 0);
    cmbDay_->clear();
    const int days = DaysInMonth(year_, month);
    for (int day = 1; day <= days; ++day)
        cmbDay_->addItem(QString::number(day));
    cmbDay_->setCurrentIndex(std::min(position, days - 1));
    filling_ = wasFilling;
}

void TDayMonthSelector::MonthChanged() {
    if (filling_ || cmbMonth_->currentIndex() < 0)
        return;
    FillDays(cmbMonth_->currentIndex() + 1);
    emit OnChange();
}

void TDayMonthSelector::DayChanged() {
    if (!filling_)
        emit OnChange();
}

TDateTime TDayMonthSelector::Date() const {
    if (cmbMonth_->currentIndex() < 0 || cmbDay_->currentIndex() < 0)
        return EncodeDate(1900, 1, 1);
    return EncodeDate(year_, cmbMonth_->currentIndex() + 1, cmbDay_->currentIndex() + 1);
}

void TDayMonthSelector::SetDate(TDateTime date) {
    const TDateParts parts = DecodeDateTime(date);
    filling_ = true;
    cmbMonth_->setCurrentIndex(parts.Month - 1);
    FillDays(parts.Month);
    cmbDay_->setCurrentIndex(std::min(parts.Day, cmbDay_->count()) - 1);
    filling_ = false;
}

void TDayMonthSelector::SetSelectorEnabled(bool enabled) {
    setEnabled(enabled);
    cmbMonth_->setEnabled(enabled);
    cmbDay_->setEnabled(enabled);
    separator_->setEnabled(enabled);
}

} // namespace parvela
