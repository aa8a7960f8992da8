#include "ui/WindowSupport.h"

#include "framework/Format.h"
#include "framework/MissingValues.h"
#include "platform/Exceptions.h"
#include "program/connection/ProgramIdentity.h"
#include "program/system/FileNameCharacters.h"
#include "ui/QtConvert.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolTip>
#include <QValidator>

#include <algorithm>

namespace parvela {

QAction* MakeAction(QObject* parent, const char* name, const QString& text, const QString& hint) {
    auto* action = new QAction(text, parent);
    action->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    return action;
}

QToolButton* MakeToolButton(QWidget* parent, const char* name, QAction* action) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

void TNavigator::Update(const TDACActionStatus& status, bool copy) const {
    Delete->setEnabled(status.Delete);
    Insert->setEnabled(status.Insert);
    Save->setEnabled(status.Save);
    Cancel->setEnabled(status.Cancel);
    First->setEnabled(status.First);
    Last->setEnabled(status.Last);
    Copy->setEnabled(copy);
}

void TNavigator::DisableAll() const {
    for (QAction* action : {Delete, Insert, Save, Cancel, First, Last, Copy})
        action->setEnabled(false);
}

TNavigator BuildNavigator(QWidget* parent, const QString& entity) {
    TNavigator navigator;
    navigator.Panel = new QWidget(parent);
    navigator.Panel->setObjectName("pnlNavigator" + entity);
    auto* layout = new QHBoxLayout(navigator.Panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    struct Entry {
        const char* operation;
        const char* text;
        const char* hint;
        QAction** slot;
    };
    const Entry entries[] = {
        {"Delete", "Delete", "Delete selected item", &navigator.Delete},
        {"Insert", "Add", "Add item", &navigator.Insert},
        {"Save", "Save", "Save user changes", &navigator.Save},
        {"Cancel", "Cancel", "Cancel user changes", &navigator.Cancel},
        {"First", "|<", "Go to the first item in the grid", &navigator.First},
        {"Last", ">|", "Go to the last item in the grid", &navigator.Last},
        {"Copy", "Copy", "Copy the selected item", &navigator.Copy},
    };
    for (const Entry& entry : entries) {
        const QString operation = QString::fromLatin1(entry.operation);
        auto* action = new QAction(QString::fromLatin1(entry.text), parent);
        action->setObjectName("act" + operation + entity);
        action->setToolTip(QString::fromLatin1(entry.hint));
        auto* button = new QToolButton(navigator.Panel);
        button->setObjectName("btn" + operation + entity);
        button->setDefaultAction(action);
        button->setToolTip(QString::fromLatin1(entry.hint));
        layout->addWidget(button);
        *entry.slot = action;
    }
    layout->addStretch();
    return navigator;
}

void WithoutDefaultButtons(QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

int ColumnsWidth(const QTableWidget& grid) {
    int width = 2 * grid.frameWidth() +
                grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid);
    for (int column = 0; column < grid.columnCount(); ++column)
        if (!grid.isColumnHidden(column))
            width += grid.columnWidth(column);
    return width;
}

void WidenToShowColumns(QWidget* window, const QTableWidget& grid) {
    const QScreen* screen = window->screen();
    const int limit = screen ? screen->availableGeometry().width() : window->width();
    // The grid may get only a share of what the window gains: a few rounds.
    for (int round = 0; round < 4; ++round) {
        const int missing = ColumnsWidth(grid) - grid.width();
        if (missing <= 0 || window->width() >= limit)
            return;
        window->resize(std::min(limit, window->width() + missing), window->height());
        if (window->layout())
            window->layout()->activate();
    }
}

void ChainTabOrder(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void AddRow(QFormLayout* form, const QString& label, QWidget* field, const char* labelName) {
    auto* text = new QLabel(label, form->parentWidget());
    if (labelName)
        text->setObjectName(QString::fromLatin1(labelName));
    text->setBuddy(field);
    form->addRow(text, field);
}

QDateTimeEdit* MakeDatePicker(QWidget* parent, const char* name) {
    auto* picker = new QDateTimeEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setDisplayFormat("yyyy-MM-dd hh:mm:ss");
    picker->setCalendarPopup(true);
    picker->setMinimumDate(QDate(1899, 12, 30));
    return picker;
}

std::string InvalidCaptionCharacterMessage() {
    return std::string("invalid character (<space> , . / \\ ( ) : ? ") + "\"" + " < > | * + =)";
}

namespace {

int SpecialCharCount(const QString& text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](QChar c) {
        return ContainsFileNameSpecialChar(StdText(QString(c)));
    }));
}

// Refuses an edit that adds a special character to the text shown before it. Special
// characters that a text from elsewhere holds (an older database's caption) are no refusal:
// the edit's change handler deals with them (CheckPastedCaption).
class TCaptionValidator : public QValidator {
public:
    explicit TCaptionValidator(QLineEdit* edit)
        : QValidator(edit), edit_(edit), shown_(edit->text()) {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { shown_ = text; });
    }

    State validate(QString& input, int& /*position*/) const override {
        const int count = SpecialCharCount(input);
        if (count == 0)
            return Acceptable;
        if (count <= SpecialCharCount(shown_))
            return Intermediate;
        QToolTip::showText(edit_->mapToGlobal(QPoint(0, edit_->height())),
                           QText(InvalidCaptionCharacterMessage()), edit_);
        return Invalid;
    }

private:
    QLineEdit* edit_;
    // The text before the change that is being validated.
    QString shown_;
};

} // namespace

void RefuseSpecialCaptionKeys(QLineEdit* edit) {
    edit->setValidator(new TCaptionValidator(edit));
}

void CheckPastedCaption(QLineEdit* edit) {
    const std::string text = StdText(edit->text());
    if (!ContainsFileNameSpecialChar(text))
        return;
    edit->clear();
    throw Exception(
        Format("Caption %s contains invalid character(s) (<space> , . / \\ ( ) : ? ", text) + "\"" +
        " < > | *)");
}

std::string DateTimeText(TDateTime value) {
    return IsMissingReal(value) ? std::string("<no value given>") : DateTimeToStr(value);
}

std::string DateText(TDateTime value) {
    return IsMissingReal(value) ? std::string("<no value given>") : DateToStr(value);
}

QString ApplicationTitle() {
    return QText(ProgramTitle());
}

void TNavigator::ConnectMoves(QObject* context, std::function<TDACGUIConnector&()> connector,
                              std::function<bool()> mayCancel) const {
    QObject::connect(First, &QAction::triggered, context,
                     Guarded([connector] { connector().GotoFirstRow(); }));
    QObject::connect(Last, &QAction::triggered, context,
                     Guarded([connector] { connector().GotoLastRow(); }));
    QObject::connect(Cancel, &QAction::triggered, context, Guarded([connector, mayCancel] {
                         if (!mayCancel || mayCancel())
                             connector().CancelChangesSelectedRow(true);
                     }));
}

bool SaveBeforeClosing(TDACGUIConnector& connector) {
    try {
        return connector.State() == csStopped || connector.SaveSelectedRow(true);
    } catch (const std::exception& failure) {
        ReportGeneralError(failure);
        return false;
    }
}

void StartActionUpdates(QObject* window, std::function<void()> update) {
    auto* idle = new QTimer(window);
    QObject::connect(idle, &QTimer::timeout, window, std::move(update));
    idle->start(200);
}

} // namespace parvela
