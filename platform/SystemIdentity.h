#pragma once
// Who and where this program runs: for the notes that tell other programs, on this machine or
// on others, who holds a run and where its processes live.

#include <string>

namespace parvela {

// The name of the effective user; the number when the system knows no name.
std::string UserName();
// The machine's host name; empty when the system does not tell.
std::string HostName();
// The identity of the machine's current boot: process numbers noted before a reboot mean
// nothing after it. Empty when the system does not tell.
std::string BootId();

} // namespace parvela
