#include "UnitsFromGenerator/TdciAssessments.h"

#include "UnitsFromGenerator/ProjectDirectory.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/TDACFilter.h"

namespace parvela {

PARVELA_ITEM_CONSTRUCTOR(Assessments)

void TdciAssessments::Validate() const {
    TDACDatabaseClassItem::Validate();
    if (TrimText(CAPTION_.Current()).empty())
        throw EDACStateValueError("Caption should not be empty");
    CheckTextLength(CAPTION_, "Caption");
    CheckTextLength(DESCRIPTION_, "Description");
    if (SCENARIOID_.Current() == 0)
        throw EDACStateValueError("Select a Scenario");
    if (TrimText(SUBSTANCEGUID_.Current()).empty())
        throw EDACStateValueError("Select a Substance");
}

TdciAssessments& TdciAssessments::CopyItem(TdcAssessments* target) const {
    Assert(target != nullptr);
    target->Insert();
    TdciAssessments& copy = target->Item();
    copy.SetCAPTION(CAPTION());
    copy.SetDESCRIPTION(DESCRIPTION());
    copy.SetPROJECTID(PROJECTID());
    copy.SetSCENARIOID(SCENARIOID());
    copy.SetSUBSTANCEGUID(SUBSTANCEGUID());
    copy.SetAPPLICATIONSCHEMEID(APPLICATIONSCHEMEID());
    copy.SetSUBSTANCECHECKSUM(SUBSTANCECHECKSUM());
    copy.SetSELECTEDFOREXECUTION(SELECTEDFOREXECUTION());
    copy.SetCOMMENT(COMMENT());
    // A copy never carries results.
    const TDateTime now = Now();
    copy.SetCREATIONDATE(now);
    copy.SetMODIFICATIONDATE(now);
    copy.SetERRORMESSAGE(std::string());
    copy.SetASSESSMENTREPORT(std::string());
    copy.SetVALIDRESULTS(false);
    return copy;
}

bool TdciAssessments::ResultInputsChanged() const {
    return !SCENARIOID_.IsUnchanged() || !SUBSTANCEGUID_.IsUnchanged() ||
           !APPLICATIONSCHEMEID_.IsUnchanged() || !SUBSTANCECHECKSUM_.IsUnchanged();
}

void TdciAssessments::UpdateModificationDate() {
    if (ItemState() == isEdited || ItemState() == isInserted)
        SetMODIFICATIONDATE(Now());
    else if (MODIFICATIONDATE_.CurrentDiffers(MODIFICATIONDATE_.Stored()))
        // Only when it differs: an unchanged assessment of a locked project must not fail.
        SetMODIFICATIONDATE(MODIFICATIONDATE_.Stored());
}

void TdciAssessments::SetRunDirectory(int projectID) {
    runDirectory_ = ProjectDirectory(projectID, true) + std::to_string(ASSESSMENTID());
}

} // namespace parvela
