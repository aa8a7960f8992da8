#include "platform/UiHooks.h"

namespace parvela {

namespace {
class NoUiHooks final : public IUiHooks {
public:
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void ProcessPendingEvents() override {}
};
NoUiHooks noHooks;
IUiHooks* current = &noHooks;
} // namespace

IUiHooks& UiHooks() {
    return *current;
}
void SetUiHooks(IUiHooks* hooks) {
    current = hooks ? hooks : &noHooks;
}

} // namespace parvela
