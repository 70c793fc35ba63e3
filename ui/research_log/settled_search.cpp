#include "ui/research_log/settled_search.h"

#include <QTimer>

CSettledSearch::CSettledSearch(Logger logger, QObject* parent)
    : QObject(parent), logger_(std::move(logger)), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    timer_->setInterval(kSettleMilliseconds);
    connect(timer_, &QTimer::timeout, this, &CSettledSearch::Flush);
}

CSettledSearch::~CSettledSearch() { Flush(); }

void CSettledSearch::Offer(const research_log::AskedSearch& asked, std::int64_t count) {
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
}
