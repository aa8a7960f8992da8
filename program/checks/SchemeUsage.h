#pragma once
// Whole-database operations on the assessments: the use of an application scheme, and the
// check of the substances against the plug-in. They count the assessments of every project,
// as a walk over all projects and their assessments would meet them, but ask the database
// with a fixed number of statements whatever its size; changed assessments are saved one
// item at a time. Nothing is kept between calls. The overloads without a database work on the
// program's database connection.

#include <cstdint>

namespace parvela {

class TDACDatabase;

// True when any assessment of any project uses the scheme.
bool IsApplicationSchemeUsed(TDACDatabase& database, std::int32_t schemeID);
bool IsApplicationSchemeUsed(std::int32_t schemeID);

// What a change of the scheme on behalf of the given assessment affects. An assessment that a
// run holds now counts as one with valid results: the change ends that run not valid. The
// numbers are those the schemes window's questions were written for.
enum class TSchemeUsage {
    // Nobody's results, and no other assessment shares the scheme.
    Free = 0,
    // Only the given assessment's valid results.
    OwnResults = 1,
    // Other assessments share the scheme; no valid results are affected.
    Shared = 2,
    // Other assessments share the scheme, and valid results will be lost.
    SharedWithResults = 3,
};
TSchemeUsage ClassifySchemeUsage(TDACDatabase& database, std::int32_t schemeID,
                                 std::int32_t assessmentID);
TSchemeUsage ClassifySchemeUsage(std::int32_t schemeID, std::int32_t assessmentID);
// Whether the change ends valid results (OwnResults or SharedWithResults).
bool ChangeLosesResults(TSchemeUsage usage);

// Clears and saves VALIDRESULTS of every assessment that uses the scheme, in the walk's
// order. Without a lock override: an assessment of a locked project fails with the lock
// message, and the ones invalidated before stay saved.
void InvalidateSchemeResults(TDACDatabase& database, std::int32_t schemeID);
void InvalidateSchemeResults(std::int32_t schemeID);

// Compares every assessment's substance checksum with the plug-in's: results computed with
// substance data that changed or disappeared are marked invalid (with the lock override, so
// locked projects too), and the user is told which assessments with valid results were
// affected: first those whose substance changed, then those whose substance is gone. The
// plug-in is asked once per substance.
void CheckSubstances(TDACDatabase& database);
void CheckSubstances();

} // namespace parvela
