#include "UnitsFromGenerator/TdciProjects.h"

#include "UnitsFromGenerator/BorrowedList.h"
#include "UnitsFromGenerator/DetailList.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "framework/TDACFilter.h"

namespace parvela {

PARVELA_ITEM_CONSTRUCTOR(Projects)

TdciProjects::~TdciProjects() = default;

bool TdciProjects::IsLocked() const {
    TDACDatabaseClassItem::IsLocked();
    return LOCKED_.Current();
}

void TdciProjects::Validate() const {
    TDACDatabaseClassItem::Validate();
    if (TrimText(CAPTION_.Current()).empty())
        throw EDACStateValueError("Caption should not be empty");
    CheckTextLength(CAPTION_, "Caption");
    CheckTextLength(DESCRIPTION_, "Description");
    CheckTextLength(COMMENT_, "Comment");
}

TdcAssessments& TdciProjects::Assessments() {
    return ProvideDetailList(
        assessments_, *this, TrsdAssessments::PROJECTID(),
        [this](TdcAssessments& list) { list.SetDefaultProjectID(key_); },
        [this] { return OwnerList()->Locked() || IsLocked(); });
}

TdciProjects& TdciProjects::CopyItem(TdcProjects* target) const {
    Assert(target != nullptr);
    target->Insert();
    TdciProjects& copy = target->Item();
    const TDateTime now = Now();
    copy.SetCAPTION(CAPTION());
    copy.SetDESCRIPTION(DESCRIPTION());
    copy.SetCOMMENT(COMMENT());
    copy.SetLOCKED(false);
    copy.SetBUSY(false);
    copy.SetCREATIONDATE(now);
    copy.SetMODIFICATIONDATE(now);
    return copy;
}

void TdciProjects::CopyDetails(TdciProjects* target) {
    Assert(target != nullptr);
    Assert(target->ItemState() == isBrowse);
    TdcAssessments& source = Assessments();
    TBorrowedList borrowed(source);
    TdcAssessments& copies = target->Assessments();
    copies.Open();
    try {
        Assert(copies.Count() == 0);
        for (source.First(); !source.Eof(); source.Next()) {
            std::string copyID;
            try {
                TdciAssessments& copy = source.Item().CopyItem(&copies);
                copyID = copy.ItemID();
                copy.SetPROJECTID(target->PROJECTID());
                copy.Save();
            } catch (...) {
                if (!copyID.empty())
                    DropUnsavedItem(copies, copyID);
                throw;
            }
        }
    } catch (...) {
        CloseQuietly(copies);
        throw;
    }
    copies.Close();
}

void TdciProjects::UpdateModificationDate() {
    if (ItemState() == isEdited || ItemState() == isInserted)
        SetMODIFICATIONDATE(Now());
    else if (MODIFICATIONDATE_.CurrentDiffers(MODIFICATIONDATE_.Stored()))
        // Only when it differs: an unchanged locked project must not fail here.
        SetMODIFICATIONDATE(MODIFICATIONDATE_.Stored());
}

int TdciProjects::SelectedAssessmentCount() {
    TdcAssessments& assessments = Assessments();
    assessments.Open();
    int count = 0;
    for (; !assessments.Eof(); assessments.Next())
        if (assessments.Item().SELECTEDFOREXECUTION())
            ++count;
    assessments.Close();
    return count;
}

} // namespace parvela
