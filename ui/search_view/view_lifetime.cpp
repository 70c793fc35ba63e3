#include "ui/search_view/view_lifetime.h"

#include <QApplication>
#include <QDialog>

CViewLifetime::Scope::Scope(CViewLifetime& lifetime) : lifetime_(lifetime) { ++lifetime_.depth_; }

CViewLifetime::Scope::~Scope() {
    if (--lifetime_.depth_ == 0 && lifetime_.destroyPending_) {
        lifetime_.destroyPending_ = false;
        emit lifetime_.readyToDestroy();
    }
}

void CViewLifetime::RequestClose() {
    closed_ = true;
    destroyPending_ = true;
    // Dismiss the boxes the handlers wait in, innermost first, so that they return.
    for (int guard = 0; guard < 16; ++guard) {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) break;
        dialog->reject();
    }
    if (depth_ == 0) {
        destroyPending_ = false;
        emit readyToDestroy();
    }
}
