// Writes a PNG of every window, filled from a real database with values of every kind the
// grids show (six-digit keys, dates with time, captions of about 20 characters), into the
// build tree (screenshots/) so that a reviewer can look at them at the platform's font.
#include "UnitsFromGenerator/TdcAssessments.h"
#include "platform/qt/QtDialogs.h"
#include "program/system/RegistryValues.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/TfrmAbout.h"
#include "ui/TfrmApplicationSchemes.h"
#include "ui/TfrmAssessments.h"
#include "ui/TfrmInceptions.h"
#include "ui/TfrmProjects.h"
#include "ui/TfrmResults.h"
#include "ui/TfrmScenarios.h"

#include <QImage>
#include <QPixmap>

#include <set>

namespace parvela::test {
namespace {

const std::string ScreenshotDirectory = PARVELA_SCREENSHOT_DIR;

// Saves the window's picture and checks that it shows something.
void Shoot(QWidget& window, const std::string& name) {
    window.show();
    QApplication::processEvents();
    const QPixmap picture = window.grab();
    ASSERT_FALSE(picture.isNull()) << name;
    EXPECT_GT(picture.width(), 100) << name;
    const std::string path = ScreenshotDirectory + "/" + name + ".png";
    ASSERT_TRUE(picture.save(QString::fromStdString(path), "PNG")) << path;
    const QImage saved(QString::fromStdString(path));
    EXPECT_EQ(picture.size(), saved.size()) << path;
    // A picture of one or two colours would mean that no controls were drawn.
    const QImage image = picture.toImage();
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 4u) << name;
}

TEST(Screenshots, OfEveryWindow) {
    TestApplication();
    std::filesystem::create_directories(ScreenshotDirectory);
    ProgramEnvironment environment;
    TScriptedDialogs dialogs;
    TScopedDialogs scope(dialogs);
    environment.Database().RunRawSQL(
        "INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, CREATIONDATE, MODIFICATIONDATE, "
        "LOCKED) VALUES (100001, 'Registration_2024_01', 'Registration dossier, paddy scenarios', "
        "'2024-03-01 09:15:00', '2024-03-18 16:42:07', 'False')");
    // One assessment of each verdict: none, valid (with the checksum of its substance, which
    // the check at the start keeps), not valid.
    const std::string guid = "{5EED0DA0-7A11-4C0E-9D00-000000000012}";
    TDAXOInterface::CreateSingleton(".");
    const std::string checksum = TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(guid);
    TDAXOInterface::DestroySingleton();
    for (int id : {204711, 204712, 204713})
        environment.Database().RunRawSQL(
            "INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, SCENARIOID, "
            "SUBSTANCEGUID, APPLICATIONSCHEMEID, SELECTEDFOREXECUTION, VALIDRESULTS, "
            "SUBSTANCECHECKSUM, ERRORMESSAGE, CREATIONDATE, MODIFICATIONDATE) VALUES (" +
            std::to_string(id) + ", 'ETA_Jinhua_sprays_" + std::to_string(id % 100) +
            "', 'two sprays on the crop at tillering and stem elongation', 100001, 1, '" + guid +
            "', 1, 'True', " + (id == 204712 ? "TRUE" : "FALSE") + ", '" + checksum + "', " +
            (id == 204713 ? "'running model GLIDAR failed: '" : "NULL") +
            ", '2024-03-01 09:20:00', '2024-03-18 16:42:07')");
    WriteRegistryInteger(HKEY_LOCAL_MACHINE, RegistryKey(), "LastOpenedProject", 100001);

    TfrmAssessments main(TServiceStartOptions{environment.SettingsFile()});
    TfrmProjects projects(&main);
    main.SetProjectsWindow(&projects);
    ASSERT_TRUE(main.ServicesStarted());
    Shoot(main, "frmAssessments");
    Shoot(projects, "frmProjects");
    projects.hide();
    {
        TfrmApplicationSchemes schemes;
        schemes.SetItemIDToSelect("1");
        Shoot(schemes, "frmApplicationSchemes");
    }
    {
        TfrmScenarios scenarios;
        Shoot(scenarios, "frmScenarios");
    }
    {
        TfrmInceptions interceptions;
        Shoot(interceptions, "frmInceptions");
    }
    {
        ASSERT_NE(nullptr, main.SelectedAssessment());
        TModelManager::GetSingleton().SetContinueOnError(true);
        ASSERT_TRUE(TModelManager::GetSingleton().WriteInputFilesOnly(main.SelectedAssessment()));
        TfrmResults results(main.SelectedAssessment(), 0);
        Shoot(results, "frmResults");
    }
    {
        TfrmAbout about;
        Shoot(about, "frmAbout");
    }
    Shoot(
        *BuildMessageBox(TMessageBox{TDialogIcon::Information, TDialogButtons::Ok, "", "Finished"}),
        "boxFinished");
    EXPECT_TRUE(dialogs.Boxes().empty()) << dialogs.Texts().front();
}

} // namespace
} // namespace parvela::test
