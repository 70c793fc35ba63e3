#include "browse/record_search/index_states.h"

#include <algorithm>

IndexState CIndexStates::Of(int code) const {
    const auto known = states_.find(code);
    return known == states_.end() ? IndexState::Unknown : known->second;
}

std::vector<int> CIndexStates::ToLookAt(const std::vector<int>& codes) const {
    std::vector<int> unknown;
    for (int code : codes) {
        if (Of(code) == IndexState::Unknown) unknown.push_back(code);
    }
    return unknown;
}

IndexPlan CIndexStates::PlanQuery(const std::vector<int>& codes, const std::vector<int>& ready) {
    IndexPlan plan;
    for (int code : codes) {
        IndexState state = Of(code);
        if (state == IndexState::Unknown) {
            const bool sound = std::find(ready.begin(), ready.end(), code) != ready.end();
            state = sound ? IndexState::Ready : IndexState::Making;
            states_[code] = state;
            if (!sound) plan.toMake.push_back(code);
        }
        switch (state) {
            case IndexState::Making:
                plan.waiting.push_back(code);
                break;
            case IndexState::Declined:
                plan.declined.push_back(code);
                break;
            case IndexState::Unknown:
            case IndexState::Ready:
            case IndexState::Settled:
                plan.searched.push_back(code);
                break;
        }
    }
    return plan;
}

void CIndexStates::Decline(const std::vector<int>& codes) {
    for (int code : codes) states_[code] = IndexState::Declined;
}

void CIndexStates::ReconsiderDeclined() {
    for (auto& [code, state] : states_) {
        if (state == IndexState::Declined) state = IndexState::Unknown;
    }
}

void CIndexStates::Made(int code, const FindOutcome& made) {
    switch (made.status) {
        case FindStatus::Done:
            states_[code] = made.scanned.empty() ? IndexState::Ready : IndexState::Settled;
            break;
        case FindStatus::Cancelled:
            states_[code] = IndexState::Declined;
            break;
        case FindStatus::NoDisk:
            // Looked at again once the disk is back.
            states_[code] = IndexState::Unknown;
            break;
        case FindStatus::Failed:
        case FindStatus::UsageError:
            // The query itself meets the failure and says it.
            states_[code] = IndexState::Settled;
            break;
    }
}
