#include "tests/wholedatabase/ReferenceWalks.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "framework/CommaText.h"
#include "platform/Dialogs.h"
#include "program/connection/ProgramIdentity.h"
#include "program/plugin/TDAXOInterface.h"

#include <functional>
#include <string>
#include <vector>

namespace parvela::test::walk {

namespace {

// Every project in the database's order, each project's assessments in the database's order;
// the visitor returns false to stop.
void ForEachAssessmentOfEveryProject(TDACDatabase& database,
                                     const std::function<bool(TdciAssessments&)>& visit) {
    TdcProjects projects(database);
    projects.Open();
    bool goOn = true;
    for (projects.First(); goOn && !projects.Eof(); projects.Next()) {
        TdcAssessments& assessments = projects.Item().Assessments();
        assessments.Open();
        for (assessments.First(); goOn && !assessments.Eof(); assessments.Next())
            goOn = visit(assessments.Item());
        assessments.Close();
    }
    projects.Close();
}

} // namespace

bool IsApplicationSchemeUsed(TDACDatabase& database, std::int32_t schemeID) {
    bool found = false;
    ForEachAssessmentOfEveryProject(database, [&](TdciAssessments& assessment) {
        found = assessment.APPLICATIONSCHEMEID() == schemeID;
        return !found;
    });
    return found;
}

int ClassifySchemeUsage(TDACDatabase& database, std::int32_t schemeID, std::int32_t assessmentID) {
    if (!IsApplicationSchemeUsed(database, schemeID))
        return 0;
    bool a = false, b = false, c = false;
    ForEachAssessmentOfEveryProject(database, [&](TdciAssessments& assessment) {
        if (assessment.APPLICATIONSCHEMEID() == schemeID) {
            const bool given = assessment.ASSESSMENTID() == assessmentID;
            a = a || (given && assessment.VALIDRESULTS());
            b = b || !given;
            c = c || (!given && assessment.VALIDRESULTS());
        }
        return true;
    });
    return c || (a && b) ? 3 : a ? 1 : b ? 2 : 0;
}

void InvalidateSchemeResults(TDACDatabase& database, std::int32_t schemeID) {
    ForEachAssessmentOfEveryProject(database, [&](TdciAssessments& assessment) {
        if (assessment.APPLICATIONSCHEMEID() == schemeID && assessment.VALIDRESULTS()) {
            assessment.SetVALIDRESULTS(false);
            assessment.Save();
        }
        return true;
    });
}

void CheckSubstances(TDACDatabase& database) {
    std::vector<std::string> changedCaptions, deletedCaptions;
    ForEachAssessmentOfEveryProject(database, [&](TdciAssessments& item) {
        const std::string pluginChecksum =
            TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(item.SUBSTANCEGUID());
        const bool changed = item.SUBSTANCECHECKSUM() != pluginChecksum;
        if (item.VALIDRESULTS() && !pluginChecksum.empty() && changed)
            changedCaptions.push_back(item.CAPTION());
        if (item.VALIDRESULTS() && pluginChecksum.empty()) {
            item.SetSkipLockCheck(true);
            item.SetSUBSTANCEGUID("<empty>");
            deletedCaptions.push_back(item.CAPTION());
        }
        if (!changed) {
            // Nothing is saved: the "<empty>" set above is dropped with the list.
            if (item.ItemState() == isEdited)
                item.CancelChanges();
            return true;
        }
        item.SetSkipLockCheck(true);
        item.SetVALIDRESULTS(false);
        item.SetSkipLockCheck(true);
        item.SetSUBSTANCECHECKSUM(pluginChecksum);
        item.Save();
        return true;
    });
    const char* prefix = "Results of next assessments are invalid because used substance ";
    if (!changedCaptions.empty())
        Dialogs().Show(TDialogIcon::None,
                       prefix + std::string("has changed: ") + CommaText(changedCaptions),
                       ProgramTitle());
    if (!deletedCaptions.empty())
        Dialogs().Show(TDialogIcon::None,
                       prefix + std::string("is deleted: ") + CommaText(deletedCaptions),
                       ProgramTitle());
}

} // namespace parvela::test::walk
