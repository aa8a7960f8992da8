#include "program/system/RunStop.h"

#include <atomic>

namespace parvela {

namespace {

// Set by a stop of the window or by a signal handler: only a lock-free atomic may be.
std::atomic<bool> runStopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

} // namespace

void RequestRunStop() {
    runStopRequested.store(true);
}

bool RunStopRequested() {
    return runStopRequested.load();
}

void ResetRunStop() {
    runStopRequested.store(false);
}

} // namespace parvela
