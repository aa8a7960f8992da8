// The processors that the program may keep busy: its affinity mask and its control groups'
// CPU quotas, read from control-group trees laid out in a test directory.

#include "platform/Processors.h"

#include "tests/platform/TestDirectory.h"

#include <gtest/gtest.h>

#include <map>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

namespace parvela {
namespace {

using test::TTestDirectory;
using test::WriteText;

struct QuotaCase {
    const char* Name;
    // Lines of /proc/self/mountinfo and /proc/self/cgroup; "@" stands for the test directory.
    std::string MountInfo;
    std::string Cgroups;
    std::map<std::string, std::string> Files; // below the test directory
    std::optional<int> Expected;
};

void PrintTo(const QuotaCase& c, std::ostream* out) {
    *out << c.Name;
}

std::string Placed(std::string text, const std::string& directory) {
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at))
        text.replace(at, 1, directory);
    return text;
}

class CgroupQuotaTest : public ::testing::TestWithParam<QuotaCase> {};

TEST_P(CgroupQuotaTest, IsTheSmallestLimitRoundedUp) {
    const TTestDirectory dir;
    for (const auto& [file, text] : GetParam().Files)
        WriteText(dir / file, text);
    EXPECT_EQ(
        CgroupProcessorQuota(Placed(GetParam().MountInfo, dir.Path().string()), GetParam().Cgroups),
        GetParam().Expected);
}

const char* const V2Mount = "30 25 0:26 / @/unified rw,nosuid - cgroup2 cgroup2 rw\n";
const char* const V1Mount = "33 32 0:30 / @/cpu,cpuacct rw,nosuid - cgroup cgroup rw,cpu,cpuacct\n"
                            "34 32 0:31 / @/memory rw,nosuid - cgroup cgroup rw,memory\n";

INSTANTIATE_TEST_SUITE_P(
    Trees, CgroupQuotaTest,
    ::testing::Values(QuotaCase{"V2WithoutQuota",
                                V2Mount,
                                "0::/job/task\n",
                                {{"unified/job/task/cpu.max", "max 100000\n"}},
                                std::nullopt},
                      QuotaCase{"V2QuotaOfOneAndAHalf",
                                V2Mount,
                                "0::/job/task\n",
                                {{"unified/job/task/cpu.max", "150000 100000\n"}},
                                2},
                      QuotaCase{"V2QuotaOfTheGroupAbove",
                                V2Mount,
                                "0::/job/task\n",
                                {{"unified/job/task/cpu.max", "max 100000\n"},
                                 {"unified/job/cpu.max", "300000 100000\n"},
                                 {"unified/cpu.max", "800000 100000\n"}},
                                3},
                      // A container that sees its own group as the root of the hierarchy.
                      QuotaCase{"V2ContainerGroupMountedAsRoot",
                                "30 25 0:26 /kubepods/pod1 @/unified rw - cgroup2 cgroup2 rw\n",
                                "0::/kubepods/pod1\n",
                                {{"unified/cpu.max", "50000 100000\n"}},
                                1},
                      QuotaCase{"V2MountPointWithABlank",
                                "30 25 0:26 / @/my\\040cgroups rw - cgroup2 cgroup2 rw\n",
                                "0::/job\n",
                                {{"my cgroups/job/cpu.max", "200000 100000\n"}},
                                2},
                      QuotaCase{"V1WithoutQuota",
                                V1Mount,
                                "4:memory:/job\n3:cpu,cpuacct:/job\n",
                                {{"cpu,cpuacct/job/cpu.cfs_quota_us", "-1\n"},
                                 {"cpu,cpuacct/job/cpu.cfs_period_us", "100000\n"}},
                                std::nullopt},
                      QuotaCase{"V1Quota",
                                V1Mount,
                                "4:memory:/job\n3:cpu,cpuacct:/job\n",
                                {{"cpu,cpuacct/job/cpu.cfs_quota_us", "250000\n"},
                                 {"cpu,cpuacct/job/cpu.cfs_period_us", "100000\n"}},
                                3},
                      // A hybrid system: the smaller of both hierarchies.
                      QuotaCase{"HybridTakesTheSmaller",
                                std::string(V2Mount) + V1Mount,
                                "3:cpu,cpuacct:/job\n0::/job\n",
                                {{"cpu,cpuacct/job/cpu.cfs_quota_us", "400000\n"},
                                 {"cpu,cpuacct/job/cpu.cfs_period_us", "100000\n"},
                                 {"unified/job/cpu.max", "200000 100000\n"}},
                                2},
                      QuotaCase{"NoControlGroups", "", "", {}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.Name); });

// A process bound to one processor (taskset -c 0, a batch system's binding) counts one, on a
// machine with more.
TEST(UsableProcessorsTest, FollowTheAffinityMask) {
    cpu_set_t allowed;
    ASSERT_EQ(::sched_getaffinity(0, sizeof allowed, &allowed), 0);
    if (CPU_COUNT(&allowed) < 2)
        GTEST_SKIP() << "one processor only: nothing to restrict";
    const pid_t child = ::fork();
    if (child == 0) {
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
            if (CPU_ISSET(cpu, &allowed)) {
                CPU_SET(cpu, &one);
                break;
            }
        if (::sched_setaffinity(0, sizeof one, &one) != 0)
            ::_exit(100);
        ::_exit(UsableProcessorCount());
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

} // namespace
} // namespace parvela
