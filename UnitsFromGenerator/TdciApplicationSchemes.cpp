#include "UnitsFromGenerator/TdciApplicationSchemes.h"

#include "UnitsFromGenerator/AssessmentQueries.h"
#include "UnitsFromGenerator/BorrowedList.h"
#include "UnitsFromGenerator/DetailList.h"
#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcApplications.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/TDACFilter.h"

namespace parvela {

PARVELA_ITEM_CONSTRUCTOR(ApplicationSchemes)

TdciApplicationSchemes::~TdciApplicationSchemes() = default;

bool TdciApplicationSchemes::IsLocked() const {
    TDACDatabaseClassItem::IsLocked();
    return LOCKED_.Current();
}

void TdciApplicationSchemes::Validate() const {
    TDACDatabaseClassItem::Validate();
    if (TrimText(CAPTION_.Current()).empty())
        throw EDACStateValueError("Caption should not be empty");
    CheckTextLength(CAPTION_, "Caption");
    CheckTextLength(DESCRIPTION_, "Description");
}

void TdciApplicationSchemes::CheckCanDelete() const {
    TDACDatabaseClassItem::CheckCanDelete();
    if (AnyAssessmentUsesScheme(OwnerList()->Database(), key_))
        throw EDACStateValueError("It is not allowed to delete this applicationScheme as it is "
                                  "used in one or more assessments.");
}

bool TdciApplicationSchemes::DetailsLocked() const {
    return OwnerList()->Locked() || IsLocked();
}

TdcApplications& TdciApplicationSchemes::Applications() {
    return ProvideDetailList(
        applications_, *this, TrsdApplications::APPLICATIONSCHEMEID(),
        [this](TdcApplications& list) { list.SetDefaultApplicationSchemeID(key_); },
        [this] { return DetailsLocked(); });
}

TdcAssessments& TdciApplicationSchemes::Assessments() {
    return ProvideDetailList(
        assessments_, *this, TrsdAssessments::APPLICATIONSCHEMEID(),
        [this](TdcAssessments& list) { list.SetDefaultApplicationSchemeID(key_); },
        [this] { return DetailsLocked(); });
}

namespace {

// Deletes the saved copy of a scheme again; its copied applications go with it through the
// database. The first failure is the one to report.
void UndoSchemeCopy(TdcApplicationSchemes& schemes, const std::string& copyID) {
    try {
        if (!schemes.HasItems() || !schemes.LocateByItemID(copyID, false))
            return;
        TdciApplicationSchemes& copy = schemes.Item();
        if (copy.ItemState() != isInserted)
            CloseQuietly(copy.Applications());
        schemes.Delete();
    } catch (const std::exception&) {
    }
}

} // namespace

TdciApplicationSchemes& TdciApplicationSchemes::CopyItem() {
    TdcApplicationSchemes& schemes = OwnerItems();
    schemes.Insert();
    TdciApplicationSchemes& copy = schemes.Item();
    const std::string copyID = copy.ItemID();
    try {
        copy.SetCAPTION(CAPTION() + "_copy");
        copy.SetDESCRIPTION(DESCRIPTION() + "_copy");
        copy.SetLOCKED(false);
        copy.Save();
        CopyApplicationsTo(copy);
    } catch (...) {
        UndoSchemeCopy(schemes, copyID);
        throw;
    }
    schemes.LocateByItemID(copyID, true);
    return copy;
}

void TdciApplicationSchemes::CopyApplicationsTo(TdciApplicationSchemes& copy) {
    TdcApplications& source = Applications();
    TBorrowedList borrowed(source);
    TdcApplications& copies = copy.Applications();
    copies.Open();
    for (source.First(); !source.Eof(); source.Next()) {
        const int sourceIndex = source.GetObjectListIndex();
        std::string copyID;
        try {
            TdciApplications& application = source.Item().CopyItem();
            copyID = application.ItemID();
            application.SetAPPLICATIONSCHEMEID(copy.APPLICATIONSCHEMEID());
            application.Save();
        } catch (...) {
            if (!copyID.empty())
                DropUnsavedItem(source, copyID);
            CloseQuietly(copies);
            throw;
        }
        source.MoveItemTo(source.GetObjectListIndex(), copies);
        source.SetObjectListIndex(sourceIndex);
    }
    copies.Close();
}

} // namespace parvela
