#pragma once
// CIndexStates: what a program that asks queries while word indexes are
// made beside it knows of each database's index, and the rules that move
// it on. A query answers at once for the databases that are ready and
// leaves out those whose index is being made or whose making the user
// declined; the first query of a database whose index is not known to be
// ready begins its making.
//
// Unknown: not looked at yet (or to be looked at again);
// Ready: its index is sound and current;
// Making: queued or being made;
// Declined: the user cancelled its making, so it is left out until asked again;
// Settled: nothing is left to make (no index can be kept, or its files
// failed): its queries read the records or say what failed.
//
// Plain data without a lock: the caller keeps it under its own.

#include <map>
#include <vector>

#include "browse/record_search/record_search_outcome.h"

enum class IndexState { Unknown, Ready, Making, Declined, Settled };

// Where a query's databases go: searched now, left out while their index is
// made, left out as declined; and those whose making the query begins (also
// among waiting), each in the order asked.
struct IndexPlan {
    std::vector<int> searched;
    std::vector<int> waiting;
    std::vector<int> declined;
    std::vector<int> toMake;
};

class CIndexStates {
public:
    IndexState Of(int code) const;

    // The databases of codes whose index must be looked at on the disk
    // before a query can be planned (those Unknown).
    std::vector<int> ToLookAt(const std::vector<int>& codes) const;
    // Plans a query of codes; ready: those of ToLookAt found with a sound
    // index. The others Unknown are put to making.
    IndexPlan PlanQuery(const std::vector<int>& codes, const std::vector<int>& ready);

    // The making of these was cancelled before it began.
    void Decline(const std::vector<int>& codes);
    // The user asks again for the indexes declined: they are looked at afresh.
    void ReconsiderDeclined();
    // The making of code's index ended with made.
    void Made(int code, const FindOutcome& made);

private:
    std::map<int, IndexState> states_;
};
