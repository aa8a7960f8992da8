#pragma once
// Ties one item list to a browse grid and the window's edit controls: fills the grid, moves
// the selected item into the controls, takes edits back into the item, asks the save, delete
// and cancel questions, keeps the rows in step with the list and tells the window which
// navigator actions are enabled. The windows supply only the item-specific code.

#include "framework/TDACDatabaseClass.h"
#include "framework/TDACDatabaseClassItem.h"
#include "framework/ValueRange.h"
#include "platform/Dialogs.h"

#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QCheckBox;
class QDateTimeEdit;
class QComboBox;
class QWidget;

namespace parvela {

class TDACGrid;

enum TDACGUIConnectorState { csStopped = 0, csActive = 1, csBusy = 2 };

struct TDACActionStatus {
    bool Delete = false;
    bool Insert = false;
    bool Save = false;
    bool Cancel = false;
    bool First = false;
    bool Last = false;
};

class TDACGUIConnector {
public:
    static constexpr const char* ClassName = "TDACGUIConnector";
    static constexpr const char* InvalidInputQuestion =
        "Invalid input provided, do you want to lose these changes?";

    using TInitGridSetter = std::function<void()>;
    using TPopulateGridRow = std::function<void(int row, TDACDatabaseClassItem& item)>;
    // Direction false: item to controls (item may be null: clear and disable them);
    // true: controls to item.
    using TObjectControlsInterchange =
        std::function<void(bool toItem, TDACDatabaseClassItem* item)>;
    using TRowListener =
        std::function<void(TDACGUIConnector& sender, int oldRow, int newRow, bool& allow)>;
    using TOpenDetailSetListener = std::function<void(TDACDatabaseClassItem* item)>;
    // Asked before every save that a positive answer (or no question) starts; false drops
    // the save as a Cancel would.
    using TBeforeSave = std::function<bool(TDACDatabaseClassItem& item)>;
    using TAfterSave = std::function<void(TDACDatabaseClassItem& item)>;

    explicit TDACGUIConnector(const std::string& itemName);
    ~TDACGUIConnector();
    TDACGUIConnector(const TDACGUIConnector&) = delete;
    TDACGUIConnector& operator=(const TDACGUIConnector&) = delete;

    void SetGrid(TDACGrid* grid);
    void SetInitGridSetter(TInitGridSetter setter);
    void SetPopulateGridRow(TPopulateGridRow populate);
    void SetObjectControlsInterchange(TObjectControlsInterchange interchange);
    void SetObjectList(TDACDatabaseClass* list);
    void AddRowListener(TRowListener listener);
    void AddOpenDetailSetListener(TOpenDetailSetListener listener);
    void SetBeforeSave(TBeforeSave beforeSave) { beforeSave_ = std::move(beforeSave); }
    // Called after every save of an item that succeeded.
    void SetAfterSave(TAfterSave afterSave) { afterSave_ = std::move(afterSave); }

    void Start(const std::string& itemID);
    void Stop();

    int SelectedRowIndex() const;
    std::string ItemIDOfRowIndex(int row) const;
    TDACDatabaseClassItem* ObjectFromItemID(const std::string& itemID) const;
    TDACDatabaseClassItem* ObjectFromRowIndex(int row) const;
    TDACDatabaseClassItem* SelectedObject() const;
    void SelectRowFromItemID(const std::string& itemID);
    bool SaveSelectedRow(bool ask);
    // Always asks.
    bool SaveSelectedRow(const std::string& question, TDialogButtons buttons);
    // The question of a row change, for a step that leaves the selected item: invalid input
    // may be dropped, pending changes saved or dropped. False when the user keeps them.
    bool SettleSelectedRow();
    bool DeleteSelectedRow(bool ask);
    bool CancelChangesSelectedRow(bool ask);
    bool CancelChangesSelectedRow(bool ask, const std::string& question);
    int InsertRow();
    void GotoFirstRow();
    void GotoLastRow();
    void ControlChangeEventHandler();

    // Whether the item's changes are pending (edited or inserted, not yet saved).
    static bool IsPending(const TDACDatabaseClassItem* item);

    const TDACActionStatus& ActionStatus() const { return actionStatus_; }
    TDACGUIConnectorState State() const { return state_; }
    bool InvalidInput() const { return invalidInput_; }
    const std::string& SaveQuestion() const { return saveQuestion_; }
    const std::string& DeleteQuestion() const { return deleteQuestion_; }
    const std::string& CancelQuestion() const { return cancelQuestion_; }
    TDACGrid* Grid() const { return grid_; }
    TDACDatabaseClass* ObjectList() const { return list_; }

    // Reads a real number from the edit: empty, "<no value given>", "+", "-" or "." give the
    // missing value; a text that is no number gives it too, colours the edit red and sets
    // the invalid-input flag.
    double FloatFromEdit(QLineEdit* edit);
    // Reads a number that must be given and lie within the range: the no-value texts and a
    // number outside the range are invalid too (a number outside is still returned).
    double FloatFromEdit(QLineEdit* edit, const TValueRange& range);

    // Limits what the user can type into the edit to `characters`; SetTEdit still shows a
    // longer text whole (one of an older database) instead of cutting it.
    static void SetTextLimit(QLineEdit* edit, int characters);
    // Enabled controls have the window colour as background, disabled ones the button face.
    static void SetTEdit(QLineEdit* edit, const std::string& text, bool enabled);
    // Sets the text (whole, past a text limit, and past the edit's validator) with the cursor
    // at its start, so that a long text shows its beginning.
    static void SetEditText(QLineEdit* edit, const std::string& text);
    static void SetTMemo(QPlainTextEdit* memo, const std::string& text, bool enabled);
    static void SetTCheckBox(QCheckBox* box, bool checked, bool enabled);
    static void SetTDateTimePicker(QDateTimeEdit* picker, bool enabled, TDateTime date);
    static void SetTComboBox(QComboBox* box, bool enabled);
    static void SetBackground(QWidget* control, bool enabled);

private:
    class TBusy;

    std::string Message(const char* operation, const std::string& text) const;
    void Check(bool condition, const char* operation, const std::string& text) const;
    void AssertListAndGrid(const char* operation) const;
    // Colours the edit red when its text is invalid and sets the invalid-input flag.
    void MarkInput(QLineEdit* edit, bool valid);
    void InitGrid();
    void ClearGrid(const std::string& text);
    void PrepareUserControls(const std::string& itemID);
    // PrepareUserControls with the list's current item, the row-changing event detached.
    void RefillFromListCurrent();
    TDACDatabaseClassItem* ListCurrentItem() const;
    void SetActionStatus(TDACDatabaseClassItem* item);
    void ShowInControls(TDACDatabaseClassItem* item);
    void RewriteSelectedRow(TDACDatabaseClassItem& item);
    bool SaveSelectedRow(bool ask, const std::string& question, TDialogButtons buttons);
    // SettleSelectedRow for the item (the selected one, or the old row's on a row change).
    bool SettleItem(TDACDatabaseClassItem* item);
    void BeforeRowChange(int oldRow, int newRow, bool& allow);
    void BeforeSort(bool& allow);
    void AfterSort();
    void AttachRowChanging();
    void DetachRowChanging();
    void SetState(int state);

    std::string saveQuestion_;
    std::string deleteQuestion_;
    std::string cancelQuestion_;
    TDACGUIConnectorState state_ = csStopped;
    TDACActionStatus actionStatus_;
    bool invalidInput_ = false;
    TDACGrid* grid_ = nullptr;
    TInitGridSetter initGridSetter_;
    TPopulateGridRow populateGridRow_;
    TObjectControlsInterchange objectControlsInterchange_;
    TDACDatabaseClass* list_ = nullptr;
    std::vector<TRowListener> rowListeners_;
    std::vector<TOpenDetailSetListener> detailListeners_;
    TBeforeSave beforeSave_;
    TAfterSave afterSave_;
    std::string sortItemID_;
    // Counts the refills of the grid, so that a move that a question answered by rebuilding
    // the grid is not carried out on rows that no longer exist.
    int refills_ = 0;
};

} // namespace parvela
