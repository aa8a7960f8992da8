#pragma once
// An application scheme: a named list of applications that assessments refer to. Its lock
// makes the scheme and its applications read-only; a scheme in use cannot be deleted.

#include "UnitsFromGenerator/TrsApplicationSchemes.h"

namespace parvela {

class TdcApplicationSchemes;
class TdcApplications;
class TdcAssessments;

class TdciApplicationSchemes : public TDACDatabaseClassItem {
public:
    PARVELA_ITEM_PATTERN(ApplicationSchemes)
    ~TdciApplicationSchemes() override;

    bool IsLocked() const override;
    void Validate() const override;
    // Also refuses while any assessment of the database uses the scheme.
    void CheckCanDelete() const override;

    // Its applications and the assessments that use it (APPLICATIONSCHEMEID = the key).
    TdcApplications& Applications();
    TdcAssessments& Assessments();

    // A saved copy with copies of all applications, current in this scheme's list. A
    // failure undoes the partial copy; this scheme and its applications stay untouched.
    TdciApplicationSchemes& CopyItem();

private:
    bool DetailsLocked() const;
    void CopyApplicationsTo(TdciApplicationSchemes& copy);

    PARVELA_ITEM_STORAGE(ApplicationSchemes)
    std::unique_ptr<TdcApplications> applications_;
    std::unique_ptr<TdcAssessments> assessments_;
};

} // namespace parvela
