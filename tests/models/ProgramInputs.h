// The model input files as the program writes them: its own GLIDAR and MUNDRE writers on a
// fresh SQLite database and a fresh substance database of the real plug-in, so that the
// model tests read exactly what the program writes.
#pragma once

#include "tests/models/ModelTestSupport.h"

#include <memory>
#include <string>

namespace parvela::models::test {

class ProgramInputs {
public:
    // Starts the services the writers need; they run for as long as the object lives.
    ProgramInputs();
    ~ProgramInputs();
    ProgramInputs(const ProgramInputs&) = delete;
    ProgramInputs& operator=(const ProgramInputs&) = delete;

    // The delivered scenarios and their example scheme.
    void LoadDeliveredScenarios();
    // The assessment's scenario with the templates, and its scheme with the applications on
    // their day and month; each crop spray gets an interception period of its own day with
    // its fraction.
    void AddScenarioAndScheme(const Assessment& assessment, const Lines& glidarTemplate,
                              const Lines& mundreTemplate);
    // The assessment's substance and metabolites are the plug-in's only substances.
    void SetSubstance(const Assessment& assessment);
    // The input file that the driver of the model ("GLIDAR" or "MUNDRE") writes for a new
    // assessment of the substance with that scenario and scheme.
    Lines Write(const std::string& model, int scenarioId, int schemeId);

    // The scenario and scheme of AddScenarioAndScheme.
    static constexpr int ScenarioId = 901;
    static constexpr int SchemeId = 901;
    // The example scheme of the delivered scenarios.
    static constexpr int DeliveredSchemeId = 1;

private:
    struct Services;
    std::unique_ptr<Services> services_;
    int lastAssessmentId_ = 0;
};

// The input that the program's GLIDAR or MUNDRE writer makes of the template for the
// assessment, each on services of its own.
Lines ExpandGlidarTemplate(const Lines& templateLines, const Assessment& assessment);
Lines ExpandMundreTemplate(const Lines& templateLines, const Assessment& assessment);

} // namespace parvela::models::test
