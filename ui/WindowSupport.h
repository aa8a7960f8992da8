#pragma once
// Pieces that every editing window shares: handlers whose failures are reported instead of
// unwinding through Qt, actions with their hints, the navigator panel of a grid, labelled
// form rows and the caption rules (no character that a file name cannot hold).

#include "ui/TDACGUIConnector.h"
#include "ui/TParvelaApplication.h"

#include <QAction>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <QWidget>

#include <exception>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

namespace parvela {

// A handler for Qt signals: a failure goes to the general error report and the window stays
// usable.
template <class Handler> auto Guarded(Handler handler) {
    return [handler = std::move(handler)](auto&&...) {
        try {
            handler();
        } catch (const std::exception& failure) {
            ReportGeneralError(failure);
        }
    };
}

// A window's first activation: run once, at its first showing; a failure goes to the general
// error report and the window stays usable.
class TFirstActivation {
public:
    template <class Action> void OnShow(Action action) {
        if (done_)
            return;
        done_ = true;
        Guarded(std::move(action))();
    }

private:
    bool done_ = false;
};

QAction* MakeAction(QObject* parent, const char* name, const QString& text,
                    const QString& hint = {});

// A tool button that shows its action's text only.
QToolButton* MakeToolButton(QWidget* parent, const char* name, QAction* action);

// The navigator of an entity's grid: pnlNavigator<Entity> with btnDelete<Entity> ...
// btnCopy<Entity>, each driven by its action act<Operation><Entity>.
struct TNavigator {
    QWidget* Panel = nullptr;
    QAction* Delete = nullptr;
    QAction* Insert = nullptr;
    QAction* Save = nullptr;
    QAction* Cancel = nullptr;
    QAction* First = nullptr;
    QAction* Last = nullptr;
    QAction* Copy = nullptr;

    // Enables the buttons from the connector's status; Copy as given.
    void Update(const TDACActionStatus& status, bool copy) const;
    void DisableAll() const;
    // First, Last and Cancel (with its question) drive the connector the same way in every
    // window; the connector is looked up when the action runs. `mayCancel`, when given, comes
    // before the cancel question; false ends the cancel there.
    void ConnectMoves(QObject* context, std::function<TDACGUIConnector&()> connector,
                      std::function<bool()> mayCancel = {}) const;
};

// For a window's close request: true when the connector is stopped or its selected row was
// saved (or its changes dropped) after the save question. A failure goes to the general
// error report and keeps the window open.
bool SaveBeforeClosing(TDACGUIConnector& connector);

// Runs the window's action-update rules every 200 ms while it lives, as an idle handler does.
void StartActionUpdates(QObject* window, std::function<void()> update);

TNavigator BuildNavigator(QWidget* parent, const QString& entity);

// Enter in an edit presses no button of the window: none is a default button (a dialog's
// push buttons otherwise become one as soon as they or the dialog get the focus). Call it when
// the window's buttons are made.
void WithoutDefaultButtons(QWidget* window);

// The grid's width with every shown column in view beside a vertical scroll bar.
int ColumnsWidth(const QTableWidget& grid);

// At a window's first showing: widens the window, within its screen, until the grid shows all
// its columns (their widths follow the font, the window's size does not).
void WidenToShowColumns(QWidget* window, const QTableWidget& grid);

// Tab moves through the widgets in the order given.
void ChainTabOrder(std::initializer_list<QWidget*> widgets);

// A labelled row of a form.
void AddRow(QFormLayout* form, const QString& label, QWidget* field,
            const char* labelName = nullptr);

// A date picker showing date and time.
QDateTimeEdit* MakeDatePicker(QWidget* parent, const char* name);

// "invalid character (<space> , . / \ ( ) : ? " < > | * + =)"
std::string InvalidCaptionCharacterMessage();
// Refuses every typed or pasted text that would put one of the file-name special characters
// into the edit, and tells why in a tooltip beside it; no box interrupts the typing.
void RefuseSpecialCaptionKeys(QLineEdit* edit);
// For the edit's change handler: a text with a special character (pasted) empties the edit
// and raises "Caption %s contains invalid character(s) ...".
void CheckPastedCaption(QLineEdit* edit);

// Date texts of the grids; a missing value reads "<no value given>".
std::string DateTimeText(TDateTime value);
std::string DateText(TDateTime value);

// The application title, "Parvela_2.4.2_CN".
QString ApplicationTitle();

} // namespace parvela
