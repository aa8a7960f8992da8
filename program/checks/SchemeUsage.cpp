#include "program/checks/SchemeUsage.h"

#include "UnitsFromGenerator/AssessmentQueries.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/CommaText.h"
#include "framework/Format.h"
#include "framework/LockCheckSkipped.h"
#include "platform/Dialogs.h"
#include "program/connection/ProgramIdentity.h"
#include "program/connection/TDatabaseConnection.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/runs/RunClaims.h"

#include <exception>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace parvela {

namespace {

TDACDatabase& ProgramDatabase() {
    return TDatabaseConnection::GetSingleton().Database();
}

constexpr const char* DeletedSubstance = "<empty>";

// ---- scheme usage ------------------------------------------------------------------------

// Which of the flags of a scheme's users hold, read from the distinct combinations of "is the
// given assessment" and VALIDRESULTS among the assessments of projects that use the scheme. An
// assessment that a run holds now counts as one with valid results: the change ends that run
// not valid.
struct TSchemeUsers {
    bool givenHasValidResults = false; // A
    bool usedByOther = false;          // B
    bool otherHasValidResults = false; // C

    void Add(bool given, bool validResults) {
        if (given) {
            givenHasValidResults = givenHasValidResults || validResults;
        } else {
            usedByOther = true;
            otherHasValidResults = otherHasValidResults || validResults;
        }
    }
};

std::string KeyList(const std::set<int>& keys) {
    std::string list;
    for (int key : keys)
        list += (list.empty() ? "" : ", ") + std::to_string(key);
    return list;
}

TSchemeUsers SchemeUsers(TDACDatabase& database, std::int32_t schemeID, std::int32_t assessmentID) {
    const std::unique_ptr<TDACQuery> query = database.OpenQuery(
        Format("SELECT DISTINCT CASE WHEN A.ASSESSMENTID = %d THEN 1 ELSE 0 END AS GIVEN, "
               "A.VALIDRESULTS FROM %s WHERE A.APPLICATIONSCHEMEID = %d",
               assessmentID, AssessmentsOfProjects(), schemeID));
    TSchemeUsers users;
    for (; !query->Eof(); query->Next())
        // Read as the assessment items read it: NULL is false, 2 and 'True' are true.
        users.Add(query->FieldByName("GIVEN").AsInteger() == 1,
                  query->FieldByName("VALIDRESULTS").AsBoolean());
    const std::set<int> running = AssessmentsUnderClaim(database);
    if (running.empty())
        return users;
    const std::unique_ptr<TDACQuery> runningUsers = database.OpenQuery(
        Format("SELECT A.ASSESSMENTID FROM %s WHERE A.APPLICATIONSCHEMEID = %d AND "
               "A.ASSESSMENTID IN (%s)",
               AssessmentsOfProjects(), schemeID, KeyList(running)));
    for (; !runningUsers->Eof(); runningUsers->Next())
        users.Add(runningUsers->FieldByName("ASSESSMENTID").AsInteger() == assessmentID, true);
    return users;
}

// ---- substance check ---------------------------------------------------------------------

// An assessment of a project as the check reads it.
struct TCheckedAssessment {
    std::int32_t key = 0;
    std::string caption;
    std::string guid;
    std::string checksum;
    bool validResults = false;
};

TCheckedAssessment ReadCheckedAssessment(const TDACQuery& query) {
    return {query.FieldByName("ASSESSMENTID").AsInteger(), query.FieldByName("CAPTION").AsString(),
            query.FieldByName("SUBSTANCEGUID").AsString(),
            query.FieldByName("SUBSTANCECHECKSUM").AsString(),
            query.FieldByName("VALIDRESULTS").AsBoolean()};
}

std::vector<TCheckedAssessment> ReadCheckedAssessments(TDACDatabase& database,
                                                       const std::string& sql) {
    const std::unique_ptr<TDACQuery> query = database.OpenQuery(sql);
    std::vector<TCheckedAssessment> assessments;
    for (; !query->Eof(); query->Next())
        assessments.push_back(ReadCheckedAssessment(*query));
    return assessments;
}

constexpr const char* CheckedColumns =
    "A.ASSESSMENTID, A.CAPTION, A.SUBSTANCEGUID, A.SUBSTANCECHECKSUM, A.VALIDRESULTS";

// The plug-in's checksum of each substance, asked once per check: its answers do not change
// while the check runs.
class TChecksums {
public:
    const std::string& Of(const std::string& guid) {
        auto known = checksums_.find(guid);
        if (known == checksums_.end())
            known =
                checksums_
                    .emplace(guid, TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(guid))
                    .first;
        return known->second;
    }
    // Asks for each of the substances; false when the plug-in refused one of them.
    bool Learn(const std::vector<std::string>& guids) {
        try {
            for (const std::string& guid : guids)
                Of(guid);
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
    const std::unordered_map<std::string, std::string>& Known() const { return checksums_; }

private:
    std::unordered_map<std::string, std::string> checksums_;
};

std::vector<std::string> SubstancesInUse(TDACDatabase& database) {
    const std::unique_ptr<TDACQuery> query = database.OpenQuery(
        Format("SELECT DISTINCT A.SUBSTANCEGUID FROM %s", AssessmentsOfProjects()));
    std::vector<std::string> guids;
    for (; !query->Eof(); query->Next())
        guids.push_back(query->FieldByName("SUBSTANCEGUID").AsString());
    return guids;
}

// Every assessment of a project, in the walk's order.
std::vector<TCheckedAssessment> AllAssessmentsToCheck(TDACDatabase& database) {
    return ReadCheckedAssessments(database, Format("SELECT %s FROM %s ORDER BY %s", CheckedColumns,
                                                   AssessmentsOfProjects(), WalkOrder(database)));
}

// The assessments of projects, in the walk's order, that the check can change or report:
// the stored checksum differs from the current one, or the substance is gone and the results
// may be valid. Every other assessment passes the check without a trace.
std::vector<TCheckedAssessment> AssessmentsWithChangedSubstances(TDACDatabase& database,
                                                                 const TChecksums& checksums) {
    if (checksums.Known().empty())
        return {};
    std::string current;
    for (const auto& [guid, checksum] : checksums.Known())
        current += (current.empty() ? "(" : ", (") + QuotedSQLText(guid) + ", " +
                   QuotedSQLText(checksum) + ")";
    // The truth of VALIDRESULTS is read here, as the items read it, not by the engine.
    std::vector<TCheckedAssessment> candidates = ReadCheckedAssessments(
        database, Format("WITH CURRENTCHECKSUMS (GUID, CHECKSUM) AS (VALUES %s) SELECT %s FROM "
                         "%s INNER JOIN CURRENTCHECKSUMS C ON C.GUID = A.SUBSTANCEGUID WHERE "
                         "COALESCE(A.SUBSTANCECHECKSUM, '') <> C.CHECKSUM OR C.CHECKSUM = '' "
                         "ORDER BY %s",
                         current, CheckedColumns, AssessmentsOfProjects(), WalkOrder(database)));
    std::erase_if(candidates, [&](const TCheckedAssessment& assessment) {
        const std::string& checksum = checksums.Known().at(assessment.guid);
        return assessment.checksum == checksum && !(checksum.empty() && assessment.validResults);
    });
    return candidates;
}

// What the check stores for one assessment whose substance data changed or disappeared.
struct TSubstanceUpdate {
    std::int32_t key = 0;
    std::string checksum;
    bool markDeleted = false;
};

struct TSubstanceReport {
    std::vector<std::string> changed;
    std::vector<std::string> deleted;
    std::vector<TSubstanceUpdate> updates;
};

// One assessment: its substance data changed when the plug-in's checksum differs from the
// stored one; an empty checksum means the plug-in no longer holds the substance.
void CheckSubstanceOf(const TCheckedAssessment& assessment, const std::string& checksum,
                      TSubstanceReport& report) {
    const bool differs = assessment.checksum != checksum;
    if (assessment.validResults) {
        if (!checksum.empty() && differs)
            report.changed.push_back(assessment.caption);
        if (checksum.empty())
            report.deleted.push_back(assessment.caption);
    }
    // A vanished substance whose stored checksum was empty already is reported, not saved.
    if (differs)
        report.updates.push_back(
            {assessment.key, checksum, assessment.validResults && checksum.empty()});
}

// Saves the updates one item at a time, in the order of the walk, with the lock override
// before every setter so that assessments of locked projects are updated as well.
void SaveSubstanceUpdates(TDACDatabase& database, const std::vector<TSubstanceUpdate>& updates) {
    std::vector<std::int32_t> keys;
    for (const TSubstanceUpdate& update : updates)
        keys.push_back(update.key);
    std::size_t next = 0;
    ForEachAssessmentByKey(database, keys, [&](TdciAssessments& assessment) {
        while (updates[next].key != assessment.ASSESSMENTID())
            ++next;
        const TSubstanceUpdate& update = updates[next];
        const TLockCheckSkipped unlocked(assessment);
        if (update.markDeleted)
            assessment.SetSUBSTANCEGUID(DeletedSubstance);
        assessment.SetVALIDRESULTS(false);
        assessment.SetSUBSTANCECHECKSUM(update.checksum);
        assessment.Save();
    });
}

void ShowPlainMessage(const std::string& text) {
    Dialogs().Show(TDialogIcon::None, text, ProgramTitle());
}

} // namespace

bool IsApplicationSchemeUsed(TDACDatabase& database, std::int32_t schemeID) {
    return AnyAssessmentUsesScheme(database, schemeID);
}

bool IsApplicationSchemeUsed(std::int32_t schemeID) {
    return IsApplicationSchemeUsed(ProgramDatabase(), schemeID);
}

TSchemeUsage ClassifySchemeUsage(TDACDatabase& database, std::int32_t schemeID,
                                 std::int32_t assessmentID) {
    const TSchemeUsers users = SchemeUsers(database, schemeID, assessmentID);
    if (users.otherHasValidResults || (users.givenHasValidResults && users.usedByOther))
        return TSchemeUsage::SharedWithResults;
    if (users.givenHasValidResults)
        return TSchemeUsage::OwnResults;
    if (users.usedByOther)
        return TSchemeUsage::Shared;
    return TSchemeUsage::Free;
}

TSchemeUsage ClassifySchemeUsage(std::int32_t schemeID, std::int32_t assessmentID) {
    return ClassifySchemeUsage(ProgramDatabase(), schemeID, assessmentID);
}

bool ChangeLosesResults(TSchemeUsage usage) {
    return usage == TSchemeUsage::OwnResults || usage == TSchemeUsage::SharedWithResults;
}

void InvalidateSchemeResults(TDACDatabase& database, std::int32_t schemeID) {
    std::vector<std::int32_t> keys;
    std::unordered_map<std::int32_t, bool> lockedByAssessment;
    {
        const std::unique_ptr<TDACQuery> query = database.OpenQuery(
            Format("SELECT A.ASSESSMENTID, A.VALIDRESULTS, P.LOCKED AS PROJECTLOCKED FROM %s "
                   "WHERE A.APPLICATIONSCHEMEID = %d ORDER BY %s",
                   AssessmentsOfProjects(), schemeID, WalkOrder(database)));
        for (; !query->Eof(); query->Next()) {
            // The truth as the items read it: NULL is false, 2 and 'True' are true.
            if (!query->FieldByName("VALIDRESULTS").AsBoolean())
                continue;
            keys.push_back(query->FieldByName("ASSESSMENTID").AsInteger());
            // Read as the project items read their lock.
            lockedByAssessment[keys.back()] =
                database.StrToBoolean(query->FieldByName("PROJECTLOCKED").AsString());
        }
    }
    // The lists of a locked project's assessments are locked: without a lock override the
    // setter refuses, after the assessments met before were saved.
    ForEachAssessmentByKey(database, keys, [&](TdciAssessments& assessment) {
        assessment.OwnerItems().SetLocked(lockedByAssessment[assessment.ASSESSMENTID()]);
        assessment.SetVALIDRESULTS(false);
        assessment.Save();
    });
}

void InvalidateSchemeResults(std::int32_t schemeID) {
    InvalidateSchemeResults(ProgramDatabase(), schemeID);
}

void CheckSubstances(TDACDatabase& database) {
    TSubstanceReport report;
    TChecksums checksums;
    // Only the assessments whose substance changed need a look. When the plug-in refuses a
    // substance, every assessment is checked in the walk's order instead: the check ends at
    // the first one with that substance, after saving what was found before it.
    const std::vector<TCheckedAssessment> assessments =
        checksums.Learn(SubstancesInUse(database))
            ? AssessmentsWithChangedSubstances(database, checksums)
            : AllAssessmentsToCheck(database);
    std::exception_ptr pluginFailure;
    try {
        for (const TCheckedAssessment& assessment : assessments)
            CheckSubstanceOf(assessment, checksums.Of(assessment.guid), report);
    } catch (const std::exception&) {
        pluginFailure = std::current_exception();
    }
    SaveSubstanceUpdates(database, report.updates);
    if (pluginFailure)
        std::rethrow_exception(pluginFailure);
    if (!report.changed.empty())
        ShowPlainMessage("Results of next assessments are invalid because used substance has "
                         "changed: " +
                         CommaText(report.changed));
    if (!report.deleted.empty())
        ShowPlainMessage("Results of next assessments are invalid because used substance is "
                         "deleted: " +
                         CommaText(report.deleted));
}

void CheckSubstances() {
    CheckSubstances(ProgramDatabase());
}

} // namespace parvela
