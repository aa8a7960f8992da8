#pragma once
// The program's failure types. Every failure carries a message; ClassName() names the
// failure's class as the error boxes report it.

#include <stdexcept>
#include <string>

namespace parvela {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    const std::string Message() const { return what(); }
    virtual const char* ClassName() const { return "Exception"; }
};

#define PARVELA_EXCEPTION_CLASS(Name, Base)                                                        \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
        const char* ClassName() const override { return #Name; }                                   \
    }

// Internal consistency checks that stay active in every build.
PARVELA_EXCEPTION_CLASS(EAssertionFailed, Exception);
// A text that is no valid number, date or format for its arguments.
PARVELA_EXCEPTION_CLASS(EConvertError, Exception);
// Refusals by state of the data: locks, validation, an item that cannot be found.
PARVELA_EXCEPTION_CLASS(EDACStateValueError, Exception);
// Failures reported by the database driver, with the driver's message unchanged.
PARVELA_EXCEPTION_CLASS(EDatabaseError, Exception);
// Failures of the operating system (files, processes).
PARVELA_EXCEPTION_CLASS(EOSError, Exception);

inline constexpr const char* DefaultAssertionText = "Assertion failure";

// Fails with EAssertionFailed carrying the text ("Assertion failure" when none is given).
inline void Assert(bool condition, const std::string& text = DefaultAssertionText) {
    if (!condition)
        throw EAssertionFailed(text.empty() ? std::string(DefaultAssertionText) : text);
}

} // namespace parvela
