// The windows at the platform's own font: grid columns that show their headers and values
// whole, Enter that presses no unrelated button, a tab order along the layout, the focus in
// the caption of a new item, long texts shown from their beginning, and a sort indicator that
// goes when the rows leave its order.
#include "program/system/RegistryValues.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/TDACGrid.h"
#include "ui/TfrmAbout.h"
#include "ui/TfrmApplicationSchemes.h"
#include "ui/TfrmAssessments.h"
#include "ui/TfrmInceptions.h"
#include "ui/TfrmProjects.h"
#include "ui/TfrmResults.h"
#include "ui/TfrmScenarios.h"

#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTest>

#include <tuple>
#include <vector>

namespace parvela::test {
namespace {

// The texts that a table cuts ("..."), as "column row: text"; row 0 is the header, measured
// with room for a sort indicator. Free texts (the "Description" columns) may be longer than
// any column, unless `descriptionsToo`; headers, captions, keys, dates, codes and numbers may
// not.
std::vector<std::string> CutTexts(const QTableWidget& table, bool descriptionsToo = false) {
    std::vector<std::string> cut;
    const QHeaderView& header = *table.horizontalHeader();
    const int textMargin =
        table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table) + 1;
    auto check = [&](int column, int row, const QString& text, const QFontMetrics& metrics,
                     int room) {
        if (metrics.elidedText(text, Qt::ElideRight, room) != text)
            cut.push_back(std::to_string(column) + " " + std::to_string(row) + ": " +
                          text.toStdString());
    };
    for (int column = 0; column < table.columnCount(); ++column) {
        const QTableWidgetItem* title = table.horizontalHeaderItem(column);
        if (table.isColumnHidden(column) || !title)
            continue;
        QStyleOptionHeader option;
        option.initFrom(&header);
        option.rect = QRect(0, 0, table.columnWidth(column), header.height());
        option.sortIndicator = QStyleOptionHeader::SortDown;
        const QRect label =
            header.style()->subElementRect(QStyle::SE_HeaderLabel, &option, &header);
        check(column, 0, title->text(), QFontMetrics(header.font()), label.width());
        if (title->text() == "Description" && !descriptionsToo)
            continue;
        // The cell without its grid line and the item view's text margins.
        const int room = table.columnWidth(column) - 1 - 2 * textMargin;
        for (int row = 0; row < table.rowCount(); ++row)
            if (const QTableWidgetItem* item = table.item(row, column))
                check(column, row + 1, item->text(), table.fontMetrics(), room);
    }
    return cut;
}

// The object names along the tab chain from `first`, within `area`, of the widgets that Tab
// stops at.
std::vector<std::string> TabChain(QWidget* first, QWidget* area) {
    std::vector<std::string> names;
    QWidget* widget = first;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && area->isAncestorOf(widget) &&
            widget->isVisibleTo(area) && !widget->objectName().isEmpty())
            names.push_back(widget->objectName().toStdString());
        widget = widget->nextInFocusChain();
    } while (widget != first);
    return names;
}

class ReadableWindowsTest : public ::testing::Test {
protected:
    ReadableWindowsTest() : scope_(dialogs_) {
        TestApplication();
        Sql("INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, CREATIONDATE, "
            "MODIFICATIONDATE, LOCKED) VALUES (123456, 'Registration_2024_01', 'paddy dossier', "
            "'2024-12-31 23:59:59', '2024-12-31 23:59:59', 'False')");
        for (int id : {654321, 654322})
            Sql("INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, "
                "SCENARIOID, SUBSTANCEGUID, APPLICATIONSCHEMEID, SELECTEDFOREXECUTION, "
                "VALIDRESULTS, CREATIONDATE, MODIFICATIONDATE) VALUES (" +
                std::to_string(id) + ", 'Assessment_Jinhua_" + std::to_string(id % 100) + "', '" +
                LongDescription +
                "', 123456, 2, '{5EED0DA0-7A11-4C0E-9D00-000000000012}', 1, "
                "'True', FALSE, '2024-12-31 23:59:58', '2024-12-31 23:59:59')");
        // An application whose dosage is not given yet.
        Sql("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID, APPLICATIONTYPEID, "
            "APPLICATIONDATE, SPRAYDRIFTPERC) VALUES (99, 1, 1, '2001-09-30 00:00:00', 12.5)");
        WriteRegistryInteger(HKEY_LOCAL_MACHINE, RegistryKey(), "LastOpenedProject", 123456);
        main_ =
            std::make_unique<TfrmAssessments>(TServiceStartOptions{environment_.SettingsFile()});
        projects_ = std::make_unique<TfrmProjects>(main_.get());
        main_->SetProjectsWindow(projects_.get());
        main_->show();
    }
    ~ReadableWindowsTest() override {
        projects_.reset();
        main_.reset();
    }

    void Sql(const std::string& sql) { environment_.Database().RunRawSQL(sql); }
    // Lets the windows' action updates run.
    static void Settle() { QTest::qWait(250); }

    static inline const std::string LongDescription =
        "Beginning of a description that is much longer than its edit is wide, so that only a "
        "part of it can be seen at once in the single-line edit of the window";

    ProgramEnvironment environment_;
    TScriptedDialogs dialogs_;
    TScopedDialogs scope_;
    std::unique_ptr<TfrmAssessments> main_;
    std::unique_ptr<TfrmProjects> projects_;
};

TEST_F(ReadableWindowsTest, GridsShowTheirHeadersAndValuesWhole) {
    ASSERT_TRUE(main_->ServicesStarted());
    projects_->show();
    TfrmApplicationSchemes schemes;
    schemes.SetItemIDToSelect("1");
    schemes.show();
    TfrmScenarios scenarios;
    scenarios.show();
    TfrmInceptions interceptions;
    interceptions.show();
    const std::vector<std::pair<QWidget*, const char*>> grids = {
        {main_.get(), "grdAssessments"},     {projects_.get(), "grdProjects"},
        {&schemes, "grdApplicationSchemes"}, {&schemes, "grdApplications"},
        {&scenarios, "grdScenarios"},        {&interceptions, "grdInterception"}};
    for (const auto& [window, name] : grids) {
        const QTableWidget* grid = Child<QTableWidget>(*window, name);
        ASSERT_NE(grid, nullptr);
        ASSERT_GT(grid->rowCount(), 0) << name;
        EXPECT_EQ(CutTexts(*grid), std::vector<std::string>()) << name;
    }
    const TDACGrid* assessments = Child<TDACGrid>(*main_, "grdAssessments");
    EXPECT_LT(assessments->ColWidth(1), assessments->ColWidth(4))
        << "the relative widths stay: Selected (65) narrower than Description (200)";
    EXPECT_GT(assessments->ColWidth(4), assessments->ColWidth(3));
}

// A wider window widens the description columns only; a text that its cell cuts shows whole
// in a tooltip, and the drop-down lists show their entries whole.
TEST_F(ReadableWindowsTest, DescriptionsTakeTheSpareWidthAndCutTextsShowWhole) {
    TfrmInceptions interceptions;
    interceptions.show();
    EXPECT_EQ(CutTexts(*Child<QTableWidget>(interceptions, "grdInterception"), true),
              std::vector<std::string>())
        << "the stage descriptions whole";
    const std::vector<std::tuple<QWidget*, const char*, int>> grids = {
        {main_.get(), "grdAssessments", 4}, {&interceptions, "grdInterception", 1}};
    for (const auto& [window, name, description] : grids) {
        SCOPED_TRACE(name);
        QTableWidget* grid = Child<QTableWidget>(*window, name);
        QApplication::processEvents();
        std::vector<int> widths;
        for (int column = 0; column < grid->columnCount(); ++column)
            widths.push_back(grid->columnWidth(column));
        window->resize(window->width() + 400, window->height());
        QApplication::processEvents();
        int shown = 0;
        for (int column = 0; column < grid->columnCount(); ++column) {
            if (!grid->isColumnHidden(column))
                shown += grid->columnWidth(column);
            if (column == description)
                EXPECT_GT(grid->columnWidth(column), widths[column]);
            else
                EXPECT_EQ(grid->columnWidth(column), widths[column]) << column;
        }
        EXPECT_EQ(grid->viewport()->width(), shown) << "the columns fill the grid";
    }

    TDACGrid* grid = Child<TDACGrid>(*main_, "grdAssessments");
    auto tipOver = [grid](int column) {
        HideToolTip();
        const QPoint centre = grid->visualItemRect(grid->item(0, column)).center();
        QHelpEvent help(QEvent::ToolTip, centre, grid->viewport()->mapToGlobal(centre));
        QApplication::sendEvent(grid->viewport(), &help);
        return ShownToolTip();
    };
    EXPECT_EQ(LongDescription, tipOver(4));
    EXPECT_EQ("Double click to select for execution", tipOver(3))
        << "over a caption that its cell shows whole the grid's own hint";

    auto* substances = Child<QComboBox>(*main_, "cbxAssessmentsSubstanceCode");
    ASSERT_GT(substances->count(), 0);
    const QString code = substances->itemText(0);
    EXPECT_TRUE(substances->itemData(0, Qt::ToolTipRole).toString().startsWith(code + ": "))
        << "the code with the substance's name";
    EXPECT_GE(substances->view()->minimumWidth(), substances->view()->sizeHintForColumn(0));
}

TEST_F(ReadableWindowsTest, EnterInAnEditPressesNoButton) {
    TfrmApplicationSchemes schemes;
    TfrmScenarios scenarios;
    TfrmInceptions interceptions;
    TfrmAbout about;
    TfrmResults results(nullptr, 0);
    for (QWidget* window : std::vector<QWidget*>{main_.get(), projects_.get(), &schemes, &scenarios,
                                                 &interceptions, &about, &results})
        for (const QPushButton* button : window->findChildren<QPushButton*>())
            EXPECT_FALSE(button->autoDefault() || button->isDefault())
                << window->objectName().toStdString() << "." << button->objectName().toStdString()
                << " would take Enter";

    projects_->show();
    QLineEdit* caption = Child<QLineEdit>(*projects_, "edtProjectsCaption");
    caption->setFocus();
    std::vector<std::unique_ptr<QSignalSpy>> clicks;
    for (QPushButton* button : projects_->findChildren<QPushButton*>())
        clicks.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
    QTest::keyClick(caption, Qt::Key_Return);
    for (const auto& spy : clicks)
        EXPECT_EQ(spy->count(), 0);
    EXPECT_TRUE(projects_->isVisible()) << "Enter did not press \"Open\"";
}

TEST_F(ReadableWindowsTest, TabGoesFromEachComboBoxToItsButton) {
    QWidget* page = Child<QWidget>(*main_, "TabSheet1");
    EXPECT_EQ(TabChain(Child<QWidget>(*main_, "edtAssessmentsCaption"), page),
              (std::vector<std::string>{"edtAssessmentsCaption", "edtAssessmentsDescription",
                                        "cbxScenarios", "btnScenarios",
                                        "cbxAssessmentsSubstanceCode", "btnSubstances",
                                        "cbxApplicationSchemes", "btnApplicationSchemes"}));
}

TEST_F(ReadableWindowsTest, AddPutsTheFocusIntoTheNewItemsCaption) {
    // Each new item is dropped again with the cancel question answered OK.
    auto addAndCancel = [&](QWidget& window, const char* entity) {
        Settle();
        QAction* insert = window.findChild<QAction*>(QString("actInsert") + entity);
        EXPECT_TRUE(insert->isEnabled()) << entity;
        insert->trigger();
        QWidget* focus = window.focusWidget();
        dialogs_.QueueAnswer(TDialogAnswer::Ok);
        window.findChild<QAction*>(QString("actCancel") + entity)->trigger();
        return focus;
    };
    EXPECT_EQ(addAndCancel(*main_, "Assessments"), Child<QWidget>(*main_, "edtAssessmentsCaption"));
    projects_->show();
    EXPECT_EQ(addAndCancel(*projects_, "Projects"),
              Child<QWidget>(*projects_, "edtProjectsCaption"));
    projects_->hide();

    TfrmApplicationSchemes schemes;
    schemes.SetItemIDToSelect("1");
    schemes.show();
    EXPECT_EQ(addAndCancel(schemes, "ApplicationSchemes"),
              Child<QWidget>(schemes, "edtApplicationSchemesCaption"));
    ASSERT_TRUE(Child<TDACGrid>(schemes, "grdApplicationSchemes")->SetRow(1));
    dialogs_.QueueAnswer(TDialogAnswer::Ok); // the scheme is used by other assessments
    EXPECT_EQ(addAndCancel(schemes, "Applications"), Child<QWidget>(schemes, "cbxApplicationType"))
        << "an application has no caption: its first field";
}

TEST_F(ReadableWindowsTest, ALongTextIsShownFromItsBeginning) {
    QLineEdit* description = Child<QLineEdit>(*main_, "edtAssessmentsDescription");
    ASSERT_EQ(description->text().toStdString(), LongDescription);
    EXPECT_EQ(description->cursorPosition(), 0);
    ASSERT_TRUE(Child<TDACGrid>(*main_, "grdAssessments")->SetRow(2));
    EXPECT_EQ(description->cursorPosition(), 0) << "also for the next row";
}

TEST_F(ReadableWindowsTest, TheSortIndicatorGoesWhenTheRowsLeaveItsOrder) {
    TDACGrid* grid = Child<TDACGrid>(*main_, "grdAssessments");
    QHeaderView* header = grid->horizontalHeader();
    QLineEdit* caption = Child<QLineEdit>(*main_, "edtAssessmentsCaption");
    grid->SortByColumn(3);
    ASSERT_TRUE(header->isSortIndicatorShown());
    ASSERT_TRUE(grid->SetRow(1));
    caption->setText("Assessment_Jinhua_0");
    QApplication::processEvents();
    EXPECT_TRUE(header->isSortIndicatorShown()) << "still in order";
    caption->setText("Zeta");
    QApplication::processEvents();
    EXPECT_FALSE(header->isSortIndicatorShown());
    dialogs_.QueueAnswer(TDialogAnswer::Yes); // save the caption before sorting
    grid->SortByColumn(3, Qt::DescendingOrder);
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(grid->Cell(3, 1), "Zeta");
}

} // namespace
} // namespace parvela::test
