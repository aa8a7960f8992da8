#pragma once
// A project: a named group of assessments that its lock makes read-only as a whole.

#include "UnitsFromGenerator/TrsProjects.h"

namespace parvela {

class TdcProjects;
class TdcAssessments;

class TdciProjects : public TDACDatabaseClassItem {
public:
    PARVELA_ITEM_PATTERN(Projects)
    ~TdciProjects() override;

    bool IsLocked() const override;
    void Validate() const override;

    // Its assessments (PROJECTID = the key); locked with the project.
    TdcAssessments& Assessments();

    // A new, unsaved and unlocked project in `target` with this one's caption, description
    // and comment.
    TdciProjects& CopyItem(TdcProjects* target) const;
    // Copies the assessments into `target`, which must be saved, unchanged and empty of
    // assessments. A failing copy is removed again; the copies before it stay saved.
    void CopyDetails(TdciProjects* target);
    // Stamps a changed or new project; otherwise puts the stored date back.
    void UpdateModificationDate();
    int SelectedAssessmentCount();

private:
    PARVELA_ITEM_STORAGE(Projects)
    std::unique_ptr<TdcAssessments> assessments_;
};

} // namespace parvela
