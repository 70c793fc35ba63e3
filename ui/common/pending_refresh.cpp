#include "ui/common/pending_refresh.h"

#include <QTimer>

CPendingRefresh::CPendingRefresh(QObject* parent, std::function<void()> refresh)
    : QObject(parent), refresh_(std::move(refresh)) {}

void CPendingRefresh::Schedule() {
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this]() { Flush(); });
}

void CPendingRefresh::Flush() {
    if (pending_) refresh_();
}
