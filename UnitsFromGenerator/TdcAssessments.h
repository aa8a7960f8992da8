#pragma once
// The list of assessments, with the defaults of the foreign keys of new items.

#include "UnitsFromGenerator/ListDefault.h"
#include "UnitsFromGenerator/TdciAssessments.h"

namespace parvela {

class TdcAssessments : public TDACDatabaseClass {
public:
    PARVELA_LIST_PATTERN(Assessments)

    std::int32_t DefaultProjectID() const { return defaultProjectID_.Get(); }
    void SetDefaultProjectID(std::int32_t value) { defaultProjectID_.Set(value); }
    std::int32_t DefaultScenarioID() const { return defaultScenarioID_.Get(); }
    void SetDefaultScenarioID(std::int32_t value) { defaultScenarioID_.Set(value); }
    std::int32_t DefaultApplicationSchemeID() const { return defaultApplicationSchemeID_.Get(); }
    void SetDefaultApplicationSchemeID(std::int32_t value) {
        defaultApplicationSchemeID_.Set(value);
    }

    // The foreign keys of a new item: the defaults where set.
    std::int32_t ProjectIDForNewItem() const { return defaultProjectID_.ValueOr(MissingInteger); }
    std::int32_t ScenarioIDForNewItem() const { return defaultScenarioID_.ValueOr(0); }
    std::int32_t ApplicationSchemeIDForNewItem() const {
        return defaultApplicationSchemeID_.ValueOr(1);
    }

private:
    TListDefault defaultProjectID_;
    TListDefault defaultScenarioID_;
    TListDefault defaultApplicationSchemeID_;
};

} // namespace parvela
