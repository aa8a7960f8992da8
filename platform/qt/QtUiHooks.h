#pragma once
// The user-interface hooks for the Qt program: the wait cursor as the application's override
// cursor, and the processing of pending events.

#include "platform/UiHooks.h"

namespace parvela {

class TQtUiHooks final : public IUiHooks {
public:
    ~TQtUiHooks() override;
    // Nested calls keep the wait cursor until the outermost one ends; an end without a
    // begin leaves the override cursors of others alone.
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void ProcessPendingEvents() override;

    int WaitCursorDepth() const { return depth_; }

private:
    int depth_ = 0;
};

} // namespace parvela
