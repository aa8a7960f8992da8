#pragma once
// Keeps the exit status of our children observable while one runs.
// Rule: children are started and waited for on one thread only.

#include <csignal>

namespace parvela {

// While a child of ours runs, SIGCHLD must not be ignored: with SIGCHLD ignored (a parent may
// start the program so) the system reaps the child itself and its exit status is lost. Several
// children may run at once: the first one sets the default action, the last one to end puts
// back what was there.
class TChildStatusKept {
public:
    TChildStatusKept() {
        if (holders_++ > 0)
            return;
        struct sigaction current {};
        if (::sigaction(SIGCHLD, nullptr, &current) != 0)
            return;
        if (current.sa_handler != SIG_IGN && (current.sa_flags & SA_NOCLDWAIT) == 0)
            return;
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        sigemptyset(&byDefault.sa_mask);
        previous_ = current;
        restore_ = ::sigaction(SIGCHLD, &byDefault, nullptr) == 0;
    }
    ~TChildStatusKept() {
        if (--holders_ == 0 && restore_) {
            ::sigaction(SIGCHLD, &previous_, nullptr);
            restore_ = false;
        }
    }
    TChildStatusKept(const TChildStatusKept&) = delete;
    TChildStatusKept& operator=(const TChildStatusKept&) = delete;

private:
    // Children are started and waited for on one thread only.
    static inline int holders_ = 0;
    static inline struct sigaction previous_ {};
    static inline bool restore_ = false;
};
} // namespace parvela
