#pragma once
// The fingerprint of a run's inputs: a SHA-256 over the rows that the input writers read for
// an assessment (its own inputs, its scenario with the interception table, its application
// scheme with the applications and their types) and the substance's checksum in the
// plug-in; on PostgreSQL over the row versions of all but the assessment's own row. Noted before
// the input files are written and checked again after each is written and when the results are
// stored, it tells whether anybody changed an input while the models ran. Used from one thread.

#include <cstdint>
#include <optional>
#include <string>

namespace parvela {

class TDACDatabase;

class TInputFingerprint {
public:
    // Notes the inputs as the database and the plug-in hold them now.
    TInputFingerprint(TDACDatabase& database, int assessmentID, std::string substanceChecksum);

    // True when the inputs are still those noted; `substanceChecksum` is the plug-in's now.
    // A SQLite database that no other connection changed since is not read again.
    bool Held(const std::string& substanceChecksum) const;

private:
    std::string Digest(const std::string& substanceChecksum) const;
    // SQLite's count of the changes other connections committed; empty on other engines.
    std::optional<std::int64_t> ChangesByOthers() const;

    TDACDatabase& database_;
    int assessmentID_;
    std::string substanceChecksum_;
    std::optional<std::int64_t> changesByOthers_;
    std::string digest_;
};

} // namespace parvela
