#include "ui/app/view_app.h"

#include <cstdio>

#include <QApplication>
#include <QColor>
#include <QPalette>

#include "platform/message_box.h"
#include "ui/app/main_frame.h"
#include "ui/app/single_instance.h"
#include "ui/common/resource_names.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/view_doc.h"

namespace {

// Dialogs and message boxes: light grey ground, black text.
void SetDialogColors() {
    QPalette palette = QApplication::palette("QDialog");
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
    QApplication::setPalette(palette, "QDialog");
}

}  // namespace

CViewApp::CViewApp() { messageBoxes_.Install(); }

CViewApp::~CViewApp() { ExitInstance(); }

void CViewApp::LoadDirectories() { dirs_.LoadDirectories(); }

bool CViewApp::InitInstance() {
    char name[256];
    std::snprintf(name, sizeof name, "PreventAnother%s", platform::kAppTitle);
    instance_ = std::make_unique<CSingleInstance>(QString::fromLatin1(name));
    if (instance_->Acquire() == CSingleInstance::Outcome::Another) {
        instance_.reset();
        return false;
    }
    QObject::connect(instance_.get(), &CSingleInstance::activateRequested, [this](const QString& token) {
        if (frame_ != nullptr && frame_->isVisible()) frame_->BringToFront(token);
    });

    SetDialogColors();
    LoadDirectories();
    if (!OpenDocumentFile(resources::kDocumentName)) return false;
    frame_->ActivateFrame(Qt::WindowNoState);
    frame_->setWindowTitle(QString::fromLatin1(platform::kAppTitle));
    return true;
}

bool CViewApp::OpenDocumentFile(const char* name) {
    doc_ = std::make_unique<CViewDoc>();
    frame_ = std::make_unique<CMainFrame>();
    messageBoxes_.SetOwner(frame_.get());
    if (!frame_->OnCreate(*doc_, dirs_) || !doc_->OnOpenDocument(name)) {
        frame_.reset();
        doc_.reset();
        return false;
    }
    frame_->View()->OnInitialUpdate();
    frame_->ActivateFrame(Qt::WindowNoState);
    return true;
}

int CViewApp::ExitInstance() {
    frame_.reset();
    doc_.reset();
    instance_.reset();
    return 0;
}
