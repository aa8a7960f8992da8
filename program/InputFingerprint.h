#pragma once
// The fingerprint of a run's inputs: a SHA-256 over the rows that the input writers read for
// an assessment (its own inputs, its scenario with the interception table, its application
// scheme with the applications and their types) and the substance's checksum in the
// plug-in. Taken before the input files are written and again when the results are stored,
// it tells whether anybody changed an input while the models ran.

#include <string>

namespace parvela {

class TDACDatabase;

std::string InputFingerprint(TDACDatabase& database, int assessmentID,
                             const std::string& substanceChecksum);

} // namespace parvela
