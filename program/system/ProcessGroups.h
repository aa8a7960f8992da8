#pragma once
// What runs in a process group, read from /proc. Stateless; safe from any thread.

#include <string>
#include <vector>

namespace parvela {

// The live processes of the group (ended ones that no parent reaped yet do not count), read
// from /proc; with `workingBelow`, only those whose working directory is that directory or
// lies below it.
std::vector<int> ProcessesOfGroup(int group, const std::string& workingBelow = {});

// Whether a process of the group still runs; one that has ended but was not yet reaped by its
// parent (a zombie) runs no more.
bool GroupHasLiveProcess(int group);

} // namespace parvela
