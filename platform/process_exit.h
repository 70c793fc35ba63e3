#pragma once
// Ending the process with a status code, as a replaceable service.
//
// The surname index ends the process after "wrong file format!". Tests and
// fuzz harnesses install a handler that throws instead, so that the exit can
// be observed; a handler must not return normally.

namespace platform {

using ExitHandler = void (*)(int status);

// Null restores the default (std::exit).
void SetExitHandler(ExitHandler handler);

[[noreturn]] void ExitProcess(int status);

}  // namespace platform
