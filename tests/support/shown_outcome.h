#pragma once
// The core's outcomes shown as the programs show them, through the message
// box service (a ScriptedResponder records them): each message in turn,
// then, after "wrong file format!", the end through platform::ExitProcess(1)
// (an ExitCatcher turns it into ProcessExited). The insert-disk prompt is
// the box the programs ask with.

#include "browse/record_text/search_messages.h"
#include "browse/session/search_session.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"
#include "store/data_disk.h"

namespace testing_support {

inline DiskPrompt BoxPrompt() {
    return [] { return platform::Ask(search_messages::kInsertDiskText); };
}

template <typename Outcome>
const Outcome& Shown(const Outcome& outcome) {
    platform::Tell(outcome.messages, outcome.details);
    if (outcome.EndsProgram()) platform::ExitProcess(1);
    return outcome;
}

}  // namespace testing_support
