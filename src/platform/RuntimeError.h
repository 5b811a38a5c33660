#pragma once

#include <stdexcept>
#include <string>

namespace squadlink {

// Run-time errors carry the numbers the program's handlers test for, so that a socket failure
// on Linux is handled exactly like the same failure on Windows.
namespace err {
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int TypeMismatch = 13;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int InvalidPropertyArrayIndex = 381;
inline constexpr int ClipboardCannotEmpty = 520;
inline constexpr int ClipboardCannotOpen = 521;
inline constexpr int BadAddress = 10014;
inline constexpr int AddressInUse = 10048;
inline constexpr int ConnectionReset = 10054;
inline constexpr int HostUnreachable = 10065;
}  // namespace err

// The description shown by the common error handler for a number.
std::string describeError(int number);

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number) : RuntimeError(number, describeError(number)) {}
    RuntimeError(int number, const std::string& description)
        : std::runtime_error(description), m_number(number) {}
    int number() const { return m_number; }

private:
    int m_number;
};

// Thrown to end the program from deep inside a handler; the outermost event entry point
// catches it and stops the event loop, so nothing after the end request runs.
class ProgramEnd {};

// A datagram that could not leave because its destination is unusable; the peer is dropped
// and everything else goes on.
inline bool isSendFailure(const RuntimeError& error) {
    return error.number() == err::BadAddress || error.number() == err::HostUnreachable;
}

}  // namespace squadlink
