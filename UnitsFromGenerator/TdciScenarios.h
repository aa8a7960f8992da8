#pragma once
// A paddy scenario: its model templates and weather, pond and rain texts.

#include "UnitsFromGenerator/TrsScenarios.h"

namespace parvela {

class TdcScenarios;
class TdcAssessments;

class TdciScenarios : public TDACDatabaseClassItem {
public:
    PARVELA_ITEM_PATTERN(Scenarios)
    ~TdciScenarios() override;

    // The assessments of the scenario (SCENARIOID = the key).
    TdcAssessments& Assessments();
    // A new, unsaved copy in the same list with all ten values.
    TdciScenarios& CopyItem() const;

private:
    PARVELA_ITEM_STORAGE(Scenarios)
    std::unique_ptr<TdcAssessments> assessments_;
};

} // namespace parvela
