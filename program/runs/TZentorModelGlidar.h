#pragma once
// The driver of GLIDAR, the paddy-field model: its input file from the scenario's template,
// the scheme's applications, the interception table and the substance data of the plug-in,
// its companion files, and the per-scenario cache of the two files GLIDAR produces.

#include "framework/DateTime.h"
#include "program/runs/TZentorModel.h"

#include <set>
#include <string>

namespace parvela {

class TDAXOAttributeList;
class TdciScenarios;

class TZentorModelGlidar : public TZentorModel {
public:
    explicit TZentorModelGlidar(std::string modelDirectory);

    void SetModelNames() override;
    // False only when the scenario cannot be loaded.
    bool WriteInputFiles() override;
    void ReadSummary() override;
    void ShowResults(TdciAssessments* assessment, TTextLines& lines) override;
    // The error file, then the summary, then whether "glidar.ok" exists.
    bool CheckRun();

    // The fraction of the first interception period of the scenario that holds the date,
    // the periods taken within the date's own year; 0 when none does.
    double InterceptionFraction(int scenarioID, TDateTime date);

    // The scenario cache keeps GLIDAR's two scenario files (".bfo", ".swe") for every
    // scenario, under names that carry a key of what the scenario in the database holds now,
    // each with the SHA-256 of its content beside it: a changed scenario never meets the files
    // of its earlier self, and a torn or altered file is never used.
    //
    // Copies the scenario file with the extension from the cache into the model directory
    // unless it is there or the cached file is not intact; true when the model directory
    // holds it afterwards.
    bool PreloadScenarioFile(const std::string& extension);
    // Puts the model directory's scenario file with the extension into the cache unless the
    // cache holds it intact. The file appears whole or not at all, also when several runs (of
    // this program or of others on the same data path) fill it at once.
    void SaveScenarioFile(const std::string& extension);
    // The cache file of the last written scenario with the extension.
    std::string CacheFile(const std::string& extension) const;

    const std::string& MeteoStation() const { return meteoStation_; }
    // The directory shared by all projects that keeps one ".bfo" and ".swe" per scenario.
    const std::string& ScenarioCacheDirectory() const { return scenarioCacheDirectory_; }
    void SetScenarioCacheDirectory(const std::string& directory) {
        scenarioCacheDirectory_ = directory;
    }

protected:
    bool PrepareRun() override;
    // With exit code 0: the results read back, then the scenario files kept in the cache.
    bool FinishRun(int exitCode) override;

private:
    void WriteTemplateLines(const TdciScenarios& scenario, const TTextLines& templateLines,
                            TTextLines& output);
    void WriteApplicationsTable(TTextLines& output);
    std::string ApplicationRow(TDateTime date, const std::string& code, double dosage,
                               double parameter);
    void WriteSubstanceSection(const std::string* lineA, const std::string* lineB,
                               TTextLines& output);
    static void WriteTransformationBlock(const TDAXOAttributeList& compound, TTextLines& output);
    static void WriteSorptionAndCropBlock(const TDAXOAttributeList& compound, TTextLines& output);
    // One row per value, numbered from 1, with the value once per compound.
    static void WriteHorizonTable(const std::string& header, const TDAXOGUIDList& compounds,
                                  const std::vector<std::string>& rowValues, TTextLines& output);
    std::string ScenarioCacheStem(const TdciScenarios& scenario) const;
    // The file exists with its digest beside it, and the digest is the file's.
    static bool CacheFileIntact(const std::string& path);

    std::string meteoStation_;
    std::string scenarioCacheDirectory_;
    std::string scenarioCacheStem_;
    // The extensions of the scenario files the last input took from the cache.
    std::set<std::string> takenFromCache_;
};

} // namespace parvela
