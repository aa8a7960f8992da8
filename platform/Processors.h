#pragma once
// How many processors the program may keep busy: those of its affinity mask (taskset, a
// batch system's CPU binding), fewer when its control group's CPU quota (a container's or a
// batch job's CPU limit) allows less.

#include <optional>
#include <string>

namespace parvela {

// At least 1.
int UsableProcessorCount();

// The CPU quota of the control groups as whole processors, rounded up: the smallest limit of
// the process's group and the groups above it, from cgroup v2's cpu.max or cgroup v1's
// cpu.cfs_quota_us and cpu.cfs_period_us. `mountInfo` and `cgroups` are the texts of
// /proc/self/mountinfo and /proc/self/cgroup. Nothing when no group sets a quota.
std::optional<int> CgroupProcessorQuota(const std::string& mountInfo, const std::string& cgroups);

} // namespace parvela
