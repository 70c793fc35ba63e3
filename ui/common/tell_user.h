#pragma once
// What the viewer does with the messages of an operation of the core: each
// in its own box (OK, exclamation icon, the program's caption), in order;
// after "wrong file format!" the program ends with status 1.

#include "platform/message_box.h"
#include "platform/process_exit.h"

template <typename Outcome>
void TellUser(const Outcome& outcome) {
    platform::Tell(outcome.messages, outcome.details);
    if (outcome.EndsProgram()) platform::ExitProcess(1);
}
