#pragma once
// CPendingRefresh: a finder's list follows the typing. The keys that
// arrive together ask for one refresh, run from the event loop once they
// are all in; a refresh asked for directly takes what is pending with it.

#include <functional>

#include <QObject>

class CPendingRefresh : public QObject {
public:
    CPendingRefresh(QObject* parent, std::function<void()> refresh);

    // A key came: the refresh runs once the keys that came with it are in.
    void Schedule();
    bool Pending() const { return pending_; }
    // Called as the refresh begins: what was pending is being done.
    void Begun() { pending_ = false; }
    // Refreshes now if a refresh is pending (before Enter or a move takes what the keys match).
    void Flush();

private:
    std::function<void()> refresh_;
    bool pending_ = false;
};
