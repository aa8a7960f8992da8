#pragma once
// The whole-database operations as the program first did them: a walk that loads every
// project and then each project's assessments as items, one project at a time, with the
// plug-in asked once per assessment. They are the reference that the program's indexed
// queries must agree with, result for result, in the same order.

#include <cstdint>

namespace parvela {
class TDACDatabase;
}

namespace parvela::test::walk {

bool IsApplicationSchemeUsed(TDACDatabase& database, std::int32_t schemeID);
int ClassifySchemeUsage(TDACDatabase& database, std::int32_t schemeID, std::int32_t assessmentID);
void InvalidateSchemeResults(TDACDatabase& database, std::int32_t schemeID);
void CheckSubstances(TDACDatabase& database);

} // namespace parvela::test::walk
