#include "program/SchemeUsage.h"

#include "UnitsFromGenerator/AssessmentWalk.h"
#include "UnitsFromGenerator/TdciAssessments.h"
#include "program/TDatabaseConnection.h"

namespace parvela {

namespace {

TDACDatabase& ProgramDatabase() {
    return TDatabaseConnection::GetSingleton().Database();
}

} // namespace

bool IsApplicationSchemeUsed(TDACDatabase& database, std::int32_t schemeID) {
    return AnyAssessmentUsesScheme(database, schemeID);
}

bool IsApplicationSchemeUsed(std::int32_t schemeID) {
    return IsApplicationSchemeUsed(ProgramDatabase(), schemeID);
}

int ClassifySchemeUsage(TDACDatabase& database, std::int32_t schemeID, std::int32_t assessmentID) {
    if (!IsApplicationSchemeUsed(database, schemeID))
        return 0;
    bool givenHasValidResults = false; // A
    bool usedByOther = false;          // B
    bool otherHasValidResults = false; // C
    ForEachAssessmentOfAllProjects(database, [&](TdciAssessments& assessment) {
        if (assessment.APPLICATIONSCHEMEID() != schemeID)
            return true;
        if (assessment.ASSESSMENTID() == assessmentID) {
            givenHasValidResults = givenHasValidResults || assessment.VALIDRESULTS();
        } else {
            usedByOther = true;
            otherHasValidResults = otherHasValidResults || assessment.VALIDRESULTS();
        }
        return true;
    });
    if (otherHasValidResults || (givenHasValidResults && usedByOther))
        return 3;
    if (givenHasValidResults)
        return 1;
    if (usedByOther)
        return 2;
    return 0;
}

int ClassifySchemeUsage(std::int32_t schemeID, std::int32_t assessmentID) {
    return ClassifySchemeUsage(ProgramDatabase(), schemeID, assessmentID);
}

void InvalidateSchemeResults(TDACDatabase& database, std::int32_t schemeID) {
    ForEachAssessmentOfAllProjects(database, [&](TdciAssessments& assessment) {
        if (assessment.APPLICATIONSCHEMEID() == schemeID && assessment.VALIDRESULTS()) {
            assessment.SetVALIDRESULTS(false);
            assessment.Save();
        }
        return true;
    });
}

void InvalidateSchemeResults(std::int32_t schemeID) {
    InvalidateSchemeResults(ProgramDatabase(), schemeID);
}

} // namespace parvela
