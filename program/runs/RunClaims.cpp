#include "program/runs/RunClaims.h"

#include "framework/Format.h"
#include "framework/TDACDatabase.h"
#include "framework/odbc/Connection.h"
#include "platform/Exceptions.h"
#include "platform/SystemIdentity.h"
#include "program/runs/FileLockClaims.h"
#include "program/runs/SessionLockClaims.h"

#include <unistd.h>

namespace parvela {

namespace {

constexpr const char* SincePattern = "yyyy-mm-dd hh:nn:ss";

// The file of the connected SQLite database; empty for one in memory.
std::string SQLiteDatabaseFile(TDACDatabase& database) {
    const auto query = database.OpenQuery("PRAGMA database_list");
    for (; !query->Eof(); query->Next())
        if (query->FieldByName("name").AsString() == "main")
            return query->FieldByName("file").AsString();
    return {};
}

} // namespace

TRunClaimHolder TRunClaimHolder::ThisProgram() {
    return {UserName(), HostName(), static_cast<std::int64_t>(::getpid()),
            FormatDateTime(SincePattern, Now())};
}

std::string TRunClaimHolder::Describe() const {
    std::string text = User.empty() ? std::string("another program") : User;
    if (!Host.empty())
        text += "@" + Host;
    if (Process != 0)
        text += ", process " + std::to_string(Process);
    if (!Since.empty())
        text += ", since " + Since;
    return text;
}

std::unique_ptr<TRunClaims> CreateRunClaims(TDACDatabase& database) {
    if (database.Connection().IsPostgreSQL())
        return CreateSessionLockClaims(database);
    const std::string file = SQLiteDatabaseFile(database);
    if (file.empty())
        throw EOSError("Run claims need a database in a file: this one is in memory.");
    return CreateFileLockClaims(file + ".runclaims/");
}

std::optional<std::string> ClaimAll(TRunClaims& claims, const std::vector<int>& assessmentIDs) {
    for (int id : assessmentIDs) {
        const TClaimAttempt attempt = claims.TryClaim(id, std::nullopt);
        if (attempt.Outcome == TClaimOutcome::Claimed)
            continue;
        for (int taken : assessmentIDs) {
            if (taken == id)
                break;
            claims.Release(taken);
        }
        return attempt.Holder ? attempt.Holder->Describe() : std::string("another program");
    }
    return std::nullopt;
}

std::set<int> AssessmentsUnderClaim(TDACDatabase& database) {
    return CreateRunClaims(database)->AllClaimed();
}

bool IsUnderClaim(TDACDatabase& database, int assessmentID) {
    return CreateRunClaims(database)->IsClaimed(assessmentID);
}

} // namespace parvela
