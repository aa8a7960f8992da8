#include "program/SchemeUsage.h"

#include "UnitsFromGenerator/AssessmentWalk.h"
#include "UnitsFromGenerator/TdciAssessments.h"
#include "framework/CommaText.h"
#include "platform/Dialogs.h"
#include "program/ProgramIdentity.h"
#include "program/TDAXOInterface.h"
#include "program/TDatabaseConnection.h"

#include <string>
#include <vector>

namespace parvela {

namespace {

TDACDatabase& ProgramDatabase() {
    return TDatabaseConnection::GetSingleton().Database();
}

constexpr const char* DeletedSubstance = "<empty>";

struct TSubstanceReport {
    std::vector<std::string> changed;
    std::vector<std::string> deleted;
};

// One assessment: its substance data changed when the plug-in's checksum differs from the
// stored one; an empty checksum means the plug-in no longer holds the substance.
void CheckSubstanceOf(TdciAssessments& assessment, TSubstanceReport& report) {
    const std::string checksum =
        TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(assessment.SUBSTANCEGUID());
    const bool differs = assessment.SUBSTANCECHECKSUM() != checksum;
    if (assessment.VALIDRESULTS()) {
        if (!checksum.empty() && differs)
            report.changed.push_back(assessment.CAPTION());
        if (checksum.empty()) {
            assessment.SetSkipLockCheck(true);
            assessment.SetSUBSTANCEGUID(DeletedSubstance);
            report.deleted.push_back(assessment.CAPTION());
        }
    }
    if (differs) {
        assessment.SetSkipLockCheck(true);
        assessment.SetVALIDRESULTS(false);
        assessment.SetSkipLockCheck(true);
        assessment.SetSUBSTANCECHECKSUM(checksum);
        assessment.Save();
    } else if (assessment.ItemState() == isEdited) {
        // A vanished substance whose stored checksum was empty already: nothing is saved,
        // and the unsaved mark must not keep the list from closing.
        assessment.CancelChanges();
    }
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

void CheckSubstances(TDACDatabase& database) {
    TSubstanceReport report;
    ForEachAssessmentOfAllProjects(database, [&](TdciAssessments& assessment) {
        CheckSubstanceOf(assessment, report);
        return true;
    });
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
