#include "platform/process_exit.h"

#include <cstdlib>

namespace platform {
namespace {

ExitHandler& Slot() {
    static ExitHandler handler = nullptr;
    return handler;
}

}  // namespace

void SetExitHandler(ExitHandler handler) { Slot() = handler; }

void ExitProcess(int status) {
    if (Slot() != nullptr) Slot()(status);
    // Reached with no handler, or with one that broke its contract by returning.
    std::exit(status);
}

}  // namespace platform
