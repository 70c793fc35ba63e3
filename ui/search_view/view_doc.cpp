#include "ui/search_view/view_doc.h"

#include <QApplication>
#include <QCursor>

#include "browse/record_text/search_messages.h"
#include "platform/message_box.h"
#include "ui/common/resource_names.h"

bool CViewDoc::OnOpenDocument(const char* /*path*/) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool loaded = backdrop_.Load(resources::kBackdrop);
    QApplication::restoreOverrideCursor();
    if (!loaded) {
        // The one box without the program's caption: it may come before any window exists.
        platform::ShowMessageBox(search_messages::kBackgroundNotLoaded, nullptr, platform::MessageButtons::Ok,
                                 platform::MessageIcon::Information);
        return false;
    }
    return true;
}
