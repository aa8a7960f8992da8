#include "UnitsFromGenerator/AssessmentWalk.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"

namespace parvela {

void ForEachAssessmentOfAllProjects(TDACDatabase& database,
                                    const std::function<bool(TdciAssessments&)>& visit) {
    TdcProjects projects(database);
    projects.Open();
    bool goOn = true;
    for (; goOn && !projects.Eof(); projects.Next()) {
        TdcAssessments& assessments = projects.Item().Assessments();
        assessments.Open();
        for (; goOn && !assessments.Eof(); assessments.Next())
            goOn = visit(assessments.Item());
        assessments.Close();
    }
    projects.Close();
}

bool AnyAssessmentUsesScheme(TDACDatabase& database, std::int32_t schemeID) {
    bool found = false;
    ForEachAssessmentOfAllProjects(database, [&](TdciAssessments& assessment) {
        found = assessment.APPLICATIONSCHEMEID() == schemeID;
        return !found;
    });
    return found;
}

} // namespace parvela
