#pragma once
// An assessment: one scenario, one substance and one application scheme inside a project,
// the unit that the models run for.

#include "UnitsFromGenerator/TrsAssessments.h"

namespace parvela {

class TdcAssessments;

class TdciAssessments : public TDACDatabaseClassItem {
public:
    PARVELA_ITEM_PATTERN(Assessments)

    void Validate() const override;

    // A new, unsaved copy in `target` without results.
    TdciAssessments& CopyItem(TdcAssessments* target) const;
    // True when an input of a run (scenario, substance, scheme, checksum) was changed.
    bool ResultInputsChanged() const;
    // Stamps a changed or new assessment; otherwise puts the stored date back.
    void UpdateModificationDate();

    // The run paths, never stored. SetRunDirectory makes the directory from the project
    // directory of the model manager and the key: ".../<project>/<assessment>".
    void SetRunDirectory(int projectID);
    const std::string& RunDirectory() const { return runDirectory_; }
    void SetRunDirectoryPath(const std::string& path) { runDirectory_ = path; }
    const std::string& InputFileName() const { return inputFileName_; }
    void SetInputFileName(const std::string& fileName) { inputFileName_ = fileName; }

private:
    PARVELA_ITEM_STORAGE(Assessments)
    std::string runDirectory_;
    std::string inputFileName_;
};

} // namespace parvela
