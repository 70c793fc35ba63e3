#include "ui/facets/facet_finder.h"

#include <vector>

#include <QMetaObject>

CFacetFinder::CFacetFinder(const CDirectories& dirs, std::string cacheFolder, QObject* parent)
    : QObject(parent), search_(std::make_unique<CRecordSearch>(dirs, std::move(cacheFolder))) {
    search_->SetCancel(&cancel_);
    thread_ = std::thread([this] { Work(); });
}

CFacetFinder::~CFacetFinder() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
    }
    cancel_ = true;
    changed_.notify_all();
    thread_.join();
}

std::uint64_t CFacetFinder::Start(Ask ask) {
    std::uint64_t generation;
    {
        std::lock_guard<std::mutex> guard(lock_);
        generation = ++latest_;
        ask.search.skipMissing = true;
        // Never a prompt off the interface thread: without the disk the answer says so.
        ask.search.prompt = DiskPrompt{};
        next_.emplace(generation, std::move(ask));
        // The count under way is for an older query; under the lock, so that
        // the worker clears it only as it takes this one.
        cancel_ = true;
    }
    changed_.notify_all();
    return generation;
}

void CFacetFinder::Work() {
    for (;;) {
        std::pair<std::uint64_t, Ask> job;
        {
            std::unique_lock<std::mutex> guard(lock_);
            changed_.wait(guard, [this] { return stopping_ || next_.has_value(); });
            if (stopping_) return;
            job = std::move(*next_);
            next_.reset();
            cancel_ = false;
        }
        Answer answer;
        answer.generation = job.first;
        // Only databases whose index is there: a query here never makes one
        // (the record finder does, with its progress and its cancel).
        std::vector<int> ready;
        for (int code : job.second.search.codes) {
            if (search_->IndexReady(code)) ready.push_back(code);
        }
        job.second.search.codes = std::move(ready);
        answer.outcome = search_->Run(job.second.search);
        if (answer.outcome.status == FindStatus::Done)
            answer.outcome = search_->Facets(job.second.facets, answer.counts);
        if (answer.outcome.status == FindStatus::Cancelled) continue;
        // Dropped if the finder is gone by the time the interface thread gets to it.
        QMetaObject::invokeMethod(
            this, [this, answer = std::move(answer)]() { emit answered(answer); }, Qt::QueuedConnection);
    }
}
