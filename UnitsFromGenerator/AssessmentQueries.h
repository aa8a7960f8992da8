#pragma once
// The assessments of all projects as the whole-database checks need them, asked of the
// database in single statements: only assessments whose project exists count, and rows come
// in the order in which a walk over the projects and then each project's assessments, both in
// the database's own order, meets them.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace parvela {

class TDACDatabase;
class TdciAssessments;

// The FROM text of the assessments that belong to a project: ASSESSMENTS as A, PROJECTS as P.
std::string AssessmentsOfProjects();
// The ORDER BY text of the walk's order over A and P.
std::string WalkOrder(const TDACDatabase& database);

// True when an assessment of any project uses the scheme.
bool AnyAssessmentUsesScheme(TDACDatabase& database, std::int32_t schemeID);

// Visits the assessments with these keys as items of one list, in the order of the keys,
// loading them a batch at a time; a key without a row is passed over.
void ForEachAssessmentByKey(TDACDatabase& database, const std::vector<std::int32_t>& keys,
                            const std::function<void(TdciAssessments&)>& visit);

} // namespace parvela
