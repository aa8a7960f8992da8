#pragma once
// The run log of a project: "runs.log" in the project directory, one line for every model
// process that ran, so that an assessor can show afterwards what ran when. The fields, split
// by tabs: the start ("yyyy-mm-dd hh:nn:ss"), the assessment's key and caption, the model, the
// exit code, the duration in seconds and whether the assessment ended "valid" or "not valid".

#include "program/runs/TZentorModel.h"

#include <string>
#include <vector>

namespace parvela {

inline constexpr const char* RunLogFileName = "runs.log";

// One line of the log, without its line break; tabs and line breaks of the caption become
// blanks.
std::string RunLogLine(const TModelRunRecord& run, int assessmentID, const std::string& caption,
                       bool valid);

// Appends each line, followed by a carriage return and a line feed, with one write to the
// file opened for appending and locked, so that the lines of processes that log at once, also
// on machines that share the file, never mix. False when the file cannot be written.
bool AppendRunLog(const std::string& path, const std::vector<std::string>& lines);

} // namespace parvela
