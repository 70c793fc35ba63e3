#include "ui/common/help_window.h"

#include <cstdio>

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/common/cp1252_qt.h"
#include "ui/common/window_placement.h"

namespace {

constexpr qsizetype kMaxHelpFileSize = 4 * 1024 * 1024;  // far above any real help file
// The size the window asks for at its first showing, where the screen has room.
constexpr QSize kWantedSize(560, 520);

}  // namespace

CHelpWindow::CHelpWindow(QWidget* owner) : QWidget(owner, Qt::Window), browser_(new QTextBrowser(this)) {
    setWindowTitle(QStringLiteral("Chronara Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        const QString fragment = url.fragment();
        bool ok = false;
        const int context = fragment.startsWith(QLatin1String("context-")) ? fragment.mid(8).toInt(&ok) : 0;
        if (ok) ScrollToContext(context);
    });
    resize(kWantedSize);
}

void CHelpWindow::Place() {
    const QWidget* owner = parentWidget();
    const QScreen* screen = owner != nullptr ? owner->screen() : this->screen();
    if (screen == nullptr) return;
    // Placed once, beside the viewer; then the place and size the user gives
    // it are kept, unless the screen no longer holds the window whole.
    if (placed_ && screen->availableGeometry().contains(frameGeometry())) return;
    if (owner != nullptr) {
        window_placement::PlaceBeside(*this, *owner, placed_ ? size() : kWantedSize);
    } else {
        setGeometry(window_placement::Beside(screen->availableGeometry(), screen->availableGeometry(),
                                             placed_ ? size() : kWantedSize, QMargins()));
    }
    placed_ = true;
}

void CHelpWindow::keyPressEvent(QKeyEvent* event) {
    // Esc closes help from the keyboard, as it closes the viewer's dialogs.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString CHelpWindow::AnchorName(int context) { return QStringLiteral("context-%1").arg(context); }

bool CHelpWindow::ShowContext(const char* path, int context) {
    // Read by its bytes, as the core opens its files, so that any name the
    // installation directory holds reaches the file system unchanged.
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    QByteArray bytes;
    char chunk[8192];
    std::size_t got = 0;
    while (bytes.size() < kMaxHelpFileSize && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.append(chunk, static_cast<qsizetype>(got));
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || bytes.isEmpty()) return false;
    browser_->setHtml(cp1252::ToQString(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    const QString title = browser_->documentTitle();
    if (!title.isEmpty()) setWindowTitle(title);
    if (isMinimized()) showNormal();
    Place();
    show();
    raise();
    activateWindow();
    if (!ScrollToContext(context)) context_ = -1;
    return true;
}

QTextBlock CHelpWindow::TopicBlock(int context) const {
    const QString anchor = AnchorName(context);
    for (QTextBlock block = browser_->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorNames().contains(anchor)) return block;
        }
    }
    return QTextBlock();
}

bool CHelpWindow::ScrollToContext(int context) {
    if (!TopicBlock(context).isValid()) return false;
    // Lay the whole text out first, so that a topic near the end can be reached.
    browser_->document()->documentLayout()->documentSize();
    browser_->scrollToAnchor(AnchorName(context));
    context_ = context;
    return true;
}
