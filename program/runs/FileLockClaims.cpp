#include "program/runs/FileLockClaims.h"

#include "framework/Format.h"
#include "platform/Exceptions.h"

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
        const auto giveUp = std::chrono::steady_clock::now() + ClaimRecordWait;
        while (Lock(descriptor, F_OFD_GETLK, RecordByte) &&
               std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(ClaimRecordPoll);
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

} // namespace

std::unique_ptr<TRunClaims> CreateFileLockClaims(const std::string& directory) {
    return std::make_unique<TFileLockClaims>(directory);
}

} // namespace parvela
