#pragma once
// What the core asks of the user interface without linking it: the wait cursor and the
// processing of pending window events (repaints, button presses) during long waits.
// The default does nothing; the Qt program installs its own.

namespace parvela {

class IUiHooks {
public:
    virtual ~IUiHooks() = default;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    virtual void ProcessPendingEvents() = 0;
};

// The hooks in force; never null.
IUiHooks& UiHooks();
// Installs hooks (not owned); null restores the default that does nothing.
void SetUiHooks(IUiHooks* hooks);

// Shows the wait cursor for its lifetime; restored on every way out.
class TWaitCursor {
public:
    TWaitCursor() { UiHooks().BeginWaitCursor(); }
    ~TWaitCursor() { UiHooks().EndWaitCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

} // namespace parvela
