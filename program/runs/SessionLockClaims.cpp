#include "program/runs/SessionLockClaims.h"

#include "framework/Format.h"
#include "framework/TDACDatabase.h"
#include "framework/odbc/Connection.h"
#include "platform/Exceptions.h"

#include <chrono>
#include <thread>

namespace parvela {

namespace {

// Tries of a claim whose holder let go while it was asked for.
constexpr int ClaimAttempts = 3;

// An advisory lock's 64-bit key: the object identifier of the ASSESSMENTS table in its high
// half, so that the claims of databases or schemas that share a server never meet, and the
// assessment's key in the low half. The server lists such a lock with the halves as CLASSID
// and OBJID and with OBJSUBID 1.
const char* const ClaimsOfThisTable = "L.LOCKTYPE = 'advisory' AND L.DATABASE = (SELECT OID FROM "
                                      "pg_database WHERE DATNAME = current_database()) AND "
                                      "L.CLASSID = %s AND L.OBJSUBID = 1 AND L.GRANTED";

// The key as the low half of a lock key and as the server lists it: unsigned.
std::string LowHalf(int assessmentID) {
    return std::to_string(static_cast<std::uint32_t>(assessmentID));
}

// RUNCLAIMS keeps each assessment's generation and its last holder; the lock itself lives
// only in the session. The table is made when a database made before it lacks it; a role
// that may not make it still gets claims, only without generations and holder details.
const char* const ClaimTableDefinition =
    "CREATE TABLE RUNCLAIMS (ASSESSMENTID INTEGER NOT NULL PRIMARY KEY, GENERATION BIGINT NOT "
    "NULL, HOLDERUSER VARCHAR(255), HOLDERHOST VARCHAR(255), HOLDERPROCESS BIGINT, BACKENDPID "
    "INTEGER, SINCE VARCHAR(19))";

class TSessionLockClaims final : public TRunClaims {
public:
    explicit TSessionLockClaims(TDACDatabase& database) : database_(database) {
        claimClass_ = database_
                          .OpenQuery("SELECT CAST(CAST('assessments' AS REGCLASS) AS OID) AS "
                                     "TABLEID")
                          ->FieldByName("TABLEID")
                          .AsString();
        recorded_ = TableExists() || TryToCreateTable();
    }
    ~TSessionLockClaims() override {
        while (!held_.empty())
            Release(*held_.begin());
    }

    std::map<int, std::int64_t> Generations(const std::vector<int>& assessmentIDs) override {
        std::map<int, std::int64_t> generations;
        for (int id : assessmentIDs)
            generations[id] = 0;
        if (!recorded_)
            return generations;
        const auto query = database_.OpenQuery("SELECT ASSESSMENTID, GENERATION FROM RUNCLAIMS");
        for (; !query->Eof(); query->Next()) {
            const auto found = generations.find(query->FieldByName("ASSESSMENTID").AsInteger());
            if (found != generations.end())
                found->second = query->FieldByName("GENERATION").AsVariant().AsInteger();
        }
        return generations;
    }

    TClaimAttempt TryClaim(int assessmentID,
                           std::optional<std::int64_t> expectedGeneration) override {
        if (Holds(assessmentID))
            return {TClaimOutcome::Claimed, TRunClaimHolder::ThisProgram()};
        for (int attempt = 1; !Ask("pg_try_advisory_lock(" + LockKey(assessmentID) + ")");
             ++attempt) {
            // A holder that let go between the two questions has run the assessment: one
            // more try meets its generation and names it.
            std::optional<TRunClaimHolder> holder = Holder(assessmentID);
            if (holder || attempt == ClaimAttempts)
                return {TClaimOutcome::HeldByOther, std::move(holder)};
        }
        held_.insert(assessmentID);
        try {
            if (!recorded_)
                return {TClaimOutcome::Claimed, {}};
            const std::int64_t generation = Generations({assessmentID}).at(assessmentID);
            if (expectedGeneration && *expectedGeneration != generation) {
                Release(assessmentID);
                return {TClaimOutcome::RunMeanwhile, LastHolder(assessmentID)};
            }
            Record(assessmentID, generation + 1);
            return {TClaimOutcome::Claimed, TRunClaimHolder::ThisProgram()};
        } catch (...) {
            Release(assessmentID);
            throw;
        }
    }

    void Release(int assessmentID) override {
        if (!held_.erase(assessmentID))
            return;
        try {
            Ask("pg_advisory_unlock(" + LockKey(assessmentID) + ")");
        } catch (const std::exception&) {
            // A lost session took the lock with it; a live one keeps it until it ends.
        }
    }

    void ConnectionRenewed() override { held_.clear(); }

    std::optional<TRunClaimHolder> Holder(int assessmentID) override {
        auto query = database_.OpenQuery(HolderQuery(assessmentID));
        // A claim just taken gets a moment to note its holder.
        const auto giveUp = std::chrono::steady_clock::now() + ClaimRecordWait;
        while (recorded_ && !query->Eof() && query->FieldByName("HOLDERUSER").IsNull() &&
               std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(ClaimRecordPoll);
            query = database_.OpenQuery(HolderQuery(assessmentID));
        }
        if (query->Eof())
            return std::nullopt;
        TRunClaimHolder holder;
        if (recorded_ && !query->FieldByName("HOLDERUSER").IsNull())
            return ReadRecordedHolder(*query);
        holder.User = query->FieldByName("USENAME").AsString();
        holder.Host = query->FieldByName("CLIENTHOST").AsString();
        holder.Since = query->FieldByName("BACKENDSTART").AsString();
        return holder;
    }

    std::set<int> AllClaimed() override {
        std::set<int> claimed;
        const auto query = database_.OpenQuery(
            "SELECT CAST(L.OBJID AS BIGINT) AS ASSESSMENTID FROM pg_locks L WHERE " +
            Format(ClaimsOfThisTable, claimClass_));
        for (; !query->Eof(); query->Next())
            claimed.insert(static_cast<int>(static_cast<std::uint32_t>(
                query->FieldByName("ASSESSMENTID").AsVariant().AsInteger())));
        return claimed;
    }

    bool IsClaimed(int assessmentID) override { return AllClaimed().count(assessmentID) > 0; }

private:
    bool Ask(const std::string& expression) {
        return database_.OpenQuery("SELECT " + expression + " AS ANSWER")
            ->FieldByName("ANSWER")
            .AsBoolean();
    }

    bool TableExists() { return Ask("to_regclass('runclaims') IS NOT NULL"); }

    bool TryToCreateTable() {
        try {
            database_.ExecSQL(ClaimTableDefinition);
            return true;
        } catch (const EDatabaseError&) {
            // Another program made it at the same moment, or this role may not.
            return TableExists();
        }
    }

    void Record(int assessmentID, std::int64_t generation) {
        const TRunClaimHolder self = TRunClaimHolder::ThisProgram();
        database_.ExecSQL(
            "INSERT INTO RUNCLAIMS (ASSESSMENTID, GENERATION, HOLDERUSER, HOLDERHOST, "
            "HOLDERPROCESS, BACKENDPID, SINCE) VALUES (" +
            std::to_string(assessmentID) + ", " + std::to_string(generation) + ", " +
            QuotedSQLText(self.User) + ", " + QuotedSQLText(self.Host) + ", " +
            std::to_string(self.Process) + ", pg_backend_pid(), " + QuotedSQLText(self.Since) +
            ") ON CONFLICT (ASSESSMENTID) DO UPDATE SET GENERATION = EXCLUDED.GENERATION, "
            "HOLDERUSER = EXCLUDED.HOLDERUSER, HOLDERHOST = EXCLUDED.HOLDERHOST, HOLDERPROCESS = "
            "EXCLUDED.HOLDERPROCESS, BACKENDPID = EXCLUDED.BACKENDPID, SINCE = EXCLUDED.SINCE");
    }

    // The holder's session, and its recorded details when the record is the session's own.
    std::string HolderQuery(int assessmentID) const {
        std::string sql =
            "SELECT A.USENAME, COALESCE(A.CLIENT_HOSTNAME, HOST(A.CLIENT_ADDR), 'localhost') AS "
            "CLIENTHOST, TO_CHAR(A.BACKEND_START, 'YYYY-MM-DD HH24:MI:SS') AS BACKENDSTART";
        if (recorded_)
            sql += ", C.HOLDERUSER, C.HOLDERHOST, C.HOLDERPROCESS, C.SINCE";
        sql += " FROM pg_locks L LEFT JOIN pg_stat_activity A ON A.PID = L.PID";
        if (recorded_)
            sql += Format(" LEFT JOIN RUNCLAIMS C ON C.ASSESSMENTID = %d AND C.BACKENDPID = L.PID",
                          assessmentID);
        return sql + " WHERE " + Format(ClaimsOfThisTable, claimClass_) +
               " AND L.OBJID = " + LowHalf(assessmentID);
    }

    std::optional<TRunClaimHolder> LastHolder(int assessmentID) {
        const auto query = database_.OpenQuery(
            Format("SELECT HOLDERUSER, HOLDERHOST, HOLDERPROCESS, SINCE FROM RUNCLAIMS WHERE "
                   "ASSESSMENTID = %d",
                   assessmentID));
        if (query->Eof())
            return std::nullopt;
        return ReadRecordedHolder(*query);
    }

    static TRunClaimHolder ReadRecordedHolder(const TDACQuery& query) {
        TRunClaimHolder holder;
        holder.User = query.FieldByName("HOLDERUSER").AsString();
        holder.Host = query.FieldByName("HOLDERHOST").AsString();
        holder.Process = query.FieldByName("HOLDERPROCESS").AsVariant().AsInteger();
        holder.Since = query.FieldByName("SINCE").AsString();
        return holder;
    }

    std::string LockKey(int assessmentID) const {
        return "(CAST(" + claimClass_ + " AS BIGINT) << 32) | " + LowHalf(assessmentID);
    }

    TDACDatabase& database_;
    // The object identifier of the ASSESSMENTS table, as text.
    std::string claimClass_;
    bool recorded_ = false;
};

} // namespace

std::unique_ptr<TRunClaims> CreateSessionLockClaims(TDACDatabase& database) {
    return std::make_unique<TSessionLockClaims>(database);
}

} // namespace parvela
