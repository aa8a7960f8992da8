// The run record of real runs on each engine, with the real plug-in and the real model
// programs: what it notes of the programs, and each file of the models' directories as input
// or output, checked against the files with the system's sha256sum.

#include "tests/modelruns/ModelRunTest.h"

#include "platform/Exceptions.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/runs/RunRecord.h"
#include "program/runs/TModelManager.h"

#include <gmock/gmock.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

namespace parvela::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;

constexpr int ProjectID = 90;

class RunRecordTest : public ModelRunTest {
protected:
    void SetUp() override {
        ModelRunTest::SetUp();
        LoadDeliveredScenarios();
        AddProject(ProjectID, "Recorded");
    }

    std::string RunDirectory(int id) {
        return TModelManager::GetSingleton().ProjectDirectory(ProjectID, true) + std::to_string(id);
    }

    // Each file of the model directory named as the record names it.
    static std::set<std::string> FilesOf(const std::string& runDirectory,
                                         const std::string& model) {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(runDirectory + "/" + model))
            names.insert(model + "/" + entry.path().filename().string());
        return names;
    }

    static std::set<std::string> NamesOf(const std::vector<TRecordedFile>& files) {
        std::set<std::string> names;
        for (const TRecordedFile& file : files)
            names.insert(file.Name);
        return names;
    }
};

TEST_P(RunRecordTest, ARunRecordsItsProgramsAndEachFileItReadOrWrote) {
    AddAssessment(1, ProjectID, JinhuaScenarioID, AlphaGuid, DeliveredSchemeID, true, "Alpha");
    ASSERT_TRUE(TModelManager::GetSingleton().RunProject(&Project(ProjectID)))
        << StoredResults(1).ErrorMessage;
    const std::optional<TRunRecord> record = ReadRunRecord(RunDirectory(1));
    ASSERT_TRUE(record);

    TDAXOInterface& plugin = TDAXOInterface::GetSingleton();
    EXPECT_EQ(record->Plugin.Sha256, Sha256Sum(plugin.LibraryPath()));
    EXPECT_EQ(record->Plugin.Version, TDAXOInterface::Version());
    EXPECT_EQ(record->SubstanceGuid, AlphaGuid);
    EXPECT_EQ(record->SubstanceChecksum, plugin.GetSubstanceChecksumByGUID(AlphaGuid));
    EXPECT_EQ(record->ScenarioCaption, "Jinhua");
    EXPECT_EQ(record->FirstYear, 2000);
    EXPECT_EQ(record->LastYear, 2002);
    EXPECT_LE(record->Start, record->End);

    ASSERT_EQ(record->Models.size(), 2u);
    std::set<std::string> listed;
    for (const TRecordedModel& model : record->Models) {
        EXPECT_EQ(model.ExitCode, 0) << model.Name;
        EXPECT_EQ(model.Program.Sha256, Sha256Sum(model.Program.Path)) << model.Name;
        EXPECT_THAT(model.Program.Version, HasSubstr(model.Name + " "));
        EXPECT_THAT(model.Program.Version, HasSubstr("stand-in")) << "as the program says";
        std::set<std::string> recorded = NamesOf(model.Inputs);
        recorded.merge(NamesOf(model.Outputs));
        EXPECT_EQ(recorded, FilesOf(RunDirectory(1), model.Name)) << "every file of the directory";
        for (const auto* files : {&model.Inputs, &model.Outputs})
            for (const TRecordedFile& file : *files) {
                const std::string path = RunDirectory(1) + "/" + file.Name;
                EXPECT_EQ(file.Size, fs::file_size(path)) << file.Name;
                EXPECT_EQ(file.Sha256, Sha256Sum(path)) << file.Name;
                EXPECT_TRUE(listed.insert(file.Name).second) << file.Name << " listed twice";
            }
    }
    // A file that a model wrote is an output; MUNDRE's copy of the hand-over file, which its
    // run script puts in place, is an input. The scenario cache was empty: GLIDAR wrote its
    // scenario files.
    const TRecordedModel& glidar = record->Models[0];
    const TRecordedModel& mundre = record->Models[1];
    EXPECT_EQ(NamesOf(glidar.Inputs),
              (std::set<std::string>{"GLIDAR/1.gld", "GLIDAR/Jinhua.met", "GLIDAR/Jinhua.pnd",
                                     "GLIDAR/run_Alpha.sh"}));
    EXPECT_THAT(NamesOf(glidar.Outputs),
                IsSupersetOf({"GLIDAR/1.sum", "GLIDAR/glidar.ok", "GLIDAR/1.e2m", "GLIDAR/1.out",
                              "GLIDAR/Jinhua.bfo", "GLIDAR/Jinhua.swe", "GLIDAR/run_Alpha.log"}));
    EXPECT_EQ(NamesOf(mundre.Inputs),
              (std::set<std::string>{"MUNDRE/1.e2m", "MUNDRE/1.mnd", "MUNDRE/Jinhua.met",
                                     "MUNDRE/Jinhua.rai", "MUNDRE/run_Alpha.sh"}));
    EXPECT_THAT(NamesOf(mundre.Outputs),
                IsSupersetOf({"MUNDRE/1.sum", "MUNDRE/mundre.ok", "MUNDRE/1.out"}));

    // The next run takes the scenario files from the cache: inputs now.
    ASSERT_TRUE(TModelManager::GetSingleton().RunProject(&Project(ProjectID)));
    const std::optional<TRunRecord> again = ReadRunRecord(RunDirectory(1));
    ASSERT_TRUE(again);
    EXPECT_THAT(NamesOf(again->Models.at(0).Inputs),
                IsSupersetOf({"GLIDAR/Jinhua.bfo", "GLIDAR/Jinhua.swe"}));
}

TEST_P(RunRecordTest, ARecordThatCannotBeWrittenLeavesTheResultsNotValid) {
    AddAssessment(2, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true, "Blocked");
    // GLIDAR runs, then puts a directory where the record belongs.
    const std::string models = Environment().Work().File("models");
    PlaceModelPrograms(models,
                       "'" + std::string(PARVELA_BIN_DIR) +
                           "/models/glidarmodel' \"$@\" && mkdir -p ../run-record.json/taken",
                       "");
    TModelManager::GetSingleton().SetModelsDirectory(models);
    EXPECT_THROW(TModelManager::GetSingleton().RunProject(&Project(ProjectID)), EOSError);
    const TStoredResults stored = StoredResults(2);
    EXPECT_FALSE(stored.ValidResults);
    EXPECT_THAT(stored.ErrorMessage, HasSubstr("run-record.json"));
}

TEST_P(RunRecordTest, AModelProgramThatDoesNotAnswerItsVersionIsEndedAndTheRunGoesOn) {
    AddAssessment(3, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true, "Silent");
    const std::string models = Environment().Work().File("silent");
    PlaceModelPrograms(models, "", "");
    const std::string asked = Environment().Work().File("asked");
    std::ofstream(models + "/glidarmodel")
        << "#!/bin/sh\nif [ \"$1\" = --version ]; then echo $$ > '" << asked
        << "'; exec sleep 60; fi\nexec '" << PARVELA_BIN_DIR << "/models/glidarmodel' \"$@\"\n";
    TModelManager::GetSingleton().SetModelsDirectory(models);
    ASSERT_TRUE(TModelManager::GetSingleton().RunProject(&Project(ProjectID)))
        << StoredResults(3).ErrorMessage;
    const std::optional<TRunRecord> record = ReadRunRecord(RunDirectory(3));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Models.at(0).Program.Version, "");
    EXPECT_THAT(record->Models.at(1).Program.Version, HasSubstr("MUNDRE"));
    const int process = std::atoi(ReadWholeFile(asked).c_str());
    ASSERT_GT(process, 1);
    EXPECT_NE(::kill(process, 0), 0) << "ended";
}

PARVELA_INSTANTIATE_DATABASE_TEST(RunRecordTest);

} // namespace
} // namespace parvela::test
