#pragma once
// The files of a run's model directories with their size and SHA-256, and where they differ
// from a run record: a file changed, missing or extra, each named.

#include "program/runs/RunRecord.h"

#include <string>
#include <vector>

namespace parvela {

// The entries of the model's directory in the run directory, sorted by name, named relative
// to the run directory ("GLIDAR/17.gld"); empty when the directory does not exist. An entry
// that is no regular file (a link, a directory) or cannot be read has an empty SHA-256:
// links are never followed.
std::vector<TRecordedFile> ModelDirectoryFiles(const std::string& runDirectory,
                                               const std::string& modelName);

enum class TFileDifferenceKind { Changed, Missing, Extra };

struct TFileDifference {
    TFileDifferenceKind Kind = TFileDifferenceKind::Changed;
    TRecordedFile Recorded; // none for an extra file
    TRecordedFile Found;    // none for a missing one

    const std::string& Name() const;
    // "GLIDAR/17.sum differs from the run record: ...", "... is missing: ...", "... is not in
    // the run record: ...", with the sizes and SHA-256 of both sides.
    std::string Text() const;
};

// The found files against the recorded ones, matched by name, in name order.
std::vector<TFileDifference> FileDifferences(std::vector<TRecordedFile> recorded,
                                             std::vector<TRecordedFile> found);

// The files of the run directory's model directories (the record's models and the program's)
// against every file of the record.
std::vector<TFileDifference> StoredFileDifferences(const TRunRecord& record,
                                                   const std::string& runDirectory);

} // namespace parvela
