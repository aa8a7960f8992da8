#pragma once
// The driver of MUNDRE, the surface-water model of the pond: its input file from the
// scenario's template, with the parent substance only, the loadings of every simulated year
// and parameter lines that the template's substance block may override; it takes over the
// ".e2m" file that GLIDAR left in the same run directory.

#include "program/runs/TZentorModel.h"

namespace parvela {

class TdciScenarios;

class TZentorModelMundre : public TZentorModel {
public:
    explicit TZentorModelMundre(std::string modelDirectory);

    void SetModelNames() override;
    // False only when the scenario cannot be loaded.
    bool WriteInputFiles() override;
    void ReadSummary() override;
    void ShowResults(TdciAssessments* assessment, TTextLines& lines) override;
    // The summary, then the error file, then whether "mundre.ok" exists.
    bool CheckRun();

    // The first substance template line that holds `keyword` + "_", with its first "@"
    // replaced by the code, added to the output; false when there is none.
    static bool FindOverrideLine(const std::string& keyword, const std::string& code,
                                 const TTextLines& templateLines, TTextLines& output);

    // The model whose model directory holds the ".e2m" file.
    const std::string& UpstreamModelName() const { return upstreamModelName_; }
    void SetUpstreamModelName(const std::string& name) { upstreamModelName_ = name; }

    // The path of the ".e2m" file in the upstream model's directory.
    std::string HandOverSourceFile() const;
    // The copy of the hand-over file.
    TTextLines RunScriptInputFiles() const override;

protected:
    // False without a process when GLIDAR's hand-over file is missing.
    bool PrepareRun() override;
    bool FinishRun(int exitCode) override;

private:
    void WriteTemplateLines(const TdciScenarios& scenario, const TTextLines& templateLines,
                            TTextLines& output);
    // `rowFormatLine` is none when the template ends before it.
    void WriteLoadingsTable(const TdciScenarios& scenario, const std::string* rowFormatLine,
                            TTextLines& output);
    void WriteSubstanceSection(const TTextLines& substanceTemplateLines, TTextLines& output);

    std::string upstreamModelName_;
};

} // namespace parvela
