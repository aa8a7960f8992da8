#include "UnitsFromGenerator/AssessmentQueries.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/Format.h"
#include "framework/TDACDatabase.h"

#include <algorithm>
#include <memory>

namespace parvela {

namespace {

// Keys per statement when assessments are loaded by key: the statement stays short.
constexpr std::size_t KeysPerBatch = 500;

} // namespace

std::string AssessmentsOfProjects() {
    return "ASSESSMENTS A INNER JOIN PROJECTS P ON P.PROJECTID = A.PROJECTID";
}

std::string WalkOrder(const TDACDatabase& database) {
    const std::string column = database.StorageOrderColumn();
    return "P." + column + ", A." + column;
}

bool AnyAssessmentUsesScheme(TDACDatabase& database, std::int32_t schemeID) {
    const std::unique_ptr<TDACQuery> query =
        database.OpenQuery(Format("SELECT A.ASSESSMENTID FROM %s WHERE A.APPLICATIONSCHEMEID = %d "
                                  "LIMIT 1",
                                  AssessmentsOfProjects(), schemeID));
    return !query->Eof();
}

void ForEachAssessmentByKey(TDACDatabase& database, const std::vector<std::int32_t>& keys,
                            const std::function<void(TdciAssessments&)>& visit) {
    TdcAssessments assessments(database);
    for (std::size_t first = 0; first < keys.size(); first += KeysPerBatch) {
        const std::size_t end = std::min(keys.size(), first + KeysPerBatch);
        std::string keyList;
        for (std::size_t i = first; i < end; ++i)
            keyList += (i == first ? "" : ",") + std::to_string(keys[i]);
        assessments.SetFilter("ASSESSMENTID IN (%s)", {keyList});
        assessments.Open();
        for (std::size_t i = first; i < end; ++i)
            if (assessments.HasItems() &&
                assessments.LocateByItemID(std::to_string(keys[i]), false))
                visit(assessments.Item());
        assessments.Close();
    }
}

} // namespace parvela
