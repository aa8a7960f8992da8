#include "program/runs/RunClaims.h"

#include "framework/Exceptions.h"
#include "framework/Format.h"
#include "framework/TDACDatabase.h"
#include "framework/odbc/Connection.h"
#include "platform/SystemIdentity.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace parvela {

namespace {

constexpr const char* SincePattern = "yyyy-mm-dd hh:nn:ss";
// How long a claim just taken may take to name its holder.
constexpr auto RecordWait = std::chrono::milliseconds(500);
constexpr auto RecordPoll = std::chrono::milliseconds(5);
// Tries of a claim whose holder let go while it was asked for.
constexpr int ClaimAttempts = 3;

// ---- PostgreSQL: an advisory lock of the session -------------------------------------------

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
        const auto giveUp = std::chrono::steady_clock::now() + RecordWait;
        while (recorded_ && !query->Eof() && query->FieldByName("HOLDERUSER").IsNull() &&
               std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(RecordPoll);
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

// ---- SQLite: a lock on a file beside the database ------------------------------------------

// One file per assessment in a directory beside the database file, holding the generation and
// the last holder; the claim is an open-file-description lock on the whole file, which the
// kernel releases when the holder's descriptor closes, also when the holder dies.
class TFileLockClaims final : public TRunClaims {
    // The claim is a lock on the first byte, and a lock on the second tells that the record
    // names the holder.
    static constexpr off_t ClaimByte = 0;
    static constexpr off_t RecordByte = 1;

public:
    explicit TFileLockClaims(std::string directory) : directory_(std::move(directory)) {}
    ~TFileLockClaims() override {
        while (!held_.empty())
            Release(*held_.begin());
    }

    std::map<int, std::int64_t> Generations(const std::vector<int>& assessmentIDs) override {
        std::map<int, std::int64_t> generations;
        for (int id : assessmentIDs) {
            const int descriptor = OpenClaimFile(id, O_RDONLY);
            generations[id] = descriptor < 0 ? 0 : ReadRecord(descriptor).Generation;
            if (descriptor >= 0)
                ::close(descriptor);
        }
        return generations;
    }

    TClaimAttempt TryClaim(int assessmentID,
                           std::optional<std::int64_t> expectedGeneration) override {
        if (Holds(assessmentID))
            return {TClaimOutcome::Claimed, TRunClaimHolder::ThisProgram()};
        MakeDirectory();
        const int descriptor = OpenClaimFile(assessmentID, O_RDWR | O_CREAT);
        if (descriptor < 0)
            throw EOSError(Format("Cannot claim assessment %d: %s: %s", assessmentID,
                                  ClaimFile(assessmentID), std::strerror(errno)));
        if (!Lock(descriptor, F_OFD_SETLK, ClaimByte)) {
            const int error = errno;
            if (error != EAGAIN && error != EACCES) {
                ::close(descriptor);
                throw EOSError(Format("Cannot claim assessment %d: %s: %s", assessmentID,
                                      ClaimFile(assessmentID), std::strerror(error)));
            }
            const std::optional<TRunClaimHolder> holder = RecordedHolder(descriptor);
            ::close(descriptor);
            return {TClaimOutcome::HeldByOther, holder};
        }
        const TRecord record = ReadRecord(descriptor);
        if (expectedGeneration && *expectedGeneration != record.Generation) {
            ::close(descriptor);
            return {TClaimOutcome::RunMeanwhile, record.Holder};
        }
        WriteRecord(descriptor, record.Generation + 1);
        Lock(descriptor, F_OFD_SETLK, RecordByte);
        descriptors_[assessmentID] = descriptor;
        held_.insert(assessmentID);
        return {TClaimOutcome::Claimed, TRunClaimHolder::ThisProgram()};
    }

    void Release(int assessmentID) override {
        if (!held_.erase(assessmentID))
            return;
        ::close(descriptors_.at(assessmentID));
        descriptors_.erase(assessmentID);
    }

    void ConnectionRenewed() override {}

    std::optional<TRunClaimHolder> Holder(int assessmentID) override {
        const int descriptor = OpenClaimFile(assessmentID, O_RDONLY);
        if (descriptor < 0)
            return std::nullopt;
        std::optional<TRunClaimHolder> holder;
        if (!Lock(descriptor, F_OFD_GETLK, ClaimByte))
            holder = RecordedHolder(descriptor).value_or(TRunClaimHolder{});
        ::close(descriptor);
        return holder;
    }

    std::set<int> AllClaimed() override {
        std::set<int> claimed;
        std::error_code error;
        for (std::filesystem::directory_iterator it(directory_, error), end; !error && it != end;
             it.increment(error)) {
            int id = 0;
            if (TryStrToInt(it->path().filename().string(), id) && IsClaimed(id))
                claimed.insert(id);
        }
        return claimed;
    }

    bool IsClaimed(int assessmentID) override {
        if (Holds(assessmentID))
            return true;
        const int descriptor = OpenClaimFile(assessmentID, O_RDONLY);
        if (descriptor < 0)
            return false;
        const bool claimed = !Lock(descriptor, F_OFD_GETLK, ClaimByte);
        ::close(descriptor);
        return claimed;
    }

private:
    struct TRecord {
        std::int64_t Generation = 0;
        std::optional<TRunClaimHolder> Holder;
    };

    std::string ClaimFile(int assessmentID) const {
        return directory_ + std::to_string(assessmentID);
    }

    // -1 with errno when the file cannot be opened.
    int OpenClaimFile(int assessmentID, int flags) const {
        // Shared by everyone who shares the database: the user's umask decides.
        return ::open(ClaimFile(assessmentID).c_str(), flags | O_CLOEXEC | O_NOFOLLOW, 0666);
    }

    void MakeDirectory() const {
        if (::mkdir(directory_.c_str(), 0777) != 0 && errno != EEXIST)
            throw EOSError(Format("Cannot make the directory of run claims %s: %s", directory_,
                                  std::strerror(errno)));
    }

    // A write lock on one byte of the file. F_OFD_SETLK: true when taken. F_OFD_GETLK: true
    // when nobody else holds the byte.
    static bool Lock(int descriptor, int command, off_t byte) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = byte;
        lock.l_len = 1;
        if (::fcntl(descriptor, command, &lock) != 0)
            return command == F_OFD_GETLK;
        return command == F_OFD_SETLK || lock.l_type == F_UNLCK;
    }

    // The holder that the record names, once the holder has written it: a holder locks the
    // record byte after it wrote the record, and a claim just taken gets a moment for that.
    static std::optional<TRunClaimHolder> RecordedHolder(int descriptor) {
        const auto giveUp = std::chrono::steady_clock::now() + RecordWait;
        while (Lock(descriptor, F_OFD_GETLK, RecordByte) &&
               std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(RecordPoll);
        return ReadRecord(descriptor).Holder;
    }

    static TRecord ReadRecord(int descriptor) {
        std::string text(4096, '\0');
        const ssize_t length = ::pread(descriptor, text.data(), text.size(), 0);
        text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
        TRecord record;
        TRunClaimHolder holder;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            const std::size_t equals = line.find('=');
            if (equals == std::string::npos)
                continue;
            const std::string key = line.substr(0, equals);
            const std::string value = line.substr(equals + 1);
            if (key == "generation")
                record.Generation = std::strtoll(value.c_str(), nullptr, 10);
            else if (key == "user")
                holder.User = value;
            else if (key == "host")
                holder.Host = value;
            else if (key == "process")
                holder.Process = std::strtoll(value.c_str(), nullptr, 10);
            else if (key == "since")
                holder.Since = value;
        }
        if (!holder.User.empty() || holder.Process != 0)
            record.Holder = holder;
        return record;
    }

    // Written over the old record in place, so that a reader never finds the file empty.
    void WriteRecord(int descriptor, std::int64_t generation) const {
        const TRunClaimHolder self = TRunClaimHolder::ThisProgram();
        const std::string text = "generation=" + std::to_string(generation) +
                                 "\nuser=" + self.User + "\nhost=" + self.Host +
                                 "\nprocess=" + std::to_string(self.Process) +
                                 "\nsince=" + self.Since + "\n";
        if (::pwrite(descriptor, text.data(), text.size(), 0) !=
                static_cast<ssize_t>(text.size()) ||
            ::ftruncate(descriptor, static_cast<off_t>(text.size())) != 0)
            throw EOSError(
                Format("Cannot write the run claim %s: %s", directory_, std::strerror(errno)));
    }

    std::string directory_;
    std::map<int, int> descriptors_;
};

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
        return std::make_unique<TSessionLockClaims>(database);
    const std::string file = SQLiteDatabaseFile(database);
    if (file.empty())
        throw EOSError("Run claims need a database in a file: this one is in memory.");
    return std::make_unique<TFileLockClaims>(file + ".runclaims/");
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
