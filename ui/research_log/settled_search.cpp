#include "ui/research_log/settled_search.h"

#include <tuple>

#include <QTimer>

namespace {

bool SameAsked(const research_log::AskedSearch& a, const research_log::AskedSearch& b) {
    auto fields = [](const research_log::AskedSearch& x) {
        return std::tie(x.kind, x.database, x.surname, x.hasFirstName, x.firstName, x.options, x.query,
                        x.field, x.yearFrom, x.yearTo);
    };
    return fields(a) == fields(b);
}

}  // namespace

CSettledSearch::CSettledSearch(Logger logger, QObject* parent)
    : QObject(parent), logger_(std::move(logger)), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    timer_->setInterval(kSettleMilliseconds);
    connect(timer_, &QTimer::timeout, this, &CSettledSearch::Flush);
}

CSettledSearch::~CSettledSearch() { Flush(); }

void CSettledSearch::Offer(const research_log::AskedSearch& asked, std::int64_t count) {
    if (logged_ && count == lastCount_ && SameAsked(asked, lastAsked_)) {
        // Back to what is logged: what was typed in between was never settled.
        timer_->stop();
        waiting_ = false;
        return;
    }
    asked_ = asked;
    count_ = count;
    waiting_ = true;
    timer_->start();
}

void CSettledSearch::Flush() {
    timer_->stop();
    if (!waiting_) return;
    waiting_ = false;
    logger_(asked_, count_);
    logged_ = true;
    lastAsked_ = asked_;
    lastCount_ = count_;
}

void CSettledSearch::Done() {
    Flush();
    logged_ = false;
}
