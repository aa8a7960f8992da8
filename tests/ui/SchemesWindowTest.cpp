// The application schemes window on a real database: the questions about results that a
// change invalidates, their memory, the day list, deletes and copies.
#include "tests/ui/UiTestSupport.h"
#include "ui/TDACGrid.h"
#include "ui/TDayMonthSelector.h"
#include "ui/TfrmApplicationSchemes.h"

#include "tests/support/CalendarDay.h"

#include <QComboBox>
#include <QLabel>

#include <algorithm>

namespace parvela::test {
namespace {

const std::string EtaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000012}";
const std::string ClassOne = "If you changes this applicationscheme the results of this "
                             "assessment will be invalid. Continue?";

class SchemesWindowTest : public ::testing::Test {
protected:
    SchemesWindowTest() : scope_(dialogs_) {
        TestApplication();
        Sql("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION, DESCRIPTION) VALUES "
            "(1001, 'AAA scheme', 'two sprays')");
        Sql("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID, APPLICATIONTYPEID, "
            "APPLICATIONDATE, DOSAGE, APPLICATIONPARAMETER, SPRAYDRIFTPERC) VALUES "
            "(5002, 1001, 1, '2001-07-05 00:00:00', 1.25, 0.0, 2.0)");
        Sql("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID, APPLICATIONTYPEID, "
            "APPLICATIONDATE, DOSAGE, APPLICATIONPARAMETER, SPRAYDRIFTPERC) VALUES "
            "(5001, 1001, 1, '2001-01-31 00:00:00', 0.5, 0.0, 1.0)");
        Sql("INSERT INTO PROJECTS (PROJECTID, CAPTION, LOCKED) VALUES (1001, 'P', 'False')");
    }
    void Sql(const std::string& sql) { environment_.Database().RunRawSQL(sql); }
    void AddAssessment(int id, int schemeID, bool valid) {
        Sql("INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, PROJECTID, SCENARIOID, "
            "SUBSTANCEGUID, APPLICATIONSCHEMEID, SELECTEDFOREXECUTION, VALIDRESULTS) VALUES (" +
            std::to_string(id) + ", 'A" + std::to_string(id) + "', 1001, 1, '" + EtaGuid + "', " +
            std::to_string(schemeID) + ", 'False', " + (valid ? "TRUE" : "FALSE") + ")");
    }
    bool Valid(int assessmentID) {
        return environment_.Count("SELECT COUNT(*) FROM ASSESSMENTS WHERE VALIDRESULTS = TRUE "
                                  "AND ASSESSMENTID = " +
                                  std::to_string(assessmentID)) == 1;
    }
    void Show(int assessmentID, const std::string& scheme = "1001") {
        window_.SetAssessmentID(assessmentID);
        window_.SetItemIDToSelect(scheme);
        window_.show();
        schemes_ = Child<TDACGrid>(window_, "grdApplicationSchemes");
        applications_ = Child<TDACGrid>(window_, "grdApplications");
        dosage_ = Child<QLineEdit>(window_, "edtApplicationsDosage");
        window_.UpdateActions();
    }
    QAction* Action(const char* name) { return window_.findChild<QAction*>(name); }

    // First: widgets need the application.
    QApplication& application_ = TestApplication();
    ProgramEnvironment environment_;
    TScriptedDialogs dialogs_;
    TScopedDialogs scope_;
    RunningServices services_{environment_};
    TfrmApplicationSchemes window_;
    TDACGrid* schemes_ = nullptr;
    TDACGrid* applications_ = nullptr;
    QLineEdit* dosage_ = nullptr;
};

TEST_F(SchemesWindowTest, ShowsTheSchemeAndItsApplicationsByDate) {
    Show(0);
    EXPECT_EQ("Parvela_2.4.2_CN - ApplicationSchemes", window_.windowTitle().toStdString());
    EXPECT_EQ("AAA scheme", schemes_->Cell(1, schemes_->Row()));
    EXPECT_EQ(-1, schemes_->ColWidth(0));
    EXPECT_EQ(environment_.Count("SELECT COUNT(*) FROM APPLICATIONSCHEMES WHERE "
                                 "APPLICATIONSCHEMEID > 0") +
                  1,
              schemes_->RowCount())
        << "only schemes above 0";
    ASSERT_EQ(3, applications_->RowCount());
    EXPECT_EQ("Type", applications_->Cell(1, 0));
    EXPECT_EQ(-1, applications_->ColWidth(2)) << "the sort key column is hidden";
    EXPECT_EQ("31-Jan", applications_->Cell(3, 1));
    EXPECT_EQ("05-Jul", applications_->Cell(3, 2));
    EXPECT_EQ("0.5", applications_->Cell(4, 1));
    EXPECT_EQ("2", applications_->Cell(5, 2));
    EXPECT_EQ("Spray application on crop", applications_->Cell(1, 1));
    EXPECT_EQ("0.5", dosage_->text().toStdString());
    auto* label = Child<QLabel>(window_, "lblApplicationsApplicationParameter");
    EXPECT_EQ("Fraction intercepted (-)", label->text().toStdString());
    EXPECT_EQ(
        "read from table in database",
        Child<QLineEdit>(window_, "edtApplicationsApplicationParameter")->text().toStdString());
    EXPECT_TRUE(Action("actInsertApplications")->isEnabled());
    EXPECT_EQ(TAllowChanges::WithoutQuestion, window_.doAllowChanges()) << "no assessment uses it";
}

TEST_F(SchemesWindowTest, OnlyTheOpeningAssessmentAffectedAsksOnceAndInvalidatesOnOk) {
    AddAssessment(2001, 1001, true);
    Show(2001);
    EXPECT_EQ("0", window_.AllowedChangesOf(1001));
    dialogs_.QueueAnswer(TDialogAnswer::Ok);
    dosage_->setText("0.75");
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ(ClassOne, dialogs_.Texts()[0]);
    EXPECT_EQ(TDialogButtons::OkCancel, dialogs_.Boxes()[0].Box.Buttons);
    EXPECT_FALSE(Valid(2001));
    EXPECT_EQ("1", window_.AllowedChangesOf(1001));
    EXPECT_EQ("0.75", applications_->Cell(4, 1)) << "the change went through";
    dosage_->setText("0.8");
    dialogs_.QueueAnswer(TDialogAnswer::Yes);
    window_.SaveApplication();
    ASSERT_EQ(2u, dialogs_.Boxes().size()) << "no further results question in this opening";
    EXPECT_EQ("Save the item of Applications ?", dialogs_.Texts()[1]);
    EXPECT_EQ("0.8",
              environment_.Text("SELECT DOSAGE FROM APPLICATIONS WHERE APPLICATIONID = 5001"));
}

TEST_F(SchemesWindowTest, CancelTakesTheChangeBackAndKeepsTheResults) {
    AddAssessment(2001, 1001, true);
    Show(2001);
    dialogs_.QueueAnswer(TDialogAnswer::Cancel);
    dosage_->setText("9");
    EXPECT_EQ("0.5", dosage_->text().toStdString());
    EXPECT_TRUE(Valid(2001));
    EXPECT_EQ("0", window_.AllowedChangesOf(1001));
    EXPECT_EQ(isBrowse, window_.SelectedApplication()->ItemState());
    dialogs_.QueueAnswer(TDialogAnswer::Cancel);
    auto* type = Child<QComboBox>(window_, "cbxApplicationType");
    type->setCurrentIndex(-1);
    EXPECT_EQ(0, type->currentIndex()) << "the type choice is taken back";
}

TEST_F(SchemesWindowTest, OtherAssessmentsAskTheirQuestions) {
    struct Case {
        bool otherValid;
        const char* question;
    } cases[] = {
        {false, "This applicationscheme is also used in other assessments. Continue?"},
        {true, "This applicationscheme is also used in other assessments. Results of these "
               "assessments will be invalid. Continue?"},
    };
    for (const Case& c : cases) {
        Sql("DELETE FROM ASSESSMENTS");
        AddAssessment(2001, 1001, false);
        AddAssessment(2002, 1001, c.otherValid);
        TScriptedDialogs dialogs;
        TScopedDialogs scope(dialogs);
        TfrmApplicationSchemes window;
        window.SetAssessmentID(2001);
        window.SetItemIDToSelect("1001");
        window.show();
        dialogs.QueueAnswer(TDialogAnswer::Ok);
        window.InsertApplication();
        ASSERT_EQ(1u, dialogs.Boxes().size());
        EXPECT_EQ(c.question, dialogs.Texts()[0]);
        EXPECT_FALSE(Valid(2002));
        EXPECT_EQ(isInserted, window.SelectedApplication()->ItemState());
    }
}

TEST_F(SchemesWindowTest, AnUnusedSchemeAllowsChangesAndSavingAsksTheConnectorsQuestion) {
    Show(0);
    dosage_->setText("3");
    EXPECT_TRUE(dialogs_.Boxes().empty());
    dialogs_.QueueAnswer(TDialogAnswer::Yes);
    window_.SaveApplication();
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ("Save the item of Applications ?", dialogs_.Texts()[0]);
    EXPECT_EQ("3", environment_.Text("SELECT DOSAGE FROM APPLICATIONS WHERE APPLICATIONID = 5001"));
}

TEST_F(SchemesWindowTest, ChangingTheMonthFromJanuary31ToFebruaryShowsDay28) {
    Show(0);
    auto* dates = Child<TDayMonthSelector>(window_, "dmsAppDate");
    EXPECT_EQ("Jan", dates->MonthList()->currentText().toStdString());
    EXPECT_EQ("31", dates->DayList()->currentText().toStdString());
    dates->MonthList()->setCurrentIndex(1);
    EXPECT_EQ(28, dates->DayList()->count());
    EXPECT_EQ("28", dates->DayList()->currentText().toStdString());
    EXPECT_EQ("28-Feb", applications_->Cell(3, 1)) << "the change reaches the item at once";
    EXPECT_EQ(12, dates->MonthList()->count());
}

class SchemesWindowEnginesTest : public SchemesWindowTest,
                                 public ::testing::WithParamInterface<Engine> {
protected:
    TDateTime StoredDate(int applicationID) {
        return environment_.Database()
            .QueryRows("SELECT APPLICATIONDATE FROM APPLICATIONS WHERE APPLICATIONID = " +
                       std::to_string(applicationID))[0][0]
            .AsDateTime();
    }
};

// A date change asks nothing until it is saved; the connector's own save question on leaving
// the row (as on sorting or closing) then asks the results question too.
TEST_P(SchemesWindowEnginesTest, SavingOnLeavingTheRowAsksTheResultsQuestion) {
    ASSERT_EQ(GetParam(), environment_.Database().GetEngine());
    AddAssessment(2001, 1001, true);
    Show(2001);
    Child<TDayMonthSelector>(window_, "dmsAppDate")->MonthList()->setCurrentIndex(1);
    EXPECT_TRUE(dialogs_.Boxes().empty());

    dialogs_.QueueAnswer(TDialogAnswer::Yes).QueueAnswer(TDialogAnswer::Cancel);
    EXPECT_FALSE(applications_->SetRow(2));
    ASSERT_EQ(2u, dialogs_.Boxes().size());
    EXPECT_EQ(ClassOne, dialogs_.Texts()[1]);
    EXPECT_EQ(isEdited, window_.SelectedApplication()->ItemState()) << "kept, unsaved";
    EXPECT_EQ("28-Feb", applications_->Cell(3, 1));
    EXPECT_EQ(EncodeDate(2001, 1, 31), StoredDate(5001));
    EXPECT_TRUE(Valid(2001));

    dialogs_.QueueAnswer(TDialogAnswer::Yes).QueueAnswer(TDialogAnswer::Ok);
    EXPECT_TRUE(applications_->SetRow(2));
    ASSERT_EQ(4u, dialogs_.Boxes().size());
    EXPECT_EQ(ClassOne, dialogs_.Texts()[3]);
    EXPECT_EQ(EncodeDate(2001, 2, 28), StoredDate(5001));
    EXPECT_FALSE(Valid(2001));
}

// Application dates mean a day and a month: a new application and a picked date are stored
// in the year of all others and sort among them in calendar order.
TEST_P(SchemesWindowEnginesTest, NewApplicationsAndPickedDatesSortInCalendarOrder) {
    Sql("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID, APPLICATIONTYPEID, "
        "APPLICATIONDATE, DOSAGE, APPLICATIONPARAMETER, SPRAYDRIFTPERC) VALUES "
        "(5003, 1001, 1, '2001-12-31 00:00:00', 1.0, 0.0, 0.0)");
    Show(0);
    dialogs_.QueueAnswer(TDialogAnswer::Yes).QueueAnswer(TDialogAnswer::Yes);
    window_.InsertApplication();
    window_.SaveApplication();
    window_.InsertApplication();
    auto* dates = Child<TDayMonthSelector>(window_, "dmsAppDate");
    dates->MonthList()->setCurrentIndex(2);
    dates->DayList()->setCurrentIndex(14);
    window_.SaveApplication();
    ASSERT_EQ(6, applications_->RowCount());
    std::vector<std::string> shown;
    std::vector<int> calendarDays;
    for (int row = 1; row < applications_->RowCount(); ++row) {
        shown.push_back(applications_->Cell(3, row));
        calendarDays.push_back(CalendarDay(shown.back()));
    }
    EXPECT_TRUE(std::is_sorted(calendarDays.begin(), calendarDays.end()))
        << ::testing::PrintToString(shown);
    EXPECT_NE(shown.end(), std::find(shown.begin(), shown.end(), "15-Mar"));
    for (const TRow& row : environment_.Database().QueryRows(
             "SELECT APPLICATIONDATE FROM APPLICATIONS WHERE APPLICATIONSCHEMEID = 1001"))
        EXPECT_EQ(ApplicationYear, DecodeDateTime(row[0].AsDateTime()).Year);
}

PARVELA_INSTANTIATE_DATABASE_TEST(SchemesWindowEnginesTest);

TEST(DayMonthSelector, FillsDaysForTheYearAndReturnsTheDate) {
    TestApplication();
    TDayMonthSelector selector;
    int changes = 0;
    QObject::connect(&selector, &TDayMonthSelector::OnChange, [&] { ++changes; });
    EXPECT_EQ(2001, selector.Year());
    EXPECT_EQ(31, selector.DayList()->count());
    selector.SetDate(EncodeDate(2001, 4, 30));
    EXPECT_EQ(0, changes) << "only the user's choices raise OnChange";
    EXPECT_EQ(EncodeDate(2001, 4, 30), selector.Date());
    selector.SetYear(2004);
    selector.MonthList()->setCurrentIndex(1);
    EXPECT_EQ(29, selector.DayList()->count());
    EXPECT_EQ(1, changes);
    selector.DayList()->setCurrentIndex(-1);
    EXPECT_EQ(EncodeDate(1900, 1, 1), selector.Date());
    EXPECT_EQ(110, selector.width());
}

TEST_F(SchemesWindowTest, ANewUnsavedSchemeDisablesTheApplicationsNavigator) {
    Show(0);
    window_.InsertScheme();
    window_.UpdateActions();
    for (const char* name : {"actDeleteApplications", "actInsertApplications",
                             "actSaveApplications", "actCancelApplications", "actFirstApplications",
                             "actLastApplications", "actCopyApplications"})
        EXPECT_FALSE(Action(name)->isEnabled()) << name;
    EXPECT_TRUE(Action("actSaveApplicationSchemes")->isEnabled());
    EXPECT_EQ("0", window_.AllowedChangesOf(window_.SelectedScheme()->APPLICATIONSCHEMEID()));
}

TEST_F(SchemesWindowTest, DeletingAnUnusedSchemeWithApplicationsAsksOnlyTheApplicationsQuestion) {
    Show(0);
    window_.UpdateActions();
    ASSERT_TRUE(Action("actDeleteApplicationSchemes")->isEnabled());
    dialogs_.QueueAnswer(TDialogAnswer::Ok);
    window_.DeleteScheme();
    ASSERT_EQ(1u, dialogs_.Boxes().size());
    EXPECT_EQ("Deleting this item will also delete 2 item(s) from table Applications, do you "
              "want to continue ?",
              dialogs_.Texts()[0]);
    EXPECT_EQ(0, environment_.Count("SELECT COUNT(*) FROM APPLICATIONSCHEMES WHERE "
                                    "APPLICATIONSCHEMEID = 1001"));
    EXPECT_EQ(0, environment_.Count("SELECT COUNT(*) FROM APPLICATIONS WHERE "
                                    "APPLICATIONSCHEMEID = 1001"));
}

TEST_F(SchemesWindowTest, ASchemeInUseCannotBeDeleted) {
    AddAssessment(2001, 1001, false);
    Show(0);
    window_.UpdateActions();
    EXPECT_FALSE(Action("actDeleteApplicationSchemes")->isEnabled());
}

TEST_F(SchemesWindowTest, CopyingASchemeCopiesItsApplicationsAndRemembersTheCopy) {
    Show(0);
    window_.CopyScheme();
    EXPECT_TRUE(dialogs_.Boxes().empty());
    EXPECT_EQ("AAA scheme_copy", schemes_->Cell(1, schemes_->Row()));
    const int copy = window_.SelectedScheme()->APPLICATIONSCHEMEID();
    EXPECT_NE(1001, copy);
    EXPECT_EQ("0", window_.AllowedChangesOf(copy));
    EXPECT_EQ(2, environment_.Count("SELECT COUNT(*) FROM APPLICATIONS WHERE APPLICATIONSCHEMEID "
                                    "= " +
                                    std::to_string(copy)));
    EXPECT_EQ(3, applications_->RowCount());
}

TEST_F(SchemesWindowTest, CaptionRefusesSpecialCharactersTypedAndPasted) {
    Show(0);
    auto* caption = Child<QLineEdit>(window_, "edtApplicationSchemesCaption");
    HideToolTip();
    TypeText(caption, "?");
    EXPECT_EQ("AAA scheme", caption->text().toStdString())
        << "also in a caption whose blank an older database stored";
    EXPECT_EQ(RefusedCaptionCharacter, ShownToolTip());
    EXPECT_TRUE(dialogs_.Boxes().empty());
    caption->setText("x..y");
    EXPECT_EQ("", caption->text().toStdString());
    EXPECT_EQ("Caption x..y contains invalid character(s) (<space> , . / \\ ( ) : ? \" < > | *)",
              dialogs_.Texts().back());
    EXPECT_EQ("", window_.SelectedScheme()->CAPTION());
}

// The edits take what every engine stores; a longer caption that an older database holds is
// shown whole, never cut.
TEST_F(SchemesWindowTest, CaptionAndDescriptionEditsTakeAtMost255Characters) {
    const std::string old(300, 'c');
    Sql("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION, DESCRIPTION) VALUES "
        "(1002, '" +
        old + "', 'd')");
    Show(0, "1002");
    auto* caption = Child<QLineEdit>(window_, "edtApplicationSchemesCaption");
    EXPECT_EQ(old, caption->text().toStdString());
    auto* description = Child<QLineEdit>(window_, "edtApplicationSchemesDescription");
    description->setText(QString(300, 'd'));
    EXPECT_EQ(255, description->text().size());
    EXPECT_EQ(std::string(255, 'd'), window_.SelectedScheme()->DESCRIPTION());
}

TEST_F(SchemesWindowTest, OnlyApplicationTypeOneIsKnown) {
    Show(0);
    try {
        window_.UpdateApplicationParameterControls(2);
        ADD_FAILURE();
    } catch (const Exception& failure) {
        EXPECT_STREQ("internal error in TfrmApplicationSchemes.UpdateApplicationParameterControls",
                     failure.what());
    }
}

// Saving, cancelling, copying or deleting a scheme shows its applications anew: an application
// still being edited is settled first with the question of a row change; Cancel keeps it and
// stops the step, and the window stays usable either way.
TEST_F(SchemesWindowTest, SchemeStepsSettleTheEditedApplicationFirst) {
    const std::string saveApplication = "Save the item of Applications ?";
    struct Case {
        const char* action;
        bool editScheme;
        std::vector<TDialogAnswer> schemeAnswers; // the step's own questions after the first
    } cases[] = {
        {"actSaveApplicationSchemes", true, {}},
        {"actCancelApplicationSchemes", true, {TDialogAnswer::Ok}},
        {"actCopyApplicationSchemes", false, {}},
        {"actDeleteApplicationSchemes", false, {TDialogAnswer::Ok}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        Sql("UPDATE APPLICATIONS SET DOSAGE = 0.5 WHERE APPLICATIONID = 5001");
        Sql("UPDATE APPLICATIONSCHEMES SET CAPTION = 'AAA', DESCRIPTION = 'two sprays' WHERE "
            "APPLICATIONSCHEMEID = 1001");
        TScriptedDialogs dialogs;
        TScopedDialogs scope(dialogs);
        TfrmApplicationSchemes window;
        window.SetItemIDToSelect("1001");
        window.show();
        if (c.editScheme)
            Child<QLineEdit>(window, "edtApplicationSchemesDescription")->setText("changed");
        Child<QLineEdit>(window, "edtApplicationsDosage")->setText("0.75");
        window.UpdateActions();
        QAction* action = window.findChild<QAction*>(c.action);
        ASSERT_TRUE(action->isEnabled());

        dialogs.QueueAnswer(TDialogAnswer::Cancel);
        action->trigger();
        ASSERT_EQ(1u, dialogs.Boxes().size()) << ::testing::PrintToString(dialogs.Texts());
        EXPECT_EQ(saveApplication, dialogs.Texts()[0]);
        EXPECT_EQ(isEdited, window.SelectedApplication()->ItemState()) << "kept, unsaved";
        EXPECT_EQ("0.75", Child<TDACGrid>(window, "grdApplications")->Cell(4, 1));

        dialogs.QueueAnswer(TDialogAnswer::Yes);
        for (TDialogAnswer answer : c.schemeAnswers)
            dialogs.QueueAnswer(answer);
        action->trigger();
        EXPECT_EQ(2 + c.schemeAnswers.size(), dialogs.Boxes().size()) << dialogs.Texts().back();
        EXPECT_EQ(saveApplication, dialogs.Texts()[1]);
        const bool deleted = std::string(c.action) == "actDeleteApplicationSchemes";
        EXPECT_EQ(deleted ? 0 : 1,
                  environment_.Count("SELECT COUNT(*) FROM APPLICATIONS WHERE APPLICATIONID = "
                                     "5001 AND DOSAGE = 0.75"));
        TDACGrid* schemes = Child<TDACGrid>(window, "grdApplicationSchemes");
        for (int row = schemes->RowCount() - 1; row >= 1; --row)
            EXPECT_TRUE(schemes->SetRow(row)) << row;
        EXPECT_NE(nullptr, window.SelectedApplication()) << "the applications are shown";
        EXPECT_EQ(2 + c.schemeAnswers.size(), dialogs.Boxes().size()) << dialogs.Texts().back();
        Sql("DELETE FROM APPLICATIONSCHEMES WHERE APPLICATIONSCHEMEID NOT IN (1, 1001)");
    }
}

// Only the day and the month of an application count, also for dates of other years that an
// older database stored.
TEST_F(SchemesWindowTest, TheApplicationsSortByDayAndMonthWhateverTheYear) {
    Sql("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID, APPLICATIONTYPEID, "
        "APPLICATIONDATE, DOSAGE, APPLICATIONPARAMETER, SPRAYDRIFTPERC) VALUES "
        "(5003, 1001, 1, '1999-03-01 00:00:00', 1.0, 0.0, 0.0)");
    Show(0);
    ASSERT_EQ(4, applications_->RowCount());
    EXPECT_EQ((std::vector<std::string>{applications_->Cell(3, 1), applications_->Cell(3, 2),
                                        applications_->Cell(3, 3)}),
              (std::vector<std::string>{"31-Jan", "01-Mar", "05-Jul"}));
}

TEST_F(SchemesWindowTest, ClosingAsksForTheUnsavedApplication) {
    Show(0);
    dosage_->setText("4");
    dialogs_.QueueAnswer(TDialogAnswer::Cancel);
    window_.done(QDialog::Accepted);
    EXPECT_TRUE(window_.isVisible());
    dialogs_.QueueAnswer(TDialogAnswer::No);
    window_.done(QDialog::Accepted);
    EXPECT_FALSE(window_.isVisible());
    EXPECT_EQ("Save the item of Applications ?", dialogs_.Texts().back());
}

// Dosage and spray drift must be given and fit their columns of the model input files: any
// other text turns the edit red and leaves only Cancel.
TEST_F(SchemesWindowTest, DosageAndSprayDriftEditsTakeOnlyNumbersWithinTheirRanges) {
    Show(0);
    auto* drift = Child<QLineEdit>(window_, "edtApplicationsSprayDriftPerc");
    struct Case {
        QLineEdit* edit;
        const char* text;
        bool valid;
    } cases[] = {
        {dosage_, "0", true},     {dosage_, "9999", true},  {dosage_, "", false},
        {dosage_, " ", false},    {dosage_, "-", false},    {dosage_, "10000", false},
        {dosage_, "1e15", false}, {dosage_, "-0.5", false}, {dosage_, "1e", false},
        {drift, "100", true},     {drift, "0.5", true},     {drift, "", false},
        {drift, "100.5", false},  {drift, "-1", false},     {drift, "<no value given>", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        c.edit->setText(c.text);
        EXPECT_EQ(c.edit->palette().color(QPalette::Base) == QColor(Qt::red), !c.valid);
        EXPECT_EQ(Action("actSaveApplications")->isEnabled(), c.valid);
        EXPECT_TRUE(Action("actCancelApplications")->isEnabled());
        c.edit->setText("1");
    }
}

} // namespace
} // namespace parvela::test
