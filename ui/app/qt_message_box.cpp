#include "ui/app/qt_message_box.h"

#include <QMessageBox>

#include "ui/common/cp1252_qt.h"

CQtMessageBoxService::~CQtMessageBoxService() { Uninstall(); }

void CQtMessageBoxService::Install() {
    platform::SetMessageBoxHandler(&CQtMessageBoxService::Show, this);
    installed_ = true;
}

void CQtMessageBoxService::Uninstall() {
    if (!installed_) return;
    platform::SetMessageBoxHandler(nullptr, nullptr);
    installed_ = false;
}

platform::MessageAnswer CQtMessageBoxService::Show(const char* text, const char* caption,
                                                   platform::MessageButtons buttons,
                                                   platform::MessageIcon icon, const char* details,
                                                   void* context) {
    auto* self = static_cast<CQtMessageBoxService*>(context);
    QWidget* owner = self != nullptr ? self->owner_.data() : nullptr;
    if (owner != nullptr && !owner->isVisible()) owner = nullptr;

    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    if (icon == platform::MessageIcon::Exclamation) boxIcon = QMessageBox::Warning;
    if (icon == platform::MessageIcon::Information) boxIcon = QMessageBox::Information;
    const bool okCancel = buttons == platform::MessageButtons::OkCancel;
    const QMessageBox::StandardButtons standard =
        okCancel ? (QMessageBox::Ok | QMessageBox::Cancel) : QMessageBox::Ok;

    // A null caption leaves the title to the window system.
    QPointer<QMessageBox> box =
        new QMessageBox(boxIcon, cp1252::ToQString(caption), cp1252::ToQString(text), standard, owner);
    // Which file, which folder and why, behind the box's own words.
    if (details != nullptr && details[0] != '\0') box->setDetailedText(cp1252::ToQString(details));
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(okCancel ? QMessageBox::Cancel : QMessageBox::Ok);
    box->exec();
    // The owner may have been destroyed meanwhile, and the box with it.
    if (box.isNull()) return okCancel ? platform::MessageAnswer::Cancel : platform::MessageAnswer::Ok;
    const bool okChosen = box->clickedButton() == box->button(QMessageBox::Ok);
    delete box.data();
    if (!okCancel) return platform::MessageAnswer::Ok;
    return okChosen ? platform::MessageAnswer::Ok : platform::MessageAnswer::Cancel;
}
