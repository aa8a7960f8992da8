// The grid binding on a real database: a projects list bound to a grid and two edits, with
// scripted answers to the questions.
#include "UnitsFromGenerator/TdcProjects.h"
#include "framework/MissingValues.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/TDACGUIConnector.h"
#include "ui/TDACGrid.h"

#include <QHeaderView>
#include <QTest>

namespace parvela::test {
namespace {

class ConnectorTest : public ::testing::Test {
protected:
    ConnectorTest() : scope_(dialogs_) {
        TestApplication();
        connector_.SetGrid(&grid_);
        connector_.SetInitGridSetter([this] {
            grid_.SetColCount(3);
            grid_.SetCell(1, 0, "Caption");
            grid_.SetCell(2, 0, "Description");
        });
        connector_.SetPopulateGridRow([this](int row, TDACDatabaseClassItem& item) {
            auto& project = static_cast<TdciProjects&>(item);
            grid_.SetCell(1, row, project.CAPTION());
            grid_.SetCell(2, row, project.DESCRIPTION());
        });
        connector_.SetObjectControlsInterchange([this](bool toItem, TDACDatabaseClassItem* item) {
            auto* project = static_cast<TdciProjects*>(item);
            if (toItem) {
                project->SetCAPTION(caption_.text().toStdString());
                number_ = connector_.FloatFromEdit(&amount_);
                return;
            }
            TDACGUIConnector::SetTEdit(&caption_, project ? project->CAPTION() : "", project);
        });
        QObject::connect(&caption_, &QLineEdit::textChanged,
                         [this] { connector_.ControlChangeEventHandler(); });
        QObject::connect(&amount_, &QLineEdit::textChanged,
                         [this] { connector_.ControlChangeEventHandler(); });
        connector_.SetObjectList(&list_);
    }

    void AddProjects(std::initializer_list<const char*> captions) {
        int id = 100;
        for (const char* caption : captions)
            database_.Test().RunRawSQL(
                "INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, LOCKED) VALUES (" +
                std::to_string(id++) + ", '" + caption + "', 'd', 'False')");
    }

    void Open(const std::string& itemID = {}) {
        list_.Open();
        connector_.Start(itemID);
    }

    std::string SelectedCaption() const { return grid_.Cell(1, grid_.Row()); }
    std::string StoredCaption(int id) {
        auto rows = database_.Test().QueryRows("SELECT CAPTION FROM PROJECTS WHERE PROJECTID = " +
                                               std::to_string(id));
        return rows.empty() ? "<none>" : rows[0][0].IsNull() ? "<null>" : rows[0][0].AsString();
    }
    int ProjectCount() {
        return static_cast<int>(
            database_.Test().QueryRows("SELECT COUNT(*) FROM PROJECTS")[0][0].AsInteger());
    }
    // Presses the key on the grid, as a user moves between rows.
    void PressKey(Qt::Key key) { QTest::keyClick(&grid_, key); }

    // First: widgets need the application.
    QApplication& application_ = TestApplication();
    DatabaseWithSaver database_;
    TScriptedDialogs dialogs_;
    TScopedDialogs scope_;
    TDACGrid grid_;
    QLineEdit caption_;
    QLineEdit amount_;
    double number_ = 0;
    TdcProjects list_{database_.Database()};
    TDACGUIConnector connector_{"item of Projects"};
};

TEST(ConnectorQuestions, AreBuiltFromTheItemName) {
    TDACGUIConnector named("item of Assessments");
    EXPECT_EQ("Save the item of Assessments ?", named.SaveQuestion());
    EXPECT_EQ("Do you really want to delete this item of Assessments ?", named.DeleteQuestion());
    EXPECT_EQ("Do you want to cancel the changes to this item of Assessments?",
              named.CancelQuestion());
    TDACGUIConnector unnamed("  ");
    EXPECT_EQ("Save the item ?", unnamed.SaveQuestion());
    EXPECT_EQ("Do you really want to delete this item ?", unnamed.DeleteQuestion());
    EXPECT_EQ("Do you want to cancel the changes to this item?", unnamed.CancelQuestion());
    EXPECT_EQ(csStopped, named.State());
}

TEST(ConnectorSetUp, RefusesMissingPartsWithTheirMessages) {
    TestApplication();
    TDACGUIConnector connector("x");
    EXPECT_THROW(
        {
            try {
                connector.SetGrid(nullptr);
            } catch (const EAssertionFailed& failure) {
                EXPECT_STREQ("TDACGUIConnector.SetGrid : Object not assigned", failure.what());
                throw;
            }
        },
        EAssertionFailed);
    try {
        connector.Start("");
        ADD_FAILURE();
    } catch (const EAssertionFailed& failure) {
        EXPECT_STREQ("TDACGUIConnector.Start : No InitGridSetter defined", failure.what());
    }
}

TEST_F(ConnectorTest, AnEmptyListShowsNotAvailableAndOnlyInsert) {
    Open();
    EXPECT_EQ(2, grid_.RowCount());
    EXPECT_EQ("<not available>", grid_.Cell(1, 1));
    EXPECT_EQ("<not available>", grid_.Cell(2, 1));
    EXPECT_EQ("", grid_.Cell(0, 1));
    EXPECT_EQ("ItemID", grid_.Cell(0, 0));
    EXPECT_EQ(-1, grid_.ColWidth(0));
    const TDACActionStatus& status = connector_.ActionStatus();
    EXPECT_TRUE(status.Insert);
    EXPECT_FALSE(status.Delete || status.Save || status.Cancel || status.First || status.Last);
    EXPECT_EQ(nullptr, connector_.SelectedObject());
    EXPECT_FALSE(caption_.isEnabled());
    EXPECT_EQ(csActive, connector_.State());
}

TEST_F(ConnectorTest, TypingEditsTheItemAndUpdatesItsRowAtOnce) {
    AddProjects({"alpha", "beta"});
    Open();
    EXPECT_EQ(3, grid_.RowCount());
    EXPECT_EQ("alpha", SelectedCaption());
    EXPECT_TRUE(connector_.ActionStatus().Insert);
    EXPECT_TRUE(connector_.ActionStatus().First);
    TypeText(&caption_, "X");
    EXPECT_EQ("alphaX", SelectedCaption());
    EXPECT_EQ(isEdited, connector_.SelectedObject()->ItemState());
    const TDACActionStatus& status = connector_.ActionStatus();
    EXPECT_TRUE(status.Save && status.Cancel);
    EXPECT_FALSE(status.Insert || status.First || status.Last);
    EXPECT_EQ("alpha", StoredCaption(100)) << "nothing saved yet";
}

// Moving away from an edited row asks the save question, by keyboard and by program alike.
struct MoveCase {
    const char* name;
    TDialogAnswer answer;
    int rowAfter;
    const char* storedAfter;
    const char* captionInGridRow1;
};

class ConnectorMoveTest : public ConnectorTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(ConnectorMoveTest, AsksTheSaveQuestion) {
    const MoveCase& c = GetParam();
    AddProjects({"alpha", "beta"});
    Open();
    TypeText(&caption_, "X");
    dialogs_.QueueAnswer(c.answer);
    PressKey(Qt::Key_Down);
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ("Save the item of Projects ?", dialogs_.Boxes()[0].Box.Text);
    EXPECT_EQ(TDialogButtons::YesNoCancel, dialogs_.Boxes()[0].Box.Buttons);
    EXPECT_EQ(c.rowAfter, grid_.Row());
    EXPECT_EQ(c.storedAfter, StoredCaption(100));
    EXPECT_EQ(c.captionInGridRow1, grid_.Cell(1, 1));
    EXPECT_EQ(grid_.Cell(1, grid_.Row()), caption_.text().toStdString())
        << "the controls show the selected row's item";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ConnectorMoveTest,
    ::testing::Values(MoveCase{"Yes", TDialogAnswer::Yes, 2, "alphaX", "alphaX"},
                      MoveCase{"No", TDialogAnswer::No, 2, "alpha", "alpha"},
                      MoveCase{"Cancel", TDialogAnswer::Cancel, 1, "alpha", "alphaX"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConnectorTest, AMouseClickOnAnotherRowIsRefusedByCancel) {
    AddProjects({"alpha", "beta", "gamma"});
    Open();
    TypeText(&caption_, "Y");
    dialogs_.QueueAnswer(TDialogAnswer::Cancel);
    const QRect third = grid_.visualRect(grid_.model()->index(2, 1));
    QTest::mouseClick(grid_.viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ(1, grid_.Row());
    EXPECT_EQ(1, grid_.selectionModel()->selectedRows().size());
    EXPECT_EQ(0, grid_.selectionModel()->selectedRows()[0].row()) << "selection stays";
    EXPECT_EQ("alphaY", caption_.text().toStdString());
    dialogs_.QueueAnswer(TDialogAnswer::Yes);
    QTest::mouseClick(grid_.viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(3, grid_.Row());
    EXPECT_EQ("alphaY", StoredCaption(100));
    EXPECT_EQ("gamma", caption_.text().toStdString());
}

TEST_F(ConnectorTest, InsertingAndDiscardingANewItemSelectsTheListsCurrentItem) {
    AddProjects({"alpha", "beta"});
    Open("101");
    EXPECT_EQ(2, grid_.Row());
    const int row = connector_.InsertRow();
    EXPECT_EQ(3, row);
    EXPECT_EQ(4, grid_.RowCount());
    TDACDatabaseClassItem* inserted = connector_.SelectedObject();
    ASSERT_NE(nullptr, inserted);
    EXPECT_EQ(isInserted, inserted->ItemState());
    EXPECT_EQ(inserted->ItemID(), grid_.Cell(0, 3));
    EXPECT_TRUE(connector_.ActionStatus().Save);
    EXPECT_FALSE(connector_.ActionStatus().Insert);
    TypeText(&caption_, "new");
    dialogs_.QueueAnswer(TDialogAnswer::No);
    PressKey(Qt::Key_Up);
    EXPECT_EQ(3, grid_.RowCount()) << "the new row is gone";
    EXPECT_EQ(2, list_.Count());
    EXPECT_EQ(2, ProjectCount());
    ASSERT_NE(nullptr, connector_.SelectedObject());
    EXPECT_EQ(list_.Item().ItemID(), connector_.SelectedObject()->ItemID());
    EXPECT_EQ(grid_.Cell(1, grid_.Row()), caption_.text().toStdString());
}

TEST_F(ConnectorTest, InsertIntoAnEmptyListReusesTheFirstRowAndSaves) {
    Open();
    EXPECT_EQ(1, connector_.InsertRow());
    EXPECT_EQ(2, grid_.RowCount());
    TypeText(&caption_, "first");
    EXPECT_TRUE(connector_.SaveSelectedRow(false));
    EXPECT_EQ(1, ProjectCount());
    EXPECT_EQ("first", grid_.Cell(1, 1));
    EXPECT_EQ(isBrowse, connector_.SelectedObject()->ItemState());
    EXPECT_TRUE(dialogs_.Boxes().empty());
}

TEST_F(ConnectorTest, InvalidNumberTurnsTheEditRedAndMovingAwayAsksToLoseTheChanges) {
    AddProjects({"alpha", "beta"});
    Open();
    amount_.setText("1e");
    EXPECT_TRUE(connector_.InvalidInput());
    EXPECT_EQ(QColor(Qt::red), amount_.palette().color(QPalette::Base));
    EXPECT_TRUE(IsMissingReal(number_));
    const TDACActionStatus& status = connector_.ActionStatus();
    EXPECT_FALSE(status.Save || status.Insert || status.First || status.Last);
    EXPECT_TRUE(status.Cancel);
    dialogs_.QueueAnswer(TDialogAnswer::Cancel);
    PressKey(Qt::Key_Down);
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ("Invalid input provided, do you want to lose these changes?",
              dialogs_.Boxes()[0].Box.Text);
    EXPECT_EQ(1, grid_.Row());
    dialogs_.QueueAnswer(TDialogAnswer::Ok);
    PressKey(Qt::Key_Down);
    EXPECT_EQ(2, grid_.Row());
    EXPECT_FALSE(connector_.InvalidInput());
    amount_.setText("2.5");
    EXPECT_DOUBLE_EQ(2.5, number_);
    EXPECT_NE(QColor(Qt::red), amount_.palette().color(QPalette::Base));
}

TEST_F(ConnectorTest, FloatFromEditAcceptsTheNoValueTexts) {
    for (const char* text : {"", "  ", "<no value given>", "+", "-", "."}) {
        amount_.blockSignals(true);
        amount_.setText(text);
        amount_.blockSignals(false);
        EXPECT_TRUE(IsMissingReal(connector_.FloatFromEdit(&amount_))) << text;
        EXPECT_FALSE(connector_.InvalidInput()) << text;
    }
    amount_.setText("-1.25e2");
    EXPECT_DOUBLE_EQ(-125.0, connector_.FloatFromEdit(&amount_));
}

TEST_F(ConnectorTest, SortingKeepsTheSelectedItemAndAsksFirst) {
    AddProjects({"charlie", "alpha", "bravo"});
    Open("100");
    grid_.SortByColumn(1);
    EXPECT_EQ("alpha", grid_.Cell(1, 1));
    EXPECT_EQ("charlie", SelectedCaption()) << "the same item stays selected";
    EXPECT_EQ("100", connector_.ItemIDOfRowIndex(grid_.Row()));
    EXPECT_TRUE(grid_.horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(csActive, connector_.State());

    TypeText(&caption_, "Z");
    dialogs_.QueueAnswer(TDialogAnswer::Cancel);
    grid_.SortByColumn(1, Qt::DescendingOrder);
    EXPECT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ("alpha", grid_.Cell(1, 1)) << "Cancel leaves the order";
    dialogs_.QueueAnswer(TDialogAnswer::Yes);
    grid_.SortByColumn(1, Qt::DescendingOrder);
    EXPECT_EQ("charlieZ", grid_.Cell(1, 1));
    EXPECT_EQ("charlieZ", StoredCaption(100));
    EXPECT_EQ("charlieZ", SelectedCaption());
}

TEST_F(ConnectorTest, DeleteAsksAndSelectsTheListsCurrentItem) {
    AddProjects({"alpha", "beta"});
    Open("101");
    dialogs_.QueueAnswer(TDialogAnswer::Cancel);
    EXPECT_FALSE(connector_.DeleteSelectedRow(true));
    EXPECT_EQ(2, ProjectCount());
    dialogs_.QueueAnswer(TDialogAnswer::Ok);
    EXPECT_TRUE(connector_.DeleteSelectedRow(true));
    EXPECT_EQ("Do you really want to delete this item of Projects ?", dialogs_.Texts()[1]);
    EXPECT_EQ(1, ProjectCount());
    EXPECT_EQ(2, grid_.RowCount());
    EXPECT_EQ("alpha", SelectedCaption());
    EXPECT_TRUE(connector_.DeleteSelectedRow(false));
    EXPECT_EQ("<not available>", grid_.Cell(1, 1));
    EXPECT_EQ(nullptr, connector_.SelectedObject());
}

TEST_F(ConnectorTest, CancelChangesPutsTheStoredValuesBack) {
    AddProjects({"alpha"});
    Open();
    TypeText(&caption_, "Q");
    dialogs_.QueueAnswer(TDialogAnswer::Cancel);
    EXPECT_FALSE(connector_.CancelChangesSelectedRow(true));
    EXPECT_EQ("alphaQ", caption_.text().toStdString());
    dialogs_.QueueAnswer(TDialogAnswer::Ok);
    EXPECT_TRUE(connector_.CancelChangesSelectedRow(true));
    EXPECT_EQ("Do you want to cancel the changes to this item of Projects?", dialogs_.Texts()[1]);
    EXPECT_EQ("alpha", caption_.text().toStdString());
    EXPECT_EQ("alpha", SelectedCaption());
    EXPECT_EQ(isBrowse, connector_.SelectedObject()->ItemState());
}

TEST_F(ConnectorTest, AFailedSaveIsShownAndKeepsTheEdits) {
    AddProjects({"alpha"});
    Open();
    caption_.setText("");
    // A project needs a caption: its validation refuses the save.
    EXPECT_FALSE(connector_.SaveSelectedRow(false));
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ(TDialogIcon::Error, dialogs_.Boxes()[0].Box.Icon);
    EXPECT_EQ(isEdited, connector_.SelectedObject()->ItemState());
    EXPECT_EQ("alpha", StoredCaption(100));
    caption_.setText("fixed");
    EXPECT_TRUE(connector_.SaveSelectedRow(false));
    EXPECT_EQ("fixed", StoredCaption(100));
}

TEST_F(ConnectorTest, SelectingAnUnknownItemIDFailsOnlyWithSeveralItems) {
    AddProjects({"alpha", "beta"});
    list_.Open();
    try {
        connector_.Start("999");
        ADD_FAILURE();
    } catch (const EAssertionFailed& failure) {
        EXPECT_STREQ("TDACGUIConnector.SelectRowFromItemID : Cannot find ItemID=\"999\"",
                     failure.what());
    }
    connector_.Stop();
    connector_.Start("");
    EXPECT_EQ(1, grid_.Row());
    try {
        connector_.ItemIDOfRowIndex(3);
        ADD_FAILURE();
    } catch (const EAssertionFailed& failure) {
        EXPECT_STREQ("TDACGUIConnector.ItemIDOfRowIndex : Illegal row index (3)", failure.what());
    }
}

TEST_F(ConnectorTest, WithOneItemAnUnknownItemIDSelectsTheFirstRow) {
    AddProjects({"alpha"});
    Open("999");
    EXPECT_EQ(1, grid_.Row());
    EXPECT_EQ("alpha", caption_.text().toStdString());
}

TEST_F(ConnectorTest, RowListenersMayRefuseAndDetailListenersGetTheNewItem) {
    AddProjects({"alpha", "beta"});
    bool allowMove = false;
    std::vector<std::string> details;
    connector_.AddRowListener([&](TDACGUIConnector&, int oldRow, int newRow, bool& allow) {
        EXPECT_EQ(1, oldRow);
        EXPECT_EQ(2, newRow);
        allow = allowMove;
    });
    connector_.AddOpenDetailSetListener(
        [&](TDACDatabaseClassItem* item) { details.push_back(item ? item->ItemID() : "none"); });
    Open();
    PressKey(Qt::Key_Down);
    EXPECT_EQ(1, grid_.Row());
    EXPECT_TRUE(details.empty());
    allowMove = true;
    PressKey(Qt::Key_Down);
    EXPECT_EQ(2, grid_.Row());
    EXPECT_EQ(std::vector<std::string>{"101"}, details);
}

TEST_F(ConnectorTest, UnequalListenerListsAreRefusedAtStart) {
    connector_.AddRowListener([](TDACGUIConnector&, int, int, bool&) {});
    list_.Open();
    try {
        connector_.Start("");
        ADD_FAILURE();
    } catch (const EAssertionFailed& failure) {
        EXPECT_STREQ("TDACGUIConnector.Start : Number of row listeners not equal to number of "
                     "open detail set listeners",
                     failure.what());
    }
}

TEST_F(ConnectorTest, ARefusingBeforeSaveKeepsTheItemEditedAndTheRow) {
    AddProjects({"alpha", "beta"});
    int asked = 0;
    connector_.SetBeforeSave([&](TDACDatabaseClassItem&) { return ++asked > 1; });
    Open();
    TypeText(&caption_, "Z");
    dialogs_.QueueAnswer(TDialogAnswer::Yes);
    PressKey(Qt::Key_Down);
    EXPECT_EQ(1, grid_.Row());
    EXPECT_EQ(isEdited, connector_.SelectedObject()->ItemState());
    EXPECT_TRUE(connector_.SaveSelectedRow(false));
    EXPECT_EQ(2, asked);
    EXPECT_EQ("alphaZ", StoredCaption(100));
}

TEST_F(ConnectorTest, FirstAndLastSelectTheEndRows) {
    AddProjects({"alpha", "beta", "gamma"});
    Open();
    connector_.GotoLastRow();
    EXPECT_EQ(3, grid_.Row());
    EXPECT_EQ("gamma", caption_.text().toStdString());
    connector_.GotoFirstRow();
    EXPECT_EQ(1, grid_.Row());
    EXPECT_EQ("alpha", caption_.text().toStdString());
}

TEST_F(ConnectorTest, StartingTwiceIsRefused) {
    Open();
    try {
        connector_.Start("");
        ADD_FAILURE();
    } catch (const EAssertionFailed& failure) {
        EXPECT_STREQ("TDACGUIConnector.Start : DACGUIConnector not in stopped state",
                     failure.what());
    }
    connector_.Stop();
    EXPECT_EQ(csStopped, connector_.State());
    EXPECT_FALSE(connector_.ActionStatus().Insert);
}

} // namespace
} // namespace parvela::test
