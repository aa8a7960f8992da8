#pragma once
// Run claims: while a program runs an assessment's models it holds the assessment's claim,
// and every other program that shares the database, on this machine or on another, respects
// it: it neither runs the assessment nor touches its run directory. A claim goes with its
// holder: the system releases it when the holder ends, however it ends, so a claim never
// outlives its run and never needs clearing by hand. On PostgreSQL a claim is an advisory
// lock of the database session; on SQLite a lock on a file beside the database.
//
// Each claim taken counts up the assessment's run generation, which outlives the claim: a run
// that noted the generation when it began, and finds it moved on when the assessment's turn
// comes, knows that another program ran the assessment meanwhile.
//
// Used from one thread. The claims of one object are released when it is destroyed.

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace parvela {

class TDACDatabase;

// Who holds (or last held) a claim.
struct TRunClaimHolder {
    std::string User;
    std::string Host;
    std::int64_t Process = 0;
    // "yyyy-mm-dd hh:nn:ss" of the holder's clock.
    std::string Since;

    // This program as a holder, now.
    static TRunClaimHolder ThisProgram();
    // "user@host, process 4711, since 2026-12-09 10:00:00"; parts that are not known are left
    // out.
    std::string Describe() const;
};

enum class TClaimOutcome {
    Claimed,     // this object holds the claim now
    HeldByOther, // another holder has it (possibly another object of this program)
    RunMeanwhile // free, but the assessment was claimed since its generation was noted
};

struct TClaimAttempt {
    TClaimOutcome Outcome = TClaimOutcome::Claimed;
    // The other holder, or the last one for RunMeanwhile; empty when nothing is known.
    std::optional<TRunClaimHolder> Holder;
};

class TRunClaims {
public:
    virtual ~TRunClaims() = default;

    // How many claims were ever taken on each of the assessments (0 when none).
    virtual std::map<int, std::int64_t> Generations(const std::vector<int>& assessmentIDs) = 0;
    // Claims without waiting; a claim this object holds already is Claimed again. With an
    // expected generation, a claim whose generation differs is given up again and reported
    // as RunMeanwhile. Raises when the claim cannot be asked for at all (a database or file
    // failure).
    virtual TClaimAttempt TryClaim(int assessmentID,
                                   std::optional<std::int64_t> expectedGeneration) = 0;
    // Gives the claim up; nothing happens when this object does not hold it.
    virtual void Release(int assessmentID) = 0;
    // The database connection was made anew: claims that went with the old session are
    // forgotten (they are gone); claims that do not depend on the session stay.
    virtual void ConnectionRenewed() = 0;
    // The holder of the assessment's claim, whoever it is; empty when the claim is free.
    virtual std::optional<TRunClaimHolder> Holder(int assessmentID) = 0;
    // The assessments of the database whose claim somebody holds now.
    virtual std::set<int> AllClaimed() = 0;
    virtual bool IsClaimed(int assessmentID) = 0;
    bool Holds(int assessmentID) const { return held_.count(assessmentID) > 0; }

protected:
    std::set<int> held_;
};

// How long a claim just taken may take to name its holder, and how often it is looked for.
inline constexpr auto ClaimRecordWait = std::chrono::milliseconds(500);
inline constexpr auto ClaimRecordPoll = std::chrono::milliseconds(5);

// The claims of the database's engine.
std::unique_ptr<TRunClaims> CreateRunClaims(TDACDatabase& database);

// Claims every one of the assessments, for a change that no run may meet (a deletion of rows
// and run directories); the claims object holds them until it releases them or is destroyed.
// The holder's description ("another program" when unknown) of the first assessment that
// another program holds, when one does; the claims taken before it are given up again.
std::optional<std::string> ClaimAll(TRunClaims& claims, const std::vector<int>& assessmentIDs);

// Whether anybody runs an assessment now, for the editors: they treat such an assessment like
// one with valid results.
std::set<int> AssessmentsUnderClaim(TDACDatabase& database);
bool IsUnderClaim(TDACDatabase& database, int assessmentID);

} // namespace parvela
