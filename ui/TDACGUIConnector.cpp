#include "ui/TDACGUIConnector.h"

#include "framework/Format.h"
#include "framework/MissingValues.h"
#include "framework/TDACFilter.h"
#include "platform/Exceptions.h"
#include "ui/QtConvert.h"
#include "ui/TDACGrid.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QValidator>

#include <optional>

namespace parvela {

namespace {

bool IsPositive(TDialogAnswer answer) {
    return answer == TDialogAnswer::Yes || answer == TDialogAnswer::Ok;
}

const char* const NoValueGiven = "<no value given>";
const char* const TextLimitProperty = "parvelaTextLimit";

// The number in the edit: the missing value for the texts that mean none (empty,
// "<no value given>", "+", "-", "."); nothing when the text is no number.
std::optional<double> EditNumber(QLineEdit* edit) {
    const std::string text = TrimText(StdText(edit->text()));
    if (text.empty() || text == NoValueGiven || text == "+" || text == "-" || text == ".")
        return MissingReal;
    double value = 0;
    if (!TryStrToFloat(text, value))
        return std::nullopt;
    return value;
}

} // namespace

// Marks the connector's own writes into the controls; back to active on every way out.
class TDACGUIConnector::TBusy {
public:
    explicit TBusy(TDACGUIConnector& connector) : connector_(connector) {
        connector_.SetState(csBusy);
    }
    ~TBusy() { connector_.SetState(csActive); }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    TDACGUIConnector& connector_;
};

TDACGUIConnector::TDACGUIConnector(const std::string& itemName) {
    if (TrimText(itemName).empty()) {
        saveQuestion_ = "Save the item ?";
        deleteQuestion_ = "Do you really want to delete this item ?";
        cancelQuestion_ = "Do you want to cancel the changes to this item?";
    } else {
        saveQuestion_ = Format("Save the %s ?", itemName);
        deleteQuestion_ = Format("Do you really want to delete this %s ?", itemName);
        cancelQuestion_ = Format("Do you want to cancel the changes to this %s?", itemName);
    }
}

TDACGUIConnector::~TDACGUIConnector() {
    rowListeners_.clear();
    detailListeners_.clear();
    Stop();
}

std::string TDACGUIConnector::Message(const char* operation, const std::string& text) const {
    return Format("%s.%s : ", ClassName, operation) + text;
}

void TDACGUIConnector::Check(bool condition, const char* operation, const std::string& text) const {
    if (!condition)
        Assert(false, Message(operation, text));
}

void TDACGUIConnector::SetGrid(TDACGrid* grid) {
    Check(grid != nullptr, "SetGrid", "Object not assigned");
    grid_ = grid;
}

void TDACGUIConnector::SetInitGridSetter(TInitGridSetter setter) {
    Check(static_cast<bool>(setter), "SetInitGridSetter", "Object not assigned");
    initGridSetter_ = std::move(setter);
}

void TDACGUIConnector::SetPopulateGridRow(TPopulateGridRow populate) {
    Check(static_cast<bool>(populate), "SetPopulateGridRow", "Object not assigned");
    populateGridRow_ = std::move(populate);
}

void TDACGUIConnector::SetObjectControlsInterchange(TObjectControlsInterchange interchange) {
    Check(static_cast<bool>(interchange), "SetObjectControlsInterchange", "Object not assigned");
    objectControlsInterchange_ = std::move(interchange);
}

void TDACGUIConnector::SetObjectList(TDACDatabaseClass* list) {
    Check(list != nullptr, "SetObjectList", "Object not assigned");
    list_ = list;
}

void TDACGUIConnector::AddRowListener(TRowListener listener) {
    rowListeners_.push_back(std::move(listener));
}

void TDACGUIConnector::AddOpenDetailSetListener(TOpenDetailSetListener listener) {
    detailListeners_.push_back(std::move(listener));
}

void TDACGUIConnector::SetState(int state) {
    if (state < csStopped || state > csBusy)
        throw Exception(Message("SetState", "internal error"));
    state_ = static_cast<TDACGUIConnectorState>(state);
}

bool TDACGUIConnector::IsPending(const TDACDatabaseClassItem* item) {
    return item && (item->ItemState() == isEdited || item->ItemState() == isInserted);
}

void TDACGUIConnector::AssertListAndGrid(const char* operation) const {
    Check(list_ != nullptr, operation, "No ObjectList defined");
    Check(list_->IsOpen(), operation, "ObjectList is not open");
    Check(grid_ != nullptr, operation, "No Grid defined");
}

// ---- grid --------------------------------------------------------------------------------

void TDACGUIConnector::InitGrid() {
    grid_->SetRowCount(2);
    if (grid_->ColCount() < 1)
        grid_->SetColCount(1);
    grid_->SetRowHeights(21, 18);
    QFont headerFont = grid_->horizontalHeader()->font();
    headerFont.setBold(true);
    grid_->horizontalHeader()->setFont(headerFont);
    QPalette palette = grid_->palette();
    palette.setColor(QPalette::Highlight, QColor(249, 211, 211));
    palette.setColor(QPalette::HighlightedText,
                     QApplication::palette().color(QPalette::WindowText));
    grid_->setPalette(palette);
    grid_->SetColWidth(0, -1);
    grid_->SetCell(0, 0, "ItemID");
    grid_->SetRow(1);
    Check(grid_->Row() == 1, "InitGrid", "Row 1 is not selected");
}

void TDACGUIConnector::ClearGrid(const std::string& text) {
    for (int row = 1; row < grid_->RowCount(); ++row)
        for (int column = 0; column < grid_->ColCount(); ++column)
            grid_->SetCell(column, row, std::string());
    for (int column = 1; column < grid_->ColCount(); ++column)
        grid_->SetCell(column, 1, text);
}

void TDACGUIConnector::Start(const std::string& itemID) {
    Check(state_ == csStopped, "Start", "DACGUIConnector not in stopped state");
    Check(static_cast<bool>(initGridSetter_), "Start", "No InitGridSetter defined");
    Check(grid_ != nullptr, "Start", "No Grid defined");
    Check(rowListeners_.size() == detailListeners_.size(), "Start",
          "Number of row listeners not equal to number of open detail set listeners");
    InitGrid();
    initGridSetter_();
    DetachRowChanging();
    try {
        PrepareUserControls(itemID);
    } catch (...) {
        AttachRowChanging();
        throw;
    }
    AttachRowChanging();
    SetActionStatus(SelectedObject());
    grid_->SetOnMaySort([this](bool& allow) { BeforeSort(allow); });
    grid_->SetOnSorted([this] { AfterSort(); });
    SetState(csActive);
}

void TDACGUIConnector::Stop() {
    if (grid_) {
        grid_->SetOnRowChanging(nullptr);
        grid_->SetOnMaySort(nullptr);
        grid_->SetOnSorted(nullptr);
    }
    actionStatus_ = TDACActionStatus{};
    state_ = csStopped;
}

void TDACGUIConnector::AttachRowChanging() {
    grid_->SetOnRowChanging(
        [this](int oldRow, int newRow, bool& allow) { BeforeRowChange(oldRow, newRow, allow); });
}

void TDACGUIConnector::DetachRowChanging() {
    grid_->SetOnRowChanging(nullptr);
}

void TDACGUIConnector::PrepareUserControls(const std::string& itemID) {
    AssertListAndGrid("PrepareUserControls");
    Check(static_cast<bool>(populateGridRow_), "PrepareUserControls", "No PopulateGridRow defined");
    ++refills_;
    if (list_->HasItems()) {
        ClearGrid("<filling...>");
        grid_->SetRowCount(list_->Count() + 1);
        int row = 1;
        for (list_->First(); !list_->Eof(); list_->Next(), ++row) {
            TDACDatabaseClassItem& item = list_->Item();
            grid_->SetCell(0, row, item.ItemID());
            populateGridRow_(row, item);
        }
    } else {
        ClearGrid("<not available>");
        grid_->SetRowCount(2);
    }
    SelectRowFromItemID(itemID);
}

TDACDatabaseClassItem* TDACGUIConnector::ListCurrentItem() const {
    if (!list_->HasItems() || list_->GetObjectListIndex() == TDACDatabaseClass::NoCurrentIndex)
        return nullptr;
    return &list_->Item();
}

void TDACGUIConnector::RefillFromListCurrent() {
    TDACDatabaseClassItem* current = ListCurrentItem();
    const std::string itemID = current ? current->ItemID() : std::string();
    DetachRowChanging();
    try {
        PrepareUserControls(itemID);
    } catch (...) {
        AttachRowChanging();
        throw;
    }
    AttachRowChanging();
}

// ---- rows and items ----------------------------------------------------------------------

int TDACGUIConnector::SelectedRowIndex() const {
    return grid_ ? grid_->Row() : 0;
}

std::string TDACGUIConnector::ItemIDOfRowIndex(int row) const {
    Check(grid_ != nullptr, "ItemIDOfRowIndex", "No Grid defined");
    Check(row >= 1 && row < grid_->RowCount(), "ItemIDOfRowIndex",
          Format("Illegal row index (%d)", row));
    return grid_->Cell(0, row);
}

TDACDatabaseClassItem* TDACGUIConnector::ObjectFromItemID(const std::string& itemID) const {
    if (TrimText(itemID).empty())
        return nullptr;
    list_->LocateByItemID(itemID, true);
    return &list_->Item();
}

TDACDatabaseClassItem* TDACGUIConnector::ObjectFromRowIndex(int row) const {
    return ObjectFromItemID(ItemIDOfRowIndex(row));
}

TDACDatabaseClassItem* TDACGUIConnector::SelectedObject() const {
    if (!grid_ || !list_ || !list_->IsOpen() || SelectedRowIndex() < 1)
        return nullptr;
    return ObjectFromRowIndex(SelectedRowIndex());
}

void TDACGUIConnector::ShowInControls(TDACDatabaseClassItem* item) {
    TBusy busy(*this);
    objectControlsInterchange_(false, item);
}

void TDACGUIConnector::RewriteSelectedRow(TDACDatabaseClassItem& item) {
    const int row = SelectedRowIndex();
    grid_->SetCell(0, row, item.ItemID());
    populateGridRow_(row, item);
}

void TDACGUIConnector::SelectRowFromItemID(const std::string& itemID) {
    AssertListAndGrid("SelectRowFromItemID");
    Check(static_cast<bool>(objectControlsInterchange_), "SelectRowFromItemID",
          "No ObjectControlsInterchange defined");
    int target = 1;
    if (list_->Count() > 1 && !TrimText(itemID).empty()) {
        target = 0;
        for (int row = 1; row < grid_->RowCount() && target == 0; ++row)
            if (grid_->Cell(0, row) == itemID)
                target = row;
        Check(target != 0, "SelectRowFromItemID", "Cannot find ItemID=\"" + itemID + "\"");
    }
    grid_->SetRow(target);
    grid_->ScrollToRow(grid_->Row());
    TDACDatabaseClassItem* item = SelectedObject();
    ShowInControls(item);
    SetActionStatus(item);
}

void TDACGUIConnector::SetActionStatus(TDACDatabaseClassItem* item) {
    TDACActionStatus status;
    if (!item) {
        status.Insert = list_ && list_->IsOpen() && list_->CanInsert();
        status.First = status.Last = list_ && list_->IsOpen() && list_->Count() > 1;
    } else if (invalidInput_) {
        status.Delete = item->CanDelete();
        status.Cancel = true;
    } else {
        const bool browsing = item->ItemState() == isBrowse;
        status.Delete = item->CanDelete();
        status.Insert = browsing && list_->CanInsert();
        status.Save = status.Cancel = IsPending(item);
        status.First = status.Last = browsing && list_->Count() > 1;
    }
    actionStatus_ = status;
}

// ---- the window's operations -------------------------------------------------------------

bool TDACGUIConnector::SaveSelectedRow(bool ask) {
    return SaveSelectedRow(ask, saveQuestion_, TDialogButtons::YesNoCancel);
}

bool TDACGUIConnector::SaveSelectedRow(const std::string& question, TDialogButtons buttons) {
    return SaveSelectedRow(true, question, buttons);
}

bool TDACGUIConnector::SaveSelectedRow(bool ask, const std::string& question,
                                       TDialogButtons buttons) {
    const char* operation = "SaveSelectedRow";
    Check(static_cast<bool>(objectControlsInterchange_), operation,
          "No ObjectControlsInterchange defined");
    AssertListAndGrid(operation);
    Check(static_cast<bool>(populateGridRow_), operation, "No PopulateGridRow defined");
    TDACDatabaseClassItem* item = SelectedObject();
    if (!item)
        return true;
    if (!IsPending(item)) {
        SetActionStatus(item);
        return true;
    }
    const TDialogAnswer answer = ask ? Dialogs().Ask(question, buttons) : TDialogAnswer::Yes;
    if (IsPositive(answer)) {
        if (beforeSave_ && !beforeSave_(*item))
            return false;
        try {
            item->Save();
            if (afterSave_)
                afterSave_(*item);
        } catch (const std::exception& failure) {
            Dialogs().Show(TDialogIcon::Error, failure.what());
            return false;
        }
        ShowInControls(item);
        SetActionStatus(item);
        return true;
    }
    if (answer == TDialogAnswer::No) {
        if (item->ItemState() == isEdited) {
            item->CancelChanges();
            ShowInControls(item);
            RewriteSelectedRow(*item);
            SetActionStatus(item);
        } else {
            list_->LocateByItemID(item->ItemID(), true);
            list_->Delete();
            RefillFromListCurrent();
            SetActionStatus(ListCurrentItem());
        }
        return true;
    }
    if (answer == TDialogAnswer::Cancel)
        return false;
    throw Exception("Internal error");
}

bool TDACGUIConnector::DeleteSelectedRow(bool ask) {
    AssertListAndGrid("DeleteSelectedRow");
    if (ask && !IsPositive(Dialogs().Ask(deleteQuestion_, TDialogButtons::OkCancel)))
        return false;
    TDACDatabaseClassItem* item = SelectedObject();
    Check(item != nullptr, "DeleteSelectedRow", "Internal error");
    list_->LocateByItemID(item->ItemID(), true);
    list_->Delete();
    RefillFromListCurrent();
    SetActionStatus(SelectedObject());
    return true;
}

bool TDACGUIConnector::CancelChangesSelectedRow(bool ask) {
    return CancelChangesSelectedRow(ask, cancelQuestion_);
}

bool TDACGUIConnector::CancelChangesSelectedRow(bool ask, const std::string& question) {
    const char* operation = "CancelChangesSelectedRow";
    AssertListAndGrid(operation);
    Check(static_cast<bool>(objectControlsInterchange_), operation,
          "No ObjectControlsInterchange defined");
    Check(static_cast<bool>(populateGridRow_), operation, "No PopulateGridRow defined");
    if (ask && !IsPositive(Dialogs().Ask(question, TDialogButtons::OkCancel)))
        return false;
    TDACDatabaseClassItem* item = SelectedObject();
    Check(item != nullptr, operation, "Internal error");
    if (item->ItemState() == isInserted) {
        list_->LocateByItemID(item->ItemID(), true);
        list_->Delete();
        invalidInput_ = false;
        RefillFromListCurrent();
        item = SelectedObject();
    } else if (item->ItemState() == isEdited || invalidInput_) {
        if (item->ItemState() == isEdited)
            item->CancelChanges();
        else
            Check(item->ItemState() == isBrowse, operation, "Internal error");
        {
            TBusy busy(*this);
            objectControlsInterchange_(false, item);
            invalidInput_ = false;
        }
        RewriteSelectedRow(*item);
    }
    SetActionStatus(item);
    return true;
}

int TDACGUIConnector::InsertRow() {
    const char* operation = "InsertRow";
    AssertListAndGrid(operation);
    Check(static_cast<bool>(objectControlsInterchange_), operation,
          "No ObjectControlsInterchange defined");
    Check(static_cast<bool>(populateGridRow_), operation, "No PopulateGridRow defined");
    const int previousRows = grid_->RowCount();
    if (list_->HasItems())
        grid_->SetRowCount(previousRows + 1);
    const int row = grid_->RowCount() - 1;
    if (!grid_->SetRow(row)) {
        // The user kept the changes of the selected item: no new item.
        grid_->SetRowCount(previousRows);
        return 0;
    }
    grid_->ScrollToRow(row);
    list_->Insert();
    TDACDatabaseClassItem& item = list_->Item();
    ShowInControls(&item);
    grid_->SetCell(0, row, item.ItemID());
    populateGridRow_(row, item);
    SetActionStatus(&item);
    return row;
}

void TDACGUIConnector::GotoFirstRow() {
    SelectRowFromItemID(ItemIDOfRowIndex(1));
}

void TDACGUIConnector::GotoLastRow() {
    SelectRowFromItemID(ItemIDOfRowIndex(grid_->RowCount() - 1));
}

void TDACGUIConnector::ControlChangeEventHandler() {
    const char* operation = "ControlChangeEventHandler";
    Check(static_cast<bool>(objectControlsInterchange_), operation,
          "No ObjectControlsInterchange defined");
    Check(grid_ != nullptr, operation, "No Grid defined");
    Check(static_cast<bool>(populateGridRow_), operation, "No PopulateGridRow defined");
    if (state_ != csActive)
        return;
    TDACDatabaseClassItem* item = SelectedObject();
    if (!item)
        return;
    invalidInput_ = false;
    objectControlsInterchange_(true, item);
    RewriteSelectedRow(*item);
    SetActionStatus(item);
}

bool TDACGUIConnector::SettleSelectedRow() {
    return SettleItem(SelectedObject());
}

bool TDACGUIConnector::SettleItem(TDACDatabaseClassItem* item) {
    if (invalidInput_)
        return CancelChangesSelectedRow(true, InvalidInputQuestion);
    if (IsPending(item))
        return SaveSelectedRow(true);
    return true;
}

// ---- grid events -------------------------------------------------------------------------

void TDACGUIConnector::BeforeRowChange(int oldRow, int newRow, bool& allow) {
    Check(static_cast<bool>(objectControlsInterchange_), "BeforeRowChange",
          "No ObjectControlsInterchange defined");
    const int refills = refills_;
    TDACDatabaseClassItem* oldItem = oldRow >= 1 ? ObjectFromRowIndex(oldRow) : nullptr;
    allow = SettleItem(oldItem);
    // A discarded new item rebuilt the grid and selected the list's current item already.
    if (allow && refills != refills_) {
        allow = false;
        return;
    }
    for (std::size_t i = 0; allow && i < rowListeners_.size(); ++i)
        rowListeners_[i](*this, oldRow, newRow, allow);
    if (!allow)
        return;
    TDACDatabaseClassItem* newItem = ObjectFromRowIndex(newRow);
    for (const TOpenDetailSetListener& listener : detailListeners_)
        listener(newItem);
    ShowInControls(newItem);
    SetActionStatus(newItem);
}

void TDACGUIConnector::BeforeSort(bool& allow) {
    allow = SettleSelectedRow();
    if (allow) {
        sortItemID_ = ItemIDOfRowIndex(SelectedRowIndex());
        SetState(csBusy);
    } else {
        sortItemID_.clear();
    }
}

void TDACGUIConnector::AfterSort() {
    SetState(csActive);
    SelectRowFromItemID(sortItemID_);
    sortItemID_.clear();
}

// ---- controls ----------------------------------------------------------------------------

void TDACGUIConnector::SetBackground(QWidget* control, bool enabled) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base,
                     QApplication::palette().color(enabled ? QPalette::Base : QPalette::Button));
    control->setPalette(palette);
}

void TDACGUIConnector::SetTextLimit(QLineEdit* edit, int characters) {
    edit->setProperty(TextLimitProperty, characters);
    edit->setMaxLength(characters);
}

void TDACGUIConnector::SetEditText(QLineEdit* edit, const std::string& text) {
    const QString shown = QText(text);
    if (const int limit = edit->property(TextLimitProperty).toInt(); limit > 0)
        edit->setMaxLength(std::max(limit, static_cast<int>(shown.size())));
    // The item's text is shown as it is: a validator judges only what the user types.
    const QValidator* validator = edit->validator();
    edit->setValidator(nullptr);
    edit->setText(shown);
    edit->setValidator(validator);
    edit->setCursorPosition(0);
}

void TDACGUIConnector::SetTEdit(QLineEdit* edit, const std::string& text, bool enabled) {
    SetEditText(edit, text);
    edit->setEnabled(enabled);
    SetBackground(edit, enabled);
}

void TDACGUIConnector::SetTMemo(QPlainTextEdit* memo, const std::string& text, bool enabled) {
    memo->setPlainText(QText(text));
    memo->setEnabled(enabled);
    SetBackground(memo, enabled);
}

void TDACGUIConnector::SetTCheckBox(QCheckBox* box, bool checked, bool enabled) {
    box->setChecked(checked);
    box->setEnabled(enabled);
}

void TDACGUIConnector::SetTDateTimePicker(QDateTimeEdit* picker, bool enabled, TDateTime date) {
    picker->setDateTime(ToQDateTime(date));
    picker->setEnabled(enabled);
    SetBackground(picker, enabled);
}

void TDACGUIConnector::SetTComboBox(QComboBox* box, bool enabled) {
    box->setEnabled(enabled);
    SetBackground(box, enabled);
}

double TDACGUIConnector::FloatFromEdit(QLineEdit* edit) {
    const std::optional<double> number = EditNumber(edit);
    MarkInput(edit, number.has_value());
    return number.value_or(MissingReal);
}

double TDACGUIConnector::FloatFromEdit(QLineEdit* edit, const TValueRange& range) {
    const std::optional<double> number = EditNumber(edit);
    MarkInput(edit, number && !IsMissingReal(*number) && range.Holds(*number));
    return number.value_or(MissingReal);
}

void TDACGUIConnector::MarkInput(QLineEdit* edit, bool valid) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base,
                     valid ? QApplication::palette().color(QPalette::Base) : QColor(Qt::red));
    edit->setPalette(palette);
    if (!valid)
        invalidInput_ = true;
}

} // namespace parvela
