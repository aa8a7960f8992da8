#include "platform/Processors.h"

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <sched.h>
#include <sstream>
#include <thread>
#include <vector>

namespace parvela {

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);)
        parts.push_back(part);
    return parts;
}

// Blanks and some other characters of mountinfo's paths are written as "\\ooo".
std::string Unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool octal = text[i] == '\\' && i + 3 < text.size() &&
                           std::all_of(text.begin() + i + 1, text.begin() + i + 4,
                                       [](char c) { return c >= '0' && c <= '7'; });
        if (octal) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

struct TCgroupMount {
    std::string Root;       // the part of the hierarchy that is mounted
    std::string MountPoint; // where
};

// The mount of the cgroup v2 hierarchy (`controller` empty) or of the v1 hierarchy that
// holds the controller.
std::optional<TCgroupMount> FindMount(const std::string& mountInfo, const std::string& controller) {
    std::stringstream lines(mountInfo);
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> fields = Split(line, ' ');
        const auto separator = std::find(fields.begin(), fields.end(), "-");
        if (fields.size() < 5 || fields.end() - separator < 4)
            continue;
        const std::string& type = separator[1];
        const std::vector<std::string> options = Split(separator[3], ',');
        if (controller.empty() ? type == "cgroup2"
                               : type == "cgroup" && std::find(options.begin(), options.end(),
                                                               controller) != options.end())
            return TCgroupMount{Unescaped(fields[3]), Unescaped(fields[4])};
    }
    return std::nullopt;
}

// The process's group in the v2 hierarchy (`controller` empty) or in the v1 hierarchy that
// holds the controller: "0::/path" or "4:cpu,cpuacct:/path".
std::optional<std::string> FindGroup(const std::string& cgroups, const std::string& controller) {
    std::stringstream lines(cgroups);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t first = line.find(':');
        const std::size_t second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        const std::vector<std::string> names = Split(controllers, ',');
        if (controller.empty() ? controllers.empty()
                               : std::find(names.begin(), names.end(), controller) != names.end())
            return line.substr(second + 1);
    }
    return std::nullopt;
}

// The blank-separated words of a small file; none when it cannot be read.
std::vector<std::string> Words(const fs::path& file) {
    std::string text;
    try {
        if (!ReadWholeFile(file.string(), text))
            return {};
    } catch (const EOSError&) {
        return {};
    }
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

// Nothing for a missing word and for one that is no number ("max": no quota).
std::optional<long long> Number(const std::vector<std::string>& words, std::size_t index) {
    if (index >= words.size())
        return std::nullopt;
    try {
        return std::stoll(words[index]);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// A quota of a part of the period's time as whole processors, rounded up.
std::optional<int> Processors(std::optional<long long> quota, std::optional<long long> period) {
    if (!quota || !period || *quota <= 0 || *period <= 0)
        return std::nullopt;
    return static_cast<int>(std::max(1LL, (*quota + *period - 1) / *period));
}

std::optional<int> Smaller(std::optional<int> a, std::optional<int> b) {
    if (a && b)
        return std::min(*a, *b);
    return a ? a : b;
}

// The smallest quota of the group's directory and those above it up to the mount point.
template <class ReadQuota>
std::optional<int> SmallestQuota(const TCgroupMount& mount, const std::string& group,
                                 ReadQuota readQuota) {
    const fs::path top = fs::path(mount.MountPoint).lexically_normal();
    fs::path directory = top;
    if (mount.Root == "/" || group.rfind(mount.Root + "/", 0) == 0 || group == mount.Root) {
        const std::string below = mount.Root == "/" ? group : group.substr(mount.Root.size());
        if (below.find("..") == std::string::npos)
            directory = (top / fs::path(below).relative_path()).lexically_normal();
    }
    std::optional<int> smallest;
    for (;; directory = directory.parent_path()) {
        smallest = Smaller(smallest, readQuota(directory));
        if (directory == top || directory == directory.parent_path())
            return smallest;
    }
}

// "max 100000" or "150000 100000": the quota and the period.
std::optional<int> CgroupV2Quota(const fs::path& directory) {
    const std::vector<std::string> limit = Words(directory / "cpu.max");
    return Processors(Number(limit, 0), Number(limit, 1));
}

// -1 for no quota.
std::optional<int> CgroupV1Quota(const fs::path& directory) {
    return Processors(Number(Words(directory / "cpu.cfs_quota_us"), 0),
                      Number(Words(directory / "cpu.cfs_period_us"), 0));
}

int AffinityProcessorCount() {
    // The mask may be larger than a cpu_set_t on machines with very many processors.
    for (int processors = CPU_SETSIZE; processors <= (1 << 20); processors *= 2) {
        const std::unique_ptr<cpu_set_t, void (*)(cpu_set_t*)> set(
            CPU_ALLOC(processors), [](cpu_set_t* s) { CPU_FREE(s); });
        const std::size_t bytes = CPU_ALLOC_SIZE(processors);
        if (set && ::sched_getaffinity(0, bytes, set.get()) == 0)
            return CPU_COUNT_S(bytes, set.get());
        if (!set || errno != EINVAL)
            break;
    }
    return static_cast<int>(std::thread::hardware_concurrency());
}

std::string ProcessFile(const char* path) {
    std::string text;
    try {
        ReadWholeFile(path, text);
    } catch (const EOSError&) {
        // No /proc: no control groups to heed.
    }
    return text;
}

} // namespace

std::optional<int> CgroupProcessorQuota(const std::string& mountInfo, const std::string& cgroups) {
    std::optional<int> quota;
    const auto v2Mount = FindMount(mountInfo, "");
    const auto v2Group = FindGroup(cgroups, "");
    if (v2Mount && v2Group)
        quota = SmallestQuota(*v2Mount, *v2Group, CgroupV2Quota);
    const auto v1Mount = FindMount(mountInfo, "cpu");
    const auto v1Group = FindGroup(cgroups, "cpu");
    if (v1Mount && v1Group)
        quota = Smaller(quota, SmallestQuota(*v1Mount, *v1Group, CgroupV1Quota));
    return quota;
}

int UsableProcessorCount() {
    const int allowed = AffinityProcessorCount();
    const std::optional<int> quota =
        CgroupProcessorQuota(ProcessFile("/proc/self/mountinfo"), ProcessFile("/proc/self/cgroup"));
    return std::max(1, quota ? std::min(allowed, *quota) : allowed);
}

} // namespace parvela
