// The main window with everything real behind it: the services it starts, the database, the
// plug-in library and the model programs; the user's answers are scripted and the desktop's
// opener records what it was asked to open.
#include "UnitsFromGenerator/ProjectDirectory.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "framework/TDACSaver.h"
#include "framework/TVersionInfo.h"
#include "platform/SystemIdentity.h"
#include "platform/UiHooks.h"
#include "program/connection/TApplicationSettings.h"
#include "program/connection/TDatabaseConnection.h"
#include "program/runs/RunClaims.h"
#include "program/system/ProcessGroups.h"
#include "program/system/RegistryValues.h"
#include "tests/support/SlowModels.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/TDACGrid.h"
#include "ui/TDayMonthSelector.h"
#include "ui/TfrmApplicationSchemes.h"
#include "ui/TfrmAssessments.h"
#include "ui/TfrmProjects.h"

#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <map>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace parvela::test {
namespace {

const std::string EtaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000012}";
const std::string BetaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000005}";

// Acts on the next modal window once its event loop runs, then lets the test go on.
void WhenModal(std::function<void(QWidget&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            ADD_FAILURE() << "no modal window";
            return;
        }
        act(*modal);
    });
}

// Stands in for the program's event processing during the model waits: it processes the
// events as the program does and notes what the window shows meanwhile.
class RecordingUiHooks final : public IUiHooks {
public:
    explicit RecordingUiHooks(QWidget& window) : window_(window) { SetUiHooks(this); }
    ~RecordingUiHooks() override { SetUiHooks(nullptr); }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void ProcessPendingEvents() override {
        QApplication::processEvents();
        const std::string status = window_.findChild<QLabel*>("lblStatus")->text().toStdString();
        if (statuses_.empty() || statuses_.back() != status)
            statuses_.push_back(status);
        for (const char* panel : {"Panel1", "GroupBox1", "gbxBrowseAssessments"})
            panelsEnabled_ = panelsEnabled_ || window_.findChild<QWidget*>(panel)->isEnabled();
        if (atFirstWait_)
            std::exchange(atFirstWait_, nullptr)();
        if (atEachWait_)
            atEachWait_();
    }
    // Runs once, at the first wait, after the window processed its events.
    void AtFirstWait(std::function<void()> probe) { atFirstWait_ = std::move(probe); }
    // Runs at every wait, after the window processed its events.
    void AtEachWait(std::function<void()> probe) { atEachWait_ = std::move(probe); }
    const std::vector<std::string>& Statuses() const { return statuses_; }
    bool PanelsEverEnabled() const { return panelsEnabled_; }

private:
    QWidget& window_;
    std::vector<std::string> statuses_;
    bool panelsEnabled_ = false;
    std::function<void()> atFirstWait_;
    std::function<void()> atEachWait_;
};

bool OwnedBy(const QObject* object, const QObject* owner) {
    for (; object; object = object->parent())
        if (object == owner)
            return true;
    return false;
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : scope_(dialogs_), opener_("PARVELA_OPENER", environment_.File("opener.sh")) {
        TestApplication();
        std::ofstream(environment_.File("opener.sh"))
            << "#!/bin/sh\necho \"$1\" >> '" << environment_.File("opened.txt") << "'\n";
        chmod(environment_.File("opener.sh").c_str(), 0755);
    }
    ~MainWindowTest() override { Close(); }

    void Sql(const std::string& sql) { environment_.Database().RunRawSQL(sql); }
    void AddProject(int id, const std::string& caption, bool locked = false) {
        Sql("INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, LOCKED) VALUES (" +
            std::to_string(id) + ", '" + caption + "', '', '" + (locked ? "True" : "False") + "')");
    }
    // The plug-in's checksum of a substance, as a saved choice of it stores.
    static std::string Checksum(const std::string& guid) {
        TDAXOInterface::CreateSingleton(".");
        const std::string checksum =
            TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(guid);
        TDAXOInterface::DestroySingleton();
        return checksum;
    }
    void AddAssessment(int id, int projectID, const std::string& caption, bool valid = false,
                       bool selected = false, const std::string& guid = EtaGuid,
                       std::optional<std::string> checksum = std::nullopt) {
        if (!checksum)
            checksum = guid == EtaGuid ? etaChecksum_ : std::string();
        Sql("INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, SCENARIOID, "
            "SUBSTANCEGUID, APPLICATIONSCHEMEID, SELECTEDFOREXECUTION, VALIDRESULTS, "
            "SUBSTANCECHECKSUM, CREATIONDATE, MODIFICATIONDATE) VALUES (" +
            std::to_string(id) + ", '" + caption + "', 'd', " + std::to_string(projectID) +
            ", 1, '" + guid + "', 1, '" + (selected ? "True" : "False") + "', " +
            (valid ? "TRUE" : "FALSE") + ", '" + *checksum +
            "', '2020-01-02 03:04:05', '2020-01-02 03:04:05')");
    }
    void Open(int lastProject = 0) {
        if (lastProject)
            WriteRegistryInteger(HKEY_LOCAL_MACHINE, RegistryKey(), "LastOpenedProject",
                                 lastProject);
        window_ =
            std::make_unique<TfrmAssessments>(TServiceStartOptions{environment_.SettingsFile()});
        projects_ = std::make_unique<TfrmProjects>(window_.get());
        window_->SetProjectsWindow(projects_.get());
        window_->show();
        grid_ = Child<TDACGrid>(*window_, "grdAssessments");
        caption_ = Child<QLineEdit>(*window_, "edtAssessmentsCaption");
        window_->UpdateActions();
    }
    void Close() {
        projects_.reset();
        window_.reset();
    }
    QAction* Action(const char* name) { return window_->findChild<QAction*>(name); }
    std::string Cell(int column) const { return grid_->Cell(column, grid_->Row()); }
    std::string Stored(const std::string& column, int id) {
        return environment_.Text("SELECT " + column +
                                 " FROM ASSESSMENTS WHERE ASSESSMENTID = " + std::to_string(id));
    }
    std::string Opened() { return ReadWholeFile(environment_.File("opened.txt")); }
    void SelectRow(int row) { ASSERT_TRUE(grid_->SetRow(row)); }

    ProgramEnvironment environment_;
    TScriptedDialogs dialogs_;
    TScopedDialogs scope_;
    ScopedEnvironment opener_;
    const std::string etaChecksum_ = Checksum(EtaGuid);
    std::unique_ptr<TfrmAssessments> window_;
    std::unique_ptr<TfrmProjects> projects_;
    TDACGrid* grid_ = nullptr;
    QLineEdit* caption_ = nullptr;
};

TEST_F(MainWindowTest, StartsTheServicesSelectsTheLastProjectAndStoresItAtTheEnd) {
    AddProject(1001, "Rice");
    AddProject(1002, "Wheat");
    AddAssessment(2001, 1002, "w1");
    Open(1002);
    ASSERT_TRUE(window_->ServicesStarted())
        << (dialogs_.Texts().empty() ? "" : dialogs_.Texts()[0]);
    for (bool exists : {TVersionInfo::SingletonExists(), TApplicationSettings::SingletonExists(),
                        TDatabaseConnection::SingletonExists(), TDACSaver::SingletonExists(),
                        TDAXOInterface::SingletonExists(), TModelManager::SingletonExists()})
        EXPECT_TRUE(exists);
    EXPECT_EQ("Parvela_2.4.2_CN - Assessments [project: Wheat]",
              window_->windowTitle().toStdString());
    EXPECT_EQ("About Parvela_2.4.2_CN", Action("AboutParvela")->text().toStdString());
    EXPECT_EQ("w1", Cell(3));
    EXPECT_EQ(11, grid_->ColCount());
    EXPECT_EQ("ApplicationScheme", grid_->Cell(7, 0));
    EXPECT_EQ("Results", grid_->Cell(10, 0));
    EXPECT_EQ(-1, grid_->ColWidth(0));
    EXPECT_GE(grid_->ColWidth(1), 65) << "at least the width for the original's small font";
    EXPECT_EQ("Jinhua", Cell(5));
    EXPECT_EQ("Two crop sprays", Cell(7));
    EXPECT_FALSE(Cell(6).empty()) << "the substance code from the plug-in";
    EXPECT_EQ("2020-01-02 03:04:05", Cell(8));
    EXPECT_EQ(0, Child<QTabWidget>(*window_, "PageControl1")->currentIndex());
    QAction* continueOnError = Action("Continuemultiplerunsonerror");
    EXPECT_FALSE(continueOnError->isChecked());
    EXPECT_FALSE(TModelManager::GetSingleton().ContinueOnError());
    Action("actContinueOnError")->trigger();
    EXPECT_TRUE(continueOnError->isChecked());
    EXPECT_TRUE(TModelManager::GetSingleton().ContinueOnError());
    continueOnError->trigger(); // as a click on the menu's check item
    EXPECT_FALSE(continueOnError->isChecked());
    EXPECT_FALSE(TModelManager::GetSingleton().ContinueOnError());
    EXPECT_TRUE(dialogs_.Boxes().empty()) << dialogs_.Texts()[0];

    // Switching to the other project through the projects window.
    WhenModal([](QWidget& modal) {
        auto& projects = static_cast<TfrmProjects&>(modal);
        projects.Connector().GotoFirstRow();
        projects.findChild<QAction*>("actOpen")->trigger();
    });
    Action("actProjects")->trigger();
    EXPECT_EQ("Parvela_2.4.2_CN - Assessments [project: Rice]",
              window_->windowTitle().toStdString());
    EXPECT_EQ("<not available>", grid_->Cell(3, 1));
    Close();
    for (bool exists : {TVersionInfo::SingletonExists(), TApplicationSettings::SingletonExists(),
                        TDatabaseConnection::SingletonExists(), TDACSaver::SingletonExists(),
                        TDAXOInterface::SingletonExists(), TModelManager::SingletonExists()})
        EXPECT_FALSE(exists);
    // Per user, where the users of an installed program can write; the machine-wide value
    // that the start found stays as it was.
    EXPECT_EQ(1001, ReadRegistryInteger(HKEY_CURRENT_USER, RegistryKey(), "LastOpenedProject"));
    EXPECT_EQ(1002, ReadRegistryInteger(HKEY_LOCAL_MACHINE, RegistryKey(), "LastOpenedProject"));

    // The next start opens the user's last project, the icon written to the user's cache
    // and never into the current directory.
    const std::filesystem::path startedIn = std::filesystem::current_path();
    std::filesystem::current_path(environment_.File(""));
    Open();
    std::filesystem::current_path(startedIn);
    EXPECT_EQ("Parvela_2.4.2_CN - Assessments [project: Rice]",
              window_->windowTitle().toStdString());
    EXPECT_EQ(ReadWholeFile(environment_.CacheDirectory() + "Parvela.ico").substr(0, 4),
              std::string("\0\0\1\0", 4))
        << "an icon file";
    EXPECT_EQ(std::filesystem::status(environment_.CacheDirectory()).permissions(),
              std::filesystem::perms::owner_all);
    EXPECT_FALSE(std::filesystem::exists(environment_.File("Parvela.ico")));
}

// A refused character is not typed and a tooltip tells why; no box takes the keys that follow.
TEST_F(MainWindowTest, CaptionRefusesAFullStopAndAcceptsLettersAndDigits) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a");
    Open(1001);
    HideToolTip();
    TypeText(caption_, ".b2 run+=");
    EXPECT_TRUE(dialogs_.Boxes().empty()) << dialogs_.Texts()[0];
    EXPECT_EQ("ab2run", Cell(3));
    EXPECT_EQ(RefusedCaptionCharacter, ShownToolTip());
    auto* description = Child<QLineEdit>(*window_, "edtAssessmentsDescription");
    description->clear();
    TypeText(description, "Many assessments");
    EXPECT_EQ("Many assessments", Cell(4));
    caption_->setText("a/../b"); // a text from elsewhere
    EXPECT_EQ("", caption_->text().toStdString());
    EXPECT_EQ(1u, dialogs_.Boxes().size());
}

TEST_F(MainWindowTest, CalculateWithoutMarkedAssessmentsRunsNothing) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a");
    Open(1001);
    Action("actRun")->trigger();
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ("First select one or more assessments. To select double-click on an assessment in "
              "the table.",
              dialogs_.Texts()[0]);
    EXPECT_FALSE(std::filesystem::exists(ProjectDirectory(1001, true) + "2001"));
    EXPECT_TRUE(Child<QWidget>(*window_, "Panel1")->isEnabled());
}

TEST_F(MainWindowTest, SavingChangedInputsOfValidResultsAsksTheResultsQuestion) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a", true);
    Open(1001);
    auto* scenarios = Child<QComboBox>(*window_, "cbxScenarios");
    scenarios->setCurrentIndex(scenarios->findText("Nanchang"));
    EXPECT_EQ("Nanchang", Cell(5));
    dialogs_.QueueAnswer(TDialogAnswer::No);
    Action("actSaveAssessments")->trigger();
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ("Assessment settings are changed. After saving the results are no longer valid. "
              "Do you wish to continue?",
              dialogs_.Texts()[0]);
    EXPECT_EQ(TDialogButtons::YesNo, dialogs_.Boxes()[0].Box.Buttons);
    EXPECT_EQ(isEdited, window_->SelectedAssessment()->ItemState());
    EXPECT_EQ("1", Stored("SCENARIOID", 2001));
    dialogs_.QueueAnswer(TDialogAnswer::Yes);
    Action("actSaveAssessments")->trigger();
    EXPECT_EQ("2", Stored("SCENARIOID", 2001));
    EXPECT_EQ(0, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE VALIDRESULTS = TRUE"));
}

TEST_F(MainWindowTest, LeavingARowWithChangedInputsOfValidResultsAlsoAsksTheResultsQuestion) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a", true);
    AddAssessment(2002, 1001, "b", true);
    Open(1001);
    auto* scenarios = Child<QComboBox>(*window_, "cbxScenarios");
    scenarios->setCurrentIndex(scenarios->findText("Nanchang"));
    dialogs_.QueueAnswer(TDialogAnswer::Yes).QueueAnswer(TDialogAnswer::No);
    QTest::keyClick(grid_, Qt::Key_Down);
    ASSERT_EQ(2u, dialogs_.Boxes().size());
    EXPECT_EQ("Save the item of Assessments ?", dialogs_.Texts()[0]);
    EXPECT_EQ("Assessment settings are changed. After saving the results are no longer valid. "
              "Do you wish to continue?",
              dialogs_.Texts()[1]);
    EXPECT_EQ(1, grid_->Row()) << "No to the results question keeps the row";
    EXPECT_EQ("1", Stored("SCENARIOID", 2001));
    dialogs_.QueueAnswer(TDialogAnswer::Yes).QueueAnswer(TDialogAnswer::Yes);
    QTest::keyClick(grid_, Qt::Key_Down);
    EXPECT_EQ(2, grid_->Row());
    EXPECT_EQ("2", Stored("SCENARIOID", 2001));
    EXPECT_EQ(0, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE VALIDRESULTS = TRUE "
                                    "AND ASSESSMENTID = 2001"));
    EXPECT_EQ(1, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE VALIDRESULTS = TRUE "
                                    "AND ASSESSMENTID = 2002"));
}

TEST_F(MainWindowTest, CopyCreatesACaptionCopyAndSelectsIt) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a", true, true);
    Open(1001);
    window_->UpdateActions();
    ASSERT_TRUE(Action("actCopyAssessments")->isEnabled());
    Action("actCopyAssessments")->trigger();
    EXPECT_TRUE(dialogs_.Boxes().empty()) << dialogs_.Texts()[0];
    EXPECT_EQ("a_copy", Cell(3));
    EXPECT_EQ(2, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE PROJECTID = 1001"));
    EXPECT_EQ(1, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE CAPTION = 'a_copy' "
                                    "AND VALIDRESULTS = FALSE"));
}

TEST_F(MainWindowTest, ChoosingASubstanceUpdatesTheGridAndStoresItsChecksum) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a");
    Open(1001);
    auto* substances = Child<QComboBox>(*window_, "cbxAssessmentsSubstanceCode");
    const std::string before = Cell(6);
    int other = -1;
    for (int i = 0; i < substances->count(); ++i)
        if (substances->itemData(i).toString().toStdString() == BetaGuid)
            other = i;
    ASSERT_GE(other, 0);
    substances->setCurrentIndex(other);
    emit substances->activated(other);
    EXPECT_EQ(substances->itemText(other).toStdString(), Cell(6));
    EXPECT_NE(before, Cell(6));
    const std::string checksum =
        TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(BetaGuid);
    EXPECT_FALSE(checksum.empty());
    EXPECT_EQ(checksum, window_->SelectedAssessment()->SUBSTANCECHECKSUM());
    Action("actSaveAssessments")->trigger();
    EXPECT_EQ(checksum, Stored("SUBSTANCECHECKSUM", 2001));
    EXPECT_EQ(BetaGuid, Stored("SUBSTANCEGUID", 2001));
}

TEST_F(MainWindowTest, DoubleClickTogglesTheMarkInALockedProject) {
    AddProject(1001, "Locked", true);
    AddAssessment(2001, 1001, "a");
    Open(1001);
    EXPECT_FALSE(caption_->isEnabled()) << "a locked project's assessments cannot be edited";
    emit grid_->cellDoubleClicked(0, 3);
    EXPECT_EQ("Yes", Cell(1));
    EXPECT_EQ("True", Stored("SELECTEDFOREXECUTION", 2001));
    EXPECT_TRUE(Child<QCheckBox>(*window_, "chxAssessmentsSelectedForExecution")->isChecked());
    emit grid_->cellDoubleClicked(0, 3);
    EXPECT_EQ("", Cell(1));
    EXPECT_EQ("False", Stored("SELECTEDFOREXECUTION", 2001));
    EXPECT_TRUE(dialogs_.Boxes().empty()) << dialogs_.Texts()[0];
}

// The keys of a Linux desktop, each shown in the menus: Space marks the selected rows (each
// row by itself), Ctrl+S saves, Escape cancels, Delete deletes in the grid, F5 reads the lists
// again, Tab leaves the grid and Ctrl+Q quits.
TEST_F(MainWindowTest, KeysMarkSaveCancelDeleteReloadAndQuit) {
    AddProject(1001, "Rice");
    for (int id : {2001, 2002, 2003})
        AddAssessment(id, 1001, std::string(1, char('a' + id - 2001)));
    Open(1001);
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    std::map<std::string, std::string> keys;
    for (QAction* menu : window_->menuBar()->actions())
        for (QAction* entry : menu->menu()->actions())
            if (!entry->shortcut().isEmpty())
                keys[entry->shortcut().toString().toStdString()] =
                    entry->objectName().toStdString();
    EXPECT_EQ(keys, (std::map<std::string, std::string>{{"Ctrl+S", "actSaveAssessments"},
                                                        {"Esc", "actCancelAssessments"},
                                                        {"Del", "actDeleteAssessments"},
                                                        {"Space", "actMarkForExecution"},
                                                        {"F5", "actReload"},
                                                        {"Ctrl+Q", "mnExit"}}));
    auto marks = [this] {
        std::string stored;
        for (int id : {2001, 2002, 2003})
            stored += Stored("SELECTEDFOREXECUTION", id) == "True" ? "x" : "-";
        return stored;
    };

    grid_->setFocus();
    QTest::keyClick(grid_, Qt::Key_Space);
    EXPECT_EQ("x--", marks());
    EXPECT_EQ("Yes", grid_->Cell(1, 1));
    QTest::keyClick(grid_, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid_, Qt::Key_Space);
    EXPECT_EQ("-x-", marks()) << "each selected row inverted";
    EXPECT_EQ(2u, grid_->selectionModel()->selectedRows().size()) << "kept for the next key";
    Action("actMarkAll")->trigger();
    EXPECT_EQ("xxx", marks());
    Action("actUnmarkAll")->trigger();
    EXPECT_EQ("---", marks());

    TypeText(caption_, "2");
    QTest::keyClick(caption_, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ("b2", Stored("CAPTION", 2002));
    TypeText(caption_, "3");
    dialogs_.QueueAnswer(TDialogAnswer::Ok);
    QTest::keyClick(caption_, Qt::Key_Escape);
    EXPECT_EQ("b2", caption_->text().toStdString());
    auto* scenarios = Child<QComboBox>(*window_, "cbxScenarios");
    scenarios->setFocus();
    QTest::keyClick(scenarios, Qt::Key_Delete);
    EXPECT_EQ(1u, dialogs_.Boxes().size()) << "Delete outside the grid deletes no assessment";
    dialogs_.QueueAnswer(TDialogAnswer::Ok);
    grid_->setFocus();
    QTest::keyClick(grid_, Qt::Key_Delete);
    ASSERT_EQ(2u, dialogs_.Boxes().size());
    EXPECT_EQ("Do you really want to delete this item of Assessments ?", dialogs_.Texts()[1]);
    EXPECT_EQ(0, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE ASSESSMENTID = 2002"));

    AddAssessment(2004, 1001, "added by a colleague");
    QTest::keyClick(grid_, Qt::Key_F5);
    EXPECT_EQ(4, grid_->RowCount());
    EXPECT_EQ("added by a colleague", grid_->Cell(3, 3));

    grid_->setFocus();
    QTest::keyClick(grid_, Qt::Key_Tab);
    EXPECT_NE(grid_, QApplication::focusWidget()) << "Tab leaves the grid";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window_->isVisible());
}

// The grid shows each assessment's verdict in text and colour; after a run the status bar
// counts how the marked assessments ended.
TEST_F(MainWindowTest, TheGridShowsTheVerdictsAndTheStatusBarCountsARun) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "runs", false, true);
    AddAssessment(2002, 1001, "unknown", false, true, "{00000000-0000-0000-0000-000000000000}");
    AddAssessment(2003, 1001, "never");
    Open(1001);
    EXPECT_EQ("none", grid_->Cell(10, 1));
    Action("actRun")->trigger();
    EXPECT_EQ("Finished: 1 valid, 1 not valid", window_->StatusText());
    std::map<std::string, std::string> verdicts;
    std::set<QRgb> colours;
    for (int row = 1; row < grid_->RowCount(); ++row) {
        verdicts[grid_->Cell(3, row)] = grid_->Cell(10, row);
        colours.insert(grid_->item(row - 1, 10)->background().color().rgb());
    }
    EXPECT_EQ(verdicts, (std::map<std::string, std::string>{
                            {"runs", "valid"}, {"unknown", "not valid"}, {"never", "none"}}));
    EXPECT_EQ(3u, colours.size()) << "a colour of its own for each";
}

// Deleting an assessment removes its run directory; while another program runs it, nothing
// is deleted and the window says who runs it.
TEST_F(MainWindowTest, DeleteAsksAndRemovesTheRunDirectory) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a");
    AddAssessment(2002, 1001, "b");
    Open(1001);
    const std::string run = ProjectDirectory(1001, true) + "2001";
    std::filesystem::create_directories(run + "/GLIDAR");
    {
        const auto other = environment_.Database().Connect();
        const auto claims = CreateRunClaims(*other);
        ASSERT_EQ(claims->TryClaim(2001, std::nullopt).Outcome, TClaimOutcome::Claimed);
        Action("actDeleteAssessments")->trigger();
        ASSERT_EQ(1u, dialogs_.Texts().size());
        EXPECT_EQ(0u,
                  dialogs_.Texts()[0].rfind("Assessment a is being run by " + UserName() + "@", 0))
            << dialogs_.Texts()[0];
        EXPECT_EQ(1,
                  environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE ASSESSMENTID = 2001"));
        EXPECT_TRUE(std::filesystem::exists(run));
    }
    dialogs_.QueueAnswer(TDialogAnswer::Ok);
    Action("actDeleteAssessments")->trigger();
    EXPECT_EQ("Do you really want to delete this item of Assessments ?", dialogs_.Texts()[1]);
    EXPECT_EQ(0, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE ASSESSMENTID = 2001"));
    EXPECT_FALSE(std::filesystem::exists(run));
    EXPECT_EQ("b", Cell(3));
}

TEST_F(MainWindowTest, HelpEntriesTellTheContactAndOpenTheWebsite) {
    Open();
    EXPECT_EQ("Parvela_2.4.2_CN - Assessments", window_->windowTitle().toStdString())
        << "no project at all";
    window_->findChild<QAction*>("mnUserManual")->trigger();
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_NE(std::string::npos, dialogs_.Texts()[0].find("@example.org"));
    EXPECT_EQ(TDialogIcon::Information, dialogs_.Boxes()[0].Box.Icon);
    window_->findChild<QAction*>("mnWebsite")->trigger();
    EXPECT_EQ(std::string(TfrmAssessments::WebsiteAddress) + "\n", Opened());
    EXPECT_FALSE(Action("actInsertAssessments")->isEnabled()) << "nothing to add to";
}

TEST_F(MainWindowTest, FirstActivationInvalidatesResultsOfAChangedSubstance) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "stale", true, false, EtaGuid, "an older checksum");
    Open(1001);
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ("Results of next assessments are invalid because used substance has changed: stale",
              dialogs_.Texts()[0]);
    EXPECT_EQ(0, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE VALIDRESULTS = TRUE"));
    EXPECT_FALSE(Child<QCheckBox>(*window_, "chxAssessmentHasValidResults")->isChecked())
        << "the window shows the checked state";
}

TEST_F(MainWindowTest, TheSubstanceEditorOpensWithTheChosenSubstanceAndTheListIsReadAgain) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a");
    Open(1001);
    auto* substances = Child<QComboBox>(*window_, "cbxAssessmentsSubstanceCode");
    const int count = substances->count();
    ASSERT_GT(count, 0);
    const std::string code = substances->currentText().toStdString();
    std::string editorTitle;
    WhenModal([&editorTitle](QWidget& modal) {
        editorTitle = modal.windowTitle().toStdString();
        static_cast<QDialog&>(modal).reject();
    });
    Action("actEditSubstances")->trigger();
    EXPECT_EQ("DAXO substances", editorTitle);
    EXPECT_EQ(count, substances->count());
    EXPECT_EQ(code, substances->currentText().toStdString());
    EXPECT_EQ("a", Cell(3));
    EXPECT_TRUE(dialogs_.Boxes().empty()) << dialogs_.Texts()[0];
}

TEST_F(MainWindowTest, EditorsAskToSaveFirstWithYesAndCancel) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a");
    Open(1001);
    TypeText(caption_, "b");
    dialogs_.QueueAnswer(TDialogAnswer::Cancel);
    Action("actEditApplicationSchemes")->trigger();
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ("You have to save the changes before you can continue.\rDo you want to continue and "
              "save changes?",
              dialogs_.Texts()[0]);
    EXPECT_EQ(TDialogButtons::YesCancel, dialogs_.Boxes()[0].Box.Buttons);
    EXPECT_EQ("a", Stored("CAPTION", 2001));
    dialogs_.QueueAnswer(TDialogAnswer::Yes);
    std::string selectedScheme;
    WhenModal([&selectedScheme](QWidget& modal) {
        auto& schemes = static_cast<TfrmApplicationSchemes&>(modal);
        selectedScheme = schemes.SelectedScheme() ? schemes.SelectedScheme()->CAPTION() : "";
        schemes.done(QDialog::Accepted);
    });
    Action("actEditApplicationSchemes")->trigger();
    EXPECT_EQ("ab", Stored("CAPTION", 2001));
    EXPECT_EQ("Two crop sprays", selectedScheme) << "the assessment's scheme is selected";
    EXPECT_EQ("ab", Cell(3));
}

TEST_F(MainWindowTest, AFailingRunEnablesThePanelsAgainAndReportsTheFailure) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "blank", false, true, " ");
    Open(1001);
    // The substance check of the first activation may have refused the blank GUID already.
    const std::size_t before = dialogs_.Boxes().size();
    Action("actRun")->trigger();
    ASSERT_EQ(before + 1, dialogs_.Boxes().size());
    EXPECT_EQ(TDialogIcon::Error, dialogs_.Boxes().back().Box.Icon);
    EXPECT_NE(std::string::npos, dialogs_.Texts().back().find("empty substance guid"))
        << dialogs_.Texts().back();
    for (const char* panel : {"Panel1", "GroupBox1", "gbxBrowseAssessments"})
        EXPECT_TRUE(Child<QWidget>(*window_, panel)->isEnabled()) << panel;
    EXPECT_EQ("", window_->StatusText());
}

TEST_F(MainWindowTest, WhileARunIsInProgressNothingEditsWritesFilesOrCloses) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a", false, true);
    Open(1001);
    std::set<std::string> enabled;
    bool probed = false, closed = false, menuBarEnabled = true, stopShown = false;
    {
        RecordingUiHooks hooks(*window_);
        hooks.AtFirstWait([&] {
            probed = true;
            for (QAction* action : window_->findChildren<QAction*>())
                if (action->isEnabled() && !action->objectName().isEmpty() &&
                    !OwnedBy(action, projects_.get()))
                    enabled.insert(action->objectName().toStdString());
            menuBarEnabled = window_->menuBar()->isEnabled();
            stopShown = Child<QWidget>(*window_, "btnStop")->isVisible();
            closed = window_->close();
        });
        Action("actRun")->trigger();
    }
    ASSERT_TRUE(probed);
    EXPECT_EQ(enabled, (std::set<std::string>{"actStop", "actShowAbout", "AboutParvela",
                                              "mnUserManual", "mnWebsite"}))
        << "besides Stop only About and the help entries";
    EXPECT_TRUE(menuBarEnabled);
    EXPECT_TRUE(stopShown);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ("Finished", dialogs_.Texts().back());
    EXPECT_TRUE(Action("actProjects")->isEnabled());
    EXPECT_TRUE(Action("actShowAbout")->isEnabled());
    EXPECT_FALSE(Action("actStop")->isEnabled());
    EXPECT_FALSE(Child<QWidget>(*window_, "btnStop")->isVisible());
    EXPECT_TRUE(window_->close()) << "after the run";
}

TEST_F(MainWindowTest, StopEndsTheRunningModelAndShowsStopped) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "slow", false, true);
    AddAssessment(2002, 1001, "later", true, true);
    Open(1001);
    const std::string models = environment_.File("models/");
    std::filesystem::create_directories(models);
    std::ofstream(models + "glidarmodel") << ModelScript(SlowModelBody(environment_.File("")));
    chmod((models + "glidarmodel").c_str(), 0755);
    std::filesystem::copy_file(std::string(PARVELA_BIN_DIR) + "/models/Mundremodel",
                               models + "Mundremodel");
    TModelManager::GetSingleton().SetModelsDirectory(models);
    int group = 0;
    std::string statusOnStop;
    bool stopEnabledAfterwards = true;
    {
        RecordingUiHooks hooks(*window_);
        hooks.AtEachWait([&] {
            if (group || !(group = NotedProcessGroup(environment_.File(""), 2001)))
                return;
            Child<QToolButton>(*window_, "btnStop")->click();
            statusOnStop = window_->StatusText();
            stopEnabledAfterwards = Action("actStop")->isEnabled();
        });
        Action("actRun")->trigger();
    }
    ASSERT_NE(0, group) << "the slow model ran";
    EXPECT_FALSE(GroupHasLiveProcess(group));
    EXPECT_EQ("Stopping the calculation...", statusOnStop);
    EXPECT_FALSE(stopEnabledAfterwards);
    EXPECT_EQ("Stopped", dialogs_.Texts().back());
    EXPECT_EQ("Stopped: 1 stopped, 1 not run", window_->StatusText());
    for (const char* panel : {"Panel1", "GroupBox1", "gbxBrowseAssessments"})
        EXPECT_TRUE(Child<QWidget>(*window_, panel)->isEnabled()) << panel;
    EXPECT_FALSE(Child<QWidget>(*window_, "btnStop")->isVisible());
    EXPECT_EQ("Run stopped by the user.", Stored("ERRORMESSAGE", 2001));
    EXPECT_EQ(0, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE VALIDRESULTS = TRUE "
                                    "AND ASSESSMENTID = 2001"));
    EXPECT_EQ(1, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE VALIDRESULTS = TRUE "
                                    "AND ASSESSMENTID = 2002"))
        << "not yet run: untouched";
    EXPECT_EQ("<null>", Stored("ERRORMESSAGE", 2002));
}

TEST_F(MainWindowTest, ParallelRunsAreKeptPerUserAndRunSideBySide) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a", false, true);
    AddAssessment(2002, 1001, "b", false, true);
    Open(1001);
    EXPECT_EQ(1, TModelManager::GetSingleton().Jobs());
    WhenModal([](QWidget& modal) {
        auto* dialog = qobject_cast<QInputDialog*>(&modal);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(1, dialog->intValue());
        dialog->setIntValue(2);
        dialog->accept();
    });
    Action("actParallelRuns")->trigger();
    EXPECT_EQ(2, TRegistry(HKEY_CURRENT_USER).ReadInteger(RegistryKey(), "ParallelRuns"));
    EXPECT_EQ(2, TModelManager::GetSingleton().Jobs());
    {
        RecordingUiHooks hooks(*window_);
        Action("actRun")->trigger();
        ASSERT_FALSE(hooks.Statuses().empty());
        EXPECT_EQ("Calculating assessment a: running GLIDAR; Calculating assessment b: running "
                  "GLIDAR",
                  hooks.Statuses().front());
    }
    EXPECT_EQ("Finished", dialogs_.Texts().back());
    EXPECT_EQ(2, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE VALIDRESULTS = TRUE"));
    Close();
    Open(1001);
    EXPECT_EQ(2, TModelManager::GetSingleton().Jobs()) << "read again at the start";
}

TEST_F(MainWindowTest, InputFilesAreWrittenAndShownWithoutARun) {
    AddProject(1001, "Rice");
    AddAssessment(2001, 1001, "a");
    Open(1001);
    std::string glidar, mundre;
    WhenModal([&](QWidget& modal) {
        glidar = modal.findChild<QPlainTextEdit*>("mmGlidar")->toPlainText().toStdString();
        mundre = modal.findChild<QPlainTextEdit*>("mmMundre")->toPlainText().toStdString();
        static_cast<QDialog&>(modal).accept();
    });
    window_->findChild<QAction*>("mnInputFiles")->trigger();
    const std::string run = ProjectDirectory(1001, true) + "2001";
    EXPECT_EQ(ReadWholeFile(run + "/GLIDAR/2001.gld").size() > 0, !glidar.empty());
    EXPECT_FALSE(glidar.empty());
    EXPECT_EQ(std::string::npos, glidar.find("No inputfiles found"));
    EXPECT_EQ(std::string::npos, mundre.find("No inputfiles found")) << mundre;
    EXPECT_FALSE(std::filesystem::exists(run + "/GLIDAR/2001.sum")) << "nothing ran";
    EXPECT_EQ(0, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE VALIDRESULTS = TRUE"));

    // The error files of an assessment that never ran are missing.
    WhenModal([&](QWidget& modal) {
        glidar = modal.findChild<QPlainTextEdit*>("mmGlidar")->toPlainText().toStdString();
        static_cast<QDialog&>(modal).accept();
    });
    window_->findChild<QAction*>("mnErrorFiles")->trigger();
    EXPECT_EQ("No errorfiles found. (" + run + "/GLIDAR)", glidar);
}

TEST_F(MainWindowTest, DeletingTheCurrentProjectAndCancellingShowsTheRemainingOne) {
    AddProject(1001, "Rice");
    AddProject(1002, "Wheat");
    AddAssessment(2001, 1002, "w1");
    Open(1002);
    dialogs_.QueueAnswer(TDialogAnswer::Ok);
    WhenModal([](QWidget& modal) {
        auto& projects = static_cast<TfrmProjects&>(modal);
        projects.DeleteProject();
        projects.findChild<QAction*>("actCancel")->trigger();
    });
    Action("actProjects")->trigger();
    EXPECT_EQ("Parvela_2.4.2_CN - Assessments [project: Rice]",
              window_->windowTitle().toStdString());
    EXPECT_EQ("<not available>", grid_->Cell(3, 1));
}

TEST_F(MainWindowTest, WithoutADatabaseTheWindowStaysUsableForClosing) {
    std::ofstream(environment_.SettingsFile())
        << "[Database]\nDatabaseName=Driver=NoSuchDriver;Database=/nonexistent/x.db\n"
        << "UserName=\nPassword=\n";
    window_ = std::make_unique<TfrmAssessments>(TServiceStartOptions{environment_.SettingsFile()});
    window_->show();
    window_->UpdateActions();
    EXPECT_FALSE(window_->ServicesStarted());
    ASSERT_EQ(2u, dialogs_.Boxes().size())
        << "the connection's own box, then the general report: " << dialogs_.Texts()[0];
    EXPECT_EQ(TDialogIcon::Error, dialogs_.Boxes()[1].Box.Icon);
    for (const char* name : {"actProjects", "actRun", "actEditSubstances", "actInsertAssessments"})
        EXPECT_FALSE(Action(name)->isEnabled()) << name;
    Action("actProjects")->trigger();
    EXPECT_TRUE(window_->close());
    window_.reset();
    EXPECT_FALSE(TVersionInfo::SingletonExists());
    EXPECT_FALSE(TApplicationSettings::SingletonExists());
}

// A whole assessment from an empty program: a new project, a new scheme with two
// applications, a new assessment, its mark, the model runs, the result files and the report.
class MainWindowEnginesTest : public MainWindowTest,
                              public ::testing::WithParamInterface<Engine> {};

TEST_P(MainWindowEnginesTest, DrivesAWholeAssessmentThroughTheModels) {
    ASSERT_EQ(GetParam(), environment_.Database().GetEngine());
    Open();
    dialogs_.QueueAnswer(TDialogAnswer::Yes); // save the new project before "Open"
    WhenModal([](QWidget& modal) {
        auto& projects = static_cast<TfrmProjects&>(modal);
        projects.InsertProject();
        TypeText(projects.findChild<QLineEdit*>("edtProjectsCaption"), "Paddy2024");
        projects.findChild<QAction*>("actOpen")->trigger();
    });
    Action("actProjects")->trigger();
    ASSERT_EQ("Parvela_2.4.2_CN - Assessments [project: Paddy2024]",
              window_->windowTitle().toStdString())
        << (dialogs_.Texts().empty() ? "" : dialogs_.Texts().back());

    // The scheme window: a new scheme with two applications.
    dialogs_.QueueAnswer(TDialogAnswer::Yes).QueueAnswer(TDialogAnswer::Yes);
    WhenModal([](QWidget& modal) {
        auto& schemes = static_cast<TfrmApplicationSchemes&>(modal);
        schemes.InsertScheme();
        schemes.findChild<QLineEdit*>("edtApplicationSchemesCaption")->setText("Sprays2");
        schemes.findChild<QAction*>("actSaveApplicationSchemes")->trigger();
        schemes.UpdateActions();
        const struct {
            int month;
            int day;
            const char* dosage;
        } sprays[] = {{6, 20, "0.5"}, {7, 20, "0.75"}};
        for (const auto& spray : sprays) {
            schemes.InsertApplication();
            auto* date = schemes.findChild<TDayMonthSelector*>("dmsAppDate");
            date->MonthList()->setCurrentIndex(spray.month - 1);
            date->DayList()->setCurrentIndex(spray.day - 1);
            schemes.findChild<QLineEdit*>("edtApplicationsDosage")->setText(spray.dosage);
            schemes.findChild<QLineEdit*>("edtApplicationsSprayDriftPerc")->setText("1");
            schemes.SaveApplication();
        }
        schemes.done(QDialog::Accepted);
    });
    Action("actEditApplicationSchemes")->trigger();
    ASSERT_EQ(1, environment_.Count("SELECT COUNT(*) FROM APPLICATIONSCHEMES WHERE CAPTION = "
                                    "'Sprays2'"));
    const std::string schemeID = environment_.Text(
        "SELECT APPLICATIONSCHEMEID FROM APPLICATIONSCHEMES WHERE CAPTION = 'Sprays2'");
    ASSERT_EQ(2, environment_.Count("SELECT COUNT(*) FROM APPLICATIONS WHERE APPLICATIONSCHEMEID "
                                    "= " +
                                    schemeID));

    // A new assessment on the Jinhua scenario with a plain substance and the new scheme.
    window_->UpdateActions();
    ASSERT_TRUE(Action("actInsertAssessments")->isEnabled());
    Action("actInsertAssessments")->trigger();
    TypeText(caption_, "Run1");
    auto* scenarios = Child<QComboBox>(*window_, "cbxScenarios");
    scenarios->setCurrentIndex(scenarios->findText("Jinhua"));
    auto* substances = Child<QComboBox>(*window_, "cbxAssessmentsSubstanceCode");
    const int eta = substances->findData(QString::fromStdString(EtaGuid));
    ASSERT_GE(eta, 0);
    substances->setCurrentIndex(eta);
    emit substances->activated(eta);
    auto* schemes = Child<QComboBox>(*window_, "cbxApplicationSchemes");
    schemes->setCurrentIndex(schemes->findText("Sprays2"));
    Action("actSaveAssessments")->trigger();
    ASSERT_EQ(isBrowse, window_->SelectedAssessment()->ItemState())
        << (dialogs_.Texts().empty() ? "" : dialogs_.Texts().back());
    const int id = window_->SelectedAssessment()->ASSESSMENTID();
    EXPECT_EQ("Sprays2", Cell(7));

    // Marked and calculated.
    emit grid_->cellDoubleClicked(grid_->Row() - 1, 3);
    ASSERT_EQ("Yes", Cell(1));
    const std::size_t boxesBefore = dialogs_.Boxes().size();
    RecordingUiHooks hooks(*window_);
    Action("actRun")->trigger();
    SetUiHooks(nullptr);
    ASSERT_FALSE(hooks.Statuses().empty()) << "the waits let the window process its events";
    EXPECT_EQ("Calculating assessment Run1: running GLIDAR", hooks.Statuses().front());
    EXPECT_EQ("Calculating assessment Run1: running MUNDRE", hooks.Statuses().back());
    EXPECT_FALSE(hooks.PanelsEverEnabled()) << "no second run can start meanwhile";
    ASSERT_EQ(boxesBefore + 1, dialogs_.Boxes().size());
    EXPECT_EQ("Finished", dialogs_.Texts().back()) << Stored("ERRORMESSAGE", id);
    EXPECT_EQ("Finished: 1 valid", window_->StatusText());
    EXPECT_EQ("valid", Cell(10));
    EXPECT_TRUE(Child<QWidget>(*window_, "GroupBox1")->isEnabled());
    EXPECT_EQ(1, environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE VALIDRESULTS = TRUE "
                                    "AND ASSESSMENTID = " +
                                    std::to_string(id)));
    EXPECT_TRUE(Child<QCheckBox>(*window_, "chxAssessmentHasValidResults")->isChecked());
    const std::string run =
        ProjectDirectory(window_->SelectedAssessment()->PROJECTID(), true) + std::to_string(id);
    EXPECT_TRUE(std::filesystem::exists(run + "/GLIDAR/" + std::to_string(id) + ".sum"));
    EXPECT_TRUE(std::filesystem::exists(run + "/MUNDRE/" + std::to_string(id) + ".sum"));

    // The summary files in the results window.
    std::string glidarSummary;
    WhenModal([&glidarSummary](QWidget& modal) {
        glidarSummary = modal.findChild<QPlainTextEdit*>("mmGlidar")->toPlainText().toStdString();
        static_cast<QDialog&>(modal).accept();
    });
    window_->findChild<QAction*>("mnSummaryFiles")->trigger();
    EXPECT_FALSE(glidarSummary.empty());
    EXPECT_EQ(std::string::npos, glidarSummary.find("No results found"));

    // The report, opened in the desktop's browser.
    Action("actReports")->trigger();
    const std::string report = environment_.ReportDirectory() + "Run1.htm";
    EXPECT_TRUE(std::filesystem::exists(report));
    EXPECT_NE(std::string::npos, Opened().find("Run1.htm"));
    const std::string page = ReadWholeFile(report);
    EXPECT_NE(std::string::npos, page.find("Run1"));
    for (const char* part : {"<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"chart-GLIDAR\"",
                             "id=\"chart-MUNDRE\"", "Run record"})
        EXPECT_NE(std::string::npos, page.find(part)) << part;
    EXPECT_NE(std::string::npos,
              page.find("Substance&nbsp;checksum&nbsp;stored&nbsp;on&nbsp;the&nbsp;"
                        "assessment:&nbsp;" +
                        Stored("SUBSTANCECHECKSUM", id) + "<BR>"));

    // The project summary from the View menu, opened in the browser.
    window_->UpdateActions();
    QAction* summary = window_->findChild<QAction*>("mnProjectSummary");
    ASSERT_TRUE(summary->isEnabled());
    summary->trigger();
    const std::string summaryPage =
        ReadWholeFile(environment_.ReportDirectory() + "Project summary - Paddy2024.htm");
    EXPECT_NE(std::string::npos, Opened().find("Project summary - Paddy2024.htm"));
    EXPECT_NE(std::string::npos, summaryPage.find("<TD>Run1</TD><TD>Jinhua</TD><TD>ETA</TD>"
                                                  "<TD>Sprays2</TD><TD>valid</TD>"));

    // "Export CSV..." of the project summary (View menu) and of the report (its button's
    // menu), into the files that the user chooses.
    const std::string summaryCsv = environment_.File("chosen summary.csv");
    const std::string seriesCsv = environment_.File("chosen series.csv");
    dialogs_.QueueOpenFile(summaryCsv).QueueOpenFile(seriesCsv);
    QMenu* reportMenu = Child<QToolButton>(*window_, "btnReports")->menu();
    ASSERT_NE(reportMenu, nullptr);
    ASSERT_TRUE(reportMenu->actions().contains(Action("actExportReportCsv")));
    ASSERT_TRUE(Action("actExportProjectSummaryCsv")->isEnabled());
    Action("actExportProjectSummaryCsv")->trigger();
    Action("actExportReportCsv")->trigger();
    ASSERT_EQ(dialogs_.OpenFileRequests().size(), 2u) << dialogs_.Texts().back();
    for (const TOpenFileRequest& request : dialogs_.OpenFileRequests()) {
        EXPECT_TRUE(request.Save);
        EXPECT_EQ(request.Title, "Export CSV");
    }
    EXPECT_EQ(dialogs_.OpenFileRequests()[0].FileName, "Project summary - Paddy2024.csv");
    EXPECT_EQ(dialogs_.OpenFileRequests()[1].FileName, "Run1 - daily series.csv");
    const std::vector<std::string> summaryRows = LoadTextLines(summaryCsv);
    ASSERT_EQ(summaryRows.size(), 2u);
    EXPECT_EQ(summaryRows[1].rfind(std::to_string(id) + ",Run1,Jinhua,ETA,Sprays2,valid,,", 0), 0u)
        << summaryRows[1];
    const std::vector<std::string> seriesRows = LoadTextLines(seriesCsv);
    ASSERT_EQ(seriesRows.size(), 1u + 1096u);
    EXPECT_EQ(seriesRows[0].rfind("Date,GLIDAR DepPnd (mm),", 0), 0u) << seriesRows[0];
}

PARVELA_INSTANTIATE_DATABASE_TEST(MainWindowEnginesTest);

} // namespace
} // namespace parvela::test
