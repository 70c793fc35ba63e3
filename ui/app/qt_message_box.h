#pragma once
// The viewer's message-box service: every box the core or the viewer asks
// for is a modal QMessageBox owned by the main window.

#include <QPointer>
#include <QWidget>

#include "platform/message_box.h"

class CQtMessageBoxService {
public:
    CQtMessageBoxService() = default;
    ~CQtMessageBoxService();
    CQtMessageBoxService(const CQtMessageBoxService&) = delete;
    CQtMessageBoxService& operator=(const CQtMessageBoxService&) = delete;

    // Makes this object the process's message-box service (until Uninstall or destruction).
    void Install();
    void Uninstall();

    // The window that owns the boxes; boxes have no owner while it is null or hidden.
    void SetOwner(QWidget* owner) { owner_ = owner; }

    static platform::MessageAnswer Show(const char* text, const char* caption,
                                        platform::MessageButtons buttons, platform::MessageIcon icon,
                                        const char* details, void* context);

private:
    QPointer<QWidget> owner_;
    bool installed_ = false;
};
