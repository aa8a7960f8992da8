// The projects, scenarios, interceptions, results and About windows on a real database with
// the real plug-in and model manager behind them.
#include "UnitsFromGenerator/ProjectDirectory.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/TDACGrid.h"
#include "ui/TfrmAbout.h"
#include "ui/TfrmInceptions.h"
#include "ui/TfrmProjects.h"
#include "ui/TfrmResults.h"
#include "ui/TfrmScenarios.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

namespace parvela::test {
namespace {

class WindowTest : public ::testing::Test {
protected:
    WindowTest() : scope_(dialogs_) { TestApplication(); }

    void AddProject(int id, const std::string& caption, bool locked = false) {
        environment_.Database().RunRawSQL(
            "INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, LOCKED) VALUES (" +
            std::to_string(id) + ", '" + caption + "', 'about " + caption + "', '" +
            (locked ? "True" : "False") + "')");
    }
    void AddAssessment(int id, int projectID, const std::string& caption, bool valid = false,
                       int schemeID = 1) {
        environment_.Database().RunRawSQL(
            "INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, SCENARIOID, "
            "SUBSTANCEGUID, APPLICATIONSCHEMEID, SELECTEDFOREXECUTION, VALIDRESULTS) VALUES (" +
            std::to_string(id) + ", '" + caption + "', '', " + std::to_string(projectID) +
            ", 1, '" + EtaGuid + "', " + std::to_string(schemeID) + ", 'False', " +
            (valid ? "TRUE" : "FALSE") + ")");
    }
    std::int64_t Count(const std::string& sql) { return environment_.Count(sql); }

    static inline const std::string EtaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000012}";

    ProgramEnvironment environment_;
    TScriptedDialogs dialogs_;
    TScopedDialogs scope_;
    RunningServices services_{environment_};
};

// ---- projects ----------------------------------------------------------------------------

class ProjectsWindowTest : public WindowTest {
protected:
    void Show(const std::string& select = {}) {
        window_.SetItemIDToSelect(select);
        window_.show();
        grid_ = Child<TDACGrid>(window_, "grdProjects");
        caption_ = Child<QLineEdit>(window_, "edtProjectsCaption");
    }
    std::string SelectedCaption() const { return grid_->Cell(1, grid_->Row()); }

    TfrmProjects window_;
    TDACGrid* grid_ = nullptr;
    QLineEdit* caption_ = nullptr;
};

TEST_F(ProjectsWindowTest, ShowsTheProjectsWithTheirColumns) {
    AddProject(1001, "Rice");
    AddProject(1002, "Wheat");
    Show("1002");
    EXPECT_EQ("Parvela_2.4.2_CN - Projects", window_.windowTitle().toStdString());
    EXPECT_EQ(5, grid_->ColCount());
    EXPECT_EQ("ID", grid_->Cell(0, 0));
    EXPECT_GE(grid_->ColWidth(0), 40) << "the ItemID column is shown here";
    EXPECT_EQ("ModificationDate", grid_->Cell(4, 0));
    EXPECT_EQ("Wheat", SelectedCaption());
    EXPECT_EQ("1002", grid_->Cell(0, grid_->Row()));
    EXPECT_EQ("Wheat", caption_->text().toStdString());
    EXPECT_EQ("about Wheat",
              Child<QLineEdit>(window_, "edtProjectsDescription")->text().toStdString());
    EXPECT_FALSE(Child<QDateTimeEdit>(window_, "dtpProjectsCreationDate")->isEnabled());
    ASSERT_NE(nullptr, window_.SelectedProject());
    EXPECT_EQ(1002, window_.SelectedProject()->PROJECTID());
    window_.UpdateActions();
    EXPECT_TRUE(window_.findChild<QAction*>("actCopyProjects")->isEnabled());
    EXPECT_EQ("Copy the selected item",
              window_.findChild<QAction*>("actCopyProjects")->toolTip().toStdString());
}

TEST_F(ProjectsWindowTest, CaptionRefusesSpecialKeysAndPastedSpecialCharacters) {
    AddProject(1001, "Rice");
    Show();
    HideToolTip();
    TypeText(caption_, ".");
    EXPECT_TRUE(dialogs_.Boxes().empty()) << "no box takes the next keys";
    EXPECT_EQ(RefusedCaptionCharacter, ShownToolTip());
    EXPECT_EQ("Rice", caption_->text().toStdString());
    TypeText(caption_, "2a");
    EXPECT_EQ("Rice2a", caption_->text().toStdString());
    EXPECT_EQ("Rice2a", SelectedCaption());
    caption_->insert("/x"); // as pasted
    EXPECT_EQ("Rice2a", caption_->text().toStdString());
    // Texts that come from elsewhere.
    for (const char* pasted : {"../etc", "a/b"}) {
        caption_->setText(pasted);
        EXPECT_EQ("", caption_->text().toStdString()) << pasted;
        EXPECT_EQ("Caption " + std::string(pasted) +
                      " contains invalid character(s) (<space> , . / \\ ( ) : ? \" < > | *)",
                  dialogs_.Texts().back());
        EXPECT_EQ(std::string::npos, window_.SelectedProject()->CAPTION().find('/'));
    }
}

TEST_F(ProjectsWindowTest, DeletingAProjectWithAssessmentsAsksOnceAndRemovesItsRunDirectory) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a1");
    AddAssessment(2002, 1001, "a2");
    AddAssessment(2003, 1001, "a3");
    const std::string directory = ProjectDirectory(1001, false);
    std::filesystem::create_directories(directory + "/2001/GLIDAR");
    std::ofstream(directory + "/2001/GLIDAR/2001.gld") << "x";
    Show();
    window_.UpdateActions();
    ASSERT_TRUE(window_.findChild<QAction*>("actDeleteProjects")->isEnabled());
    dialogs_.QueueAnswer(TDialogAnswer::Cancel);
    window_.findChild<QAction*>("actDeleteProjects")->trigger();
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM PROJECTS WHERE PROJECTID = 1001"));
    dialogs_.QueueAnswer(TDialogAnswer::Ok);
    window_.findChild<QAction*>("actDeleteProjects")->trigger();
    ASSERT_EQ(2u, dialogs_.Boxes().size()) << "one question each time, no connector question";
    EXPECT_EQ("Deleting this item will also delete 3 item(s) from table Assessments, do you want "
              "to continue ?",
              dialogs_.Texts()[1]);
    EXPECT_EQ(TDialogButtons::OkCancel, dialogs_.Boxes()[1].Box.Buttons);
    EXPECT_EQ(0, Count("SELECT COUNT(*) FROM PROJECTS WHERE PROJECTID = 1001"));
    EXPECT_EQ(0, Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE PROJECTID = 1001"));
    EXPECT_FALSE(std::filesystem::exists(directory));
    EXPECT_EQ("<not available>", grid_->Cell(1, 1));
}

TEST_F(ProjectsWindowTest, DeletingAProjectWithoutAssessmentsAsksTheConnectorsQuestion) {
    AddProject(1001, "Rice");
    AddProject(1002, "Wheat");
    Show("1002");
    dialogs_.QueueAnswer(TDialogAnswer::Ok);
    window_.DeleteProject();
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ("Do you really want to delete this item of Projects ?", dialogs_.Texts()[0]);
    EXPECT_EQ(0, Count("SELECT COUNT(*) FROM PROJECTS WHERE PROJECTID = 1002"));
    EXPECT_EQ("Rice", SelectedCaption());
}

TEST_F(ProjectsWindowTest, CopyingAProjectCopiesItsAssessmentsAndSelectsTheCopy) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a1", true);
    AddAssessment(2002, 1001, "a2");
    Show();
    window_.CopyProject();
    EXPECT_TRUE(dialogs_.Boxes().empty()) << dialogs_.Texts().front();
    EXPECT_EQ("Rice_copy", SelectedCaption());
    const std::string copyID = grid_->Cell(0, grid_->Row());
    EXPECT_NE("1001", copyID);
    EXPECT_EQ("Rice_copy",
              environment_.Text("SELECT CAPTION FROM PROJECTS WHERE PROJECTID = " + copyID));
    EXPECT_EQ(2, Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE PROJECTID = " + copyID));
    EXPECT_EQ(0,
              Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE VALIDRESULTS = TRUE AND PROJECTID = " +
                    copyID))
        << "copies carry no results";
    EXPECT_EQ(2, Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE PROJECTID = 1001"));
}

TEST_F(ProjectsWindowTest, OpenWithUnsavedEditsAsksAndCancelKeepsTheWindowOpen) {
    AddProject(1001, "Rice");
    Show();
    TypeText(caption_, "X");
    dialogs_.QueueAnswer(TDialogAnswer::Cancel);
    window_.findChild<QAction*>("actOpen")->trigger();
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ("Save the item of Projects ?", dialogs_.Texts()[0]);
    EXPECT_TRUE(window_.isVisible());
    dialogs_.QueueAnswer(TDialogAnswer::Yes);
    window_.findChild<QAction*>("actOpen")->trigger();
    EXPECT_FALSE(window_.isVisible());
    EXPECT_TRUE(window_.OpenChosen());
    EXPECT_EQ("RiceX", environment_.Text("SELECT CAPTION FROM PROJECTS WHERE PROJECTID = 1001"));
}

TEST_F(ProjectsWindowTest, InsertedProjectIsSavedWithItsCaption) {
    Show();
    window_.InsertProject();
    TypeText(caption_, "New1");
    window_.findChild<QAction*>("actSaveProjects")->trigger();
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM PROJECTS WHERE CAPTION = 'New1'"));
    EXPECT_TRUE(dialogs_.Boxes().empty());
}

// ---- scenarios and interceptions ---------------------------------------------------------

TEST_F(WindowTest, ScenariosWindowBrowsesTheDeliveredScenarios) {
    TfrmScenarios window;
    window.show();
    auto* grid = Child<TDACGrid>(window, "grdScenarios");
    EXPECT_EQ("Parvela_2.4.2_CN - Scenarios", window.windowTitle().toStdString());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM SCENARIOS WHERE SCENARIOID > 0") + 1, grid->RowCount());
    EXPECT_EQ("Jinhua", grid->Cell(1, 1));
    EXPECT_GE(grid->ColWidth(1), 200);
    EXPECT_GT(grid->ColWidth(2), grid->ColWidth(1)) << "Description (350) wider than Caption (200)";
    EXPECT_EQ("Jinhua", Child<QLineEdit>(window, "edtScenariosCaption")->text().toStdString());
    EXPECT_FALSE(Child<QWidget>(window, "gbxEditScenarios")->isEnabled());
    EXPECT_FALSE(Child<QWidget>(window, "pnlNavigatorScenarios")->isVisible());
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->Cell(1, 2),
              Child<QLineEdit>(window, "edtScenariosCaption")->text().toStdString());
    window.done(QDialog::Accepted);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(WindowTest, InterceptionsGridShowsOneRowPerStageWithItsFormats) {
    environment_.Database().RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION, DESCRIPTION) "
                                      "VALUES (901, 'AAA three stages', 'test')");
    environment_.Database().RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION, DESCRIPTION) "
                                      "VALUES (902, 'AAB no stages', 'test')");
    const char* rows[] = {"(90001, 901, 1, 1, 5, 20, 5, 0.0)", "(90002, 901, 2, 21, 5, 9, 6, 0.5)",
                          "(90003, 901, 3, 10, 6, 31, 13, 0.125)"};
    for (const char* row : rows)
        environment_.Database().RunRawSQL(
            std::string("INSERT INTO Interceptions (InterceptionID, ScenarioID, BBCH_ID, "
                        "BeginDay, BeginMonth, EndDay, EndMonth, InterceptionFraction) VALUES ") +
            row);
    TfrmInceptions window;
    window.show();
    QComboBox* scenarios = window.Scenarios();
    const int three = scenarios->findText("AAA three stages");
    ASSERT_GE(three, 0);
    EXPECT_EQ(-1, scenarios->findData(0)) << "only scenarios above 0";
    scenarios->setCurrentIndex(three);
    QTableWidget* grid = window.Grid();
    ASSERT_EQ(3, grid->rowCount());
    EXPECT_EQ(" BBCH", grid->horizontalHeaderItem(0)->text().toStdString());
    EXPECT_EQ("Interception [-]", grid->horizontalHeaderItem(4)->text().toStdString());
    EXPECT_EQ("      00", grid->item(0, 0)->text().toStdString());
    EXPECT_EQ("Dry seed (caryopsis)", grid->item(0, 1)->text().toStdString());
    EXPECT_EQ(" 1 - May", grid->item(0, 2)->text().toStdString());
    EXPECT_EQ("20 - May", grid->item(0, 3)->text().toStdString());
    EXPECT_EQ("      0.50", grid->item(1, 4)->text().toStdString());
    EXPECT_EQ("31 - ", grid->item(2, 3)->text().toStdString()) << "month 13 has no text";
    scenarios->setCurrentIndex(scenarios->findText("AAB no stages"));
    ASSERT_EQ(1, grid->rowCount());
    EXPECT_EQ("", grid->item(0, 0)->text().toStdString());
    scenarios->setCurrentIndex(scenarios->findText("Jinhua"));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Interceptions WHERE ScenarioID = 1"), grid->rowCount());
}

// ---- results and About -------------------------------------------------------------------

TEST_F(WindowTest, ResultsWindowShowsTheFilesOrTheirMissingLines) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a1");
    TdcAssessments assessments;
    assessments.Open();
    ASSERT_TRUE(assessments.LocateByItemID("2001", false));
    TdciAssessments& assessment = assessments.Item();
    const std::string run = environment_.File("run");
    assessment.SetRunDirectoryPath(run);
    std::filesystem::create_directories(run + "/GLIDAR");
    std::ofstream(run + "/GLIDAR/2001.gld") << "glidar input\nline 2\n";
    std::ofstream(run + "/GLIDAR/2001.err") << "glidar error";
    struct Case {
        int kind;
        std::string glidar;
        std::string mundre;
    } cases[] = {
        {0, "glidar input\nline 2\n", "No inputfiles found. (" + run + "/MUNDRE)"},
        {1, "No results found. (" + run + "/GLIDAR)", "No results found. (" + run + "/MUNDRE)"},
        {2, "glidar error", "No errorfiles found. (" + run + "/MUNDRE)"},
    };
    for (const Case& c : cases) {
        TfrmResults window(&assessment, c.kind);
        window.show();
        EXPECT_EQ("Results", window.windowTitle().toStdString());
        EXPECT_EQ("Glidar", window.Pages()->tabText(0).toStdString());
        EXPECT_EQ(0, window.Pages()->currentIndex());
        EXPECT_EQ(c.glidar, window.Glidar()->toPlainText().toStdString()) << c.kind;
        EXPECT_EQ(c.mundre, window.Mundre()->toPlainText().toStdString()) << c.kind;
        EXPECT_TRUE(window.Glidar()->isReadOnly());
    }
    TfrmResults unknown(&assessment, 3);
    try {
        unknown.LoadFiles();
        ADD_FAILURE();
    } catch (const Exception& failure) {
        EXPECT_STREQ("Unknown filetype.", failure.what());
    }
    TfrmResults::ShowResults(nullptr, TResultFileKind::Input);
}

TEST_F(WindowTest, AboutShowsNameVersionsAndDatabaseVersion) {
    TfrmAbout window;
    window.show();
    EXPECT_EQ("Parvela_2.4.2_CN - About", window.windowTitle().toStdString());
    EXPECT_EQ("Parvela_2.4.2_CN", Child<QLabel>(window, "Label1")->text().toStdString());
    EXPECT_EQ("4", Child<QLabel>(window, "lblVersionDB")->text().toStdString());
    EXPECT_EQ("April 2016", Child<QLabel>(window, "lblDate")->text().toStdString());
    const std::string build = Child<QLabel>(window, "lblBuild")->text().toStdString();
    const std::string gui = Child<QLabel>(window, "lblVersionGUI")->text().toStdString();
    EXPECT_FALSE(gui.empty());
    EXPECT_EQ(0u, build.find(gui)) << "the GUI version is the first part of the build version";
    EXPECT_EQ(std::string::npos, gui.find('.'));
    EXPECT_FALSE(Child<QLabel>(window, "lblVersionGlidar")->text().isEmpty());
    EXPECT_FALSE(Child<QLabel>(window, "lblDesign1")->text().isEmpty());
}

} // namespace
} // namespace parvela::test
