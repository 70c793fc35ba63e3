#pragma once
// CViewLifetime: the one rule for the search view's life while its
// handlers wait. A handler may wait in a modal box (a message, the
// insert-disk prompt, a dialog), and the user may close the window
// meanwhile, with the handler's objects still on the stack. The view then
// counts as closed at once: its boxes are dismissed, and a handler that
// comes back from a wait asks Closed() (or lets Tell ask it) and stops
// without touching the window. The view itself is deleted only once the
// last handler has returned (readyToDestroy).

#include <QObject>

#include "ui/common/tell_user.h"

class CViewLifetime : public QObject {
    Q_OBJECT
public:
    // Each handler that may wait runs in a scope; scopes nest.
    class Scope {
    public:
        explicit Scope(CViewLifetime& lifetime);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        CViewLifetime& lifetime_;
    };

    // True once the window was closed or the view destroyed: nothing more
    // is shown or asked.
    bool Closed() const { return closed_; }
    // True while a handler runs.
    bool InCommand() const { return depth_ > 0; }

    // The messages of an operation (TellUser) unless the window closed
    // while the operation waited; true when the handler goes on, that is
    // when the window is still there after them too.
    template <typename Outcome>
    bool Tell(const Outcome& outcome) {
        if (closed_) return false;
        TellUser(outcome);
        return !closed_;
    }

    // The window was closed while a handler waits: closed at once, the
    // modal boxes dismissed innermost first, and readyToDestroy as soon as
    // the last handler has returned (at once when none runs).
    void RequestClose();
    // The view's objects are going: closed for good.
    void MarkDestroyed() { closed_ = true; }

signals:
    void readyToDestroy();

private:
    int depth_ = 0;
    bool closed_ = false;
    bool destroyPending_ = false;
};
