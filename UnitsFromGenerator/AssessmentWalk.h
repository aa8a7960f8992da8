#pragma once
// Walks over every assessment of the database, one project at a time, as the whole-database
// checks need it. Assessments that belong to no project are not met.

#include <cstdint>
#include <functional>

namespace parvela {

class TDACDatabase;
class TdciAssessments;

// The visitor returns false to stop the walk.
void ForEachAssessmentOfAllProjects(TDACDatabase& database,
                                    const std::function<bool(TdciAssessments&)>& visit);

// True when an assessment of any project uses the scheme.
bool AnyAssessmentUsesScheme(TDACDatabase& database, std::int32_t schemeID);

} // namespace parvela
