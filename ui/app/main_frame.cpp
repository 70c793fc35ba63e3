#include "ui/app/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

#include "platform/message_box.h"
#include "ui/common/resource_names.h"
#include "ui/pictures/scaled_picture.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/view_layout.h"

CMainFrame::CMainFrame() {
    // Caption, system menu and minimize box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromLatin1(platform::kAppTitle));
    // Read as the program's picture it is: an icon taken by file name asks
    // the MIME database and the format plug-ins what the file might be.
    CScaledPicture icon;
    if (icon.Load(resources::kProgramIcon)) setWindowIcon(QIcon(icon.Base()));
    setFixedSize(view_layout::kViewWidth, view_layout::kViewHeight);
}

CMainFrame::~CMainFrame() { DestroyView(); }

bool CMainFrame::OnCreate(const CViewDoc& doc, const CDirectories& dirs) {
    auto* view = new CChronaraView(doc, dirs, this);
    view_ = view;
    setCentralWidget(view);
    connect(view, &CViewView::readyToDestroy, this, [this]() {
        // Reached from the end of a handler still on the stack: delete from the event loop.
        if (!view_.isNull()) view_->deleteLater();
    });
    return view->Create();
}

CChronaraView* CMainFrame::View() const { return view_.data(); }

void CMainFrame::ActivateFrame(Qt::WindowState state) {
    if (!firstActivationPending_) {
        if (state == Qt::WindowMinimized) {
            showMinimized();
        } else {
            showNormal();
            raise();
            activateWindow();
        }
        return;
    }
    firstActivationPending_ = false;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect work = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 640, 480);
    // Centre the whole frame; its decorations are counted when the window
    // system tells them before the window is first shown.
    create();
    QMargins margins;
    if (windowHandle() != nullptr) margins = windowHandle()->frameMargins();
    const int frameWidth = width() + margins.left() + margins.right();
    const int frameHeight = height() + margins.top() + margins.bottom();
    move(work.x() + (work.width() - frameWidth) / 2, work.y() + (work.height() - frameHeight) / 2);
    if (state == Qt::WindowMinimized) {
        showMinimized();
    } else {
        show();
    }
}

namespace {

bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

// Wayland: Qt asks the compositor through xdg-activation, spending the
// token it finds in XDG_ACTIVATION_TOKEN (and clearing it); a compositor
// without xdg-activation leaves the request unanswered. The token is for
// this one request: one that Qt did not spend is not kept.
void RequestWaylandActivation(QWidget* window, const QString& token) {
    if (!token.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", token.toLatin1());
    window->activateWindow();
    qunsetenv("XDG_ACTIVATION_TOKEN");
}

}  // namespace

void CMainFrame::BringToFront(const QString& activationToken) {
    if (isMinimized()) showNormal();
    show();
    // An open message box or More Info dialog goes on top of the frame.
    QWidget* modal = QApplication::activeModalWidget();
    if (OnWayland()) {
        RequestWaylandActivation(modal != nullptr ? modal : this, activationToken);
        return;
    }
    raise();
    activateWindow();
    if (modal != nullptr) {
        modal->raise();
        modal->activateWindow();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!view_.isNull() && view_->InCommand()) {
        // A handler waits in a modal box with the view's objects on its stack.
        view_->RequestDestroy();
        return;
    }
    DestroyView();
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Activating the frame gives the focus to the view, and so to the surname edit.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !view_.isNull()) view_->OnSetFocus();
}

void CMainFrame::DestroyView() {
    if (view_.isNull()) return;
    CChronaraView* view = view_.data();
    view_.clear();
    delete view;
}
