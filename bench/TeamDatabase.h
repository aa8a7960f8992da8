#pragma once
// The database of a team that has shared one Parvela database for years: 1,000 projects of
// 20 assessments each, all with valid results and the substances' current checksums, and 50
// application schemes with their applications. Made on either engine through the program's
// own database object.

#include <string>
#include <vector>

namespace parvela {
class TDACDatabase;
}

namespace parvela::bench {

constexpr int ProjectCount = 1000;
constexpr int AssessmentsPerProject = 20;
constexpr int AssessmentCount = ProjectCount * AssessmentsPerProject;
constexpr int SchemeCount = 50;
constexpr int ApplicationsPerScheme = 4;

// The project the main window opens: the last one made.
constexpr int LastProject = ProjectCount;
// A scheme that no assessment uses.
constexpr int UnusedScheme = SchemeCount;
// A scheme that only one assessment uses: the first of the last project.
constexpr int OwnScheme = SchemeCount - 1;
constexpr int OwnSchemeAssessment = (LastProject - 1) * AssessmentsPerProject + 1;
// A scheme that about 400 assessments of all projects use.
constexpr int SharedScheme = 7;
constexpr int SharedSchemeAssessment = SharedScheme - 1;

struct TSubstance {
    std::string Guid;
    std::string Checksum;
};

// Fills a database that holds the schema and the delivered scenarios and scheme 1; the
// assessments use the substances in turn with their current checksums. The key counters
// are set past the keys used.
void FillTeamDatabase(TDACDatabase& database, const std::vector<TSubstance>& substances);

} // namespace parvela::bench
