#pragma once
// The stop of a model run, asked for by the window's Stop or by a signal. Async-signal-safe:
// RequestRunStop may be called from a signal handler.

namespace parvela {

// The waits for model processes then terminate them. It stays requested until reset.
void RequestRunStop();
bool RunStopRequested();
void ResetRunStop();

} // namespace parvela
