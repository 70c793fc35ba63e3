#include "ui/links/also_in_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "browse/linkage/link_index.h"
#include "ui/common/cp1252_qt.h"

namespace {

QString NameOf(const research_log::PersonOnDisk& person) {
    return cp1252::ToQString((person.surname + ", " + person.givenNames).c_str());
}

}  // namespace

CAlsoInDlg::CAlsoInDlg(QWidget* parent, const research_log::PersonOnDisk& person,
                       std::vector<ShownLink> links)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      links_(std::move(links)),
      list_(new QTreeWidget(this)),
      open_(new QPushButton(QStringLiteral("&More Info"), this)),
      compare_(new QPushButton(QStringLiteral("&Compare\u2026"), this)) {
    setObjectName(QStringLiteral("AlsoInDialog"));
    setWindowTitle(QStringLiteral("Also in other databases: ") + NameOf(person));
    list_->setObjectName(QStringLiteral("AlsoInList"));
    list_->setAccessibleName(QStringLiteral("Also in other databases"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("Database"), QStringLiteral("Name"), QStringLiteral("Summary"),
                            QStringLiteral("Verdict"), QStringLiteral("Score"), QStringLiteral("Reasons")});
    for (const ShownLink& link : links_) {
        auto* item = new QTreeWidgetItem(
            list_,
            {link.database, NameOf(link.person), cp1252::ToQString(link.person.summary.c_str()),
             QString::fromLatin1(linkage::ShownVerdict(link.judgement, link.confirmed)),
             QString::number(link.judgement.score), cp1252::ToQString(link.judgement.ReasonText().c_str())});
        item->setToolTip(5, item->text(5));
    }
    list_->setColumnWidth(0, 190);
    list_->setColumnWidth(1, 190);
    list_->setColumnWidth(2, 220);
    list_->setColumnWidth(3, 75);
    list_->setColumnWidth(4, 45);
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    list_->installEventFilter(this);
    connect(list_, &QTreeWidget::itemActivated, this, [this]() {
        if (Current() != nullptr) emit openRequested(*Current());
    });
    open_->setObjectName(QStringLiteral("AlsoInMoreInfo"));
    open_->setAutoDefault(false);
    compare_->setObjectName(QStringLiteral("AlsoInCompare"));
    compare_->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("AlsoInClose"));
    close->setAutoDefault(false);
    connect(open_, &QPushButton::clicked, this, [this]() {
        if (Current() != nullptr) emit openRequested(*Current());
    });
    connect(compare_, &QPushButton::clicked, this, [this]() {
        if (Current() != nullptr) emit compareRequested(*Current());
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(open_);
    buttons->addWidget(compare_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(980, 300);
    list_->setFocus(Qt::OtherFocusReason);
}

const ShownLink* CAlsoInDlg::Current() const {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    return row >= 0 && row < static_cast<int>(links_.size()) ? &links_[static_cast<std::size_t>(row)]
                                                             : nullptr;
}

bool CAlsoInDlg::eventFilter(QObject* watched, QEvent* event) {
    // Enter on the list opens the record's More Info rather than closing the dialog.
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && Current() != nullptr) {
            emit openRequested(*Current());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
