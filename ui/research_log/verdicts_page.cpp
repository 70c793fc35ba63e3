#include "ui/research_log/verdicts_page.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "browse/export/citation.h"
#include "ui/common/cp1252_qt.h"
#include "ui/research_log/viewer_log.h"

namespace {

QString RecordText(const research_log::PersonOnDisk& person) {
    // The roll of honor, which no list row shows, by its title as citations give it.
    return cp1252::ToQString(
        (person.surname + ", " + person.givenNames + " (" + citation::DatabaseTitle(person.code) + ")")
            .c_str());
}

}  // namespace

CVerdictsPage::CVerdictsPage(QWidget* parent, CViewerLog& log)
    : QWidget(parent),
      log_(log),
      list_(new QTreeWidget(this)),
      takeBack_(new QPushButton(QStringLiteral("&Take Back"), this)),
      undo_(new QPushButton(QStringLiteral("Und&o"), this)) {
    list_->setObjectName(QStringLiteral("VerdictList"));
    list_->setAccessibleName(QStringLiteral("Verdicts"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("Verdict"), QStringLiteral("Record"),
                            QStringLiteral("Other record"), QStringLiteral("Note"), QStringLiteral("Time")});
    list_->setColumnWidth(0, 140);
    list_->setColumnWidth(1, 230);
    list_->setColumnWidth(2, 230);
    list_->installEventFilter(this);
    takeBack_->setObjectName(QStringLiteral("TakeBackVerdict"));
    undo_->setObjectName(QStringLiteral("UndoVerdict"));
    undo_->setEnabled(false);
    connect(takeBack_, &QPushButton::clicked, this, &CVerdictsPage::TakeBack);
    connect(undo_, &QPushButton::clicked, this, [this]() { Undo(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(takeBack_);
    buttons->addWidget(undo_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    connect(&log_, &CViewerLog::changed, this, &CVerdictsPage::Reload);
    Reload();
}

void CVerdictsPage::Reload() {
    const int current = list_->indexOfTopLevelItem(list_->currentItem());
    list_->clear();
    verdicts_.clear();
    research_log::DiskIdentity disk;
    const bool known = log_.Disk(disk);
    log_.Tell(log_.Log().Verdicts(known ? &disk : nullptr, true, verdicts_));
    for (const research_log::PairVerdict& verdict : verdicts_) {
        QString note = cp1252::ToQString(verdict.note.c_str());
        if (!verdict.ofThisDisk) note = QStringLiteral("[another disk] ") + note;
        new QTreeWidgetItem(list_, {QString::fromLatin1(research_log::SamenessText(verdict.sameness)),
                                    RecordText(verdict.first), RecordText(verdict.second), note,
                                    QString::fromLatin1(verdict.time.c_str())});
    }
    const int count = list_->topLevelItemCount();
    if (count > 0) list_->setCurrentItem(list_->topLevelItem(std::min(std::max(current, 0), count - 1)));
    takeBack_->setEnabled(count > 0);
}

void CVerdictsPage::TakeBack() {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || row >= static_cast<int>(verdicts_.size())) return;
    bool found = false;
    research_log::PairVerdict removed;
    if (!log_.Tell(log_.Log().RemoveVerdict(verdicts_[static_cast<std::size_t>(row)].id, found, removed)))
        return;
    if (found && removed.id != 0 && !removed.first.surname.empty()) takenBack_.push_back(removed);
    undo_->setEnabled(!takenBack_.empty());
    Reload();
}

bool CVerdictsPage::Undo() {
    if (takenBack_.empty()) return false;
    const bool put = log_.Tell(log_.Log().UndoRemoveVerdict(takenBack_.back()));
    if (put) takenBack_.pop_back();
    undo_->setEnabled(!takenBack_.empty());
    Reload();
    return put;
}

bool CVerdictsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            TakeBack();
            return true;
        }
        if (key->matches(QKeySequence::Undo)) {
            Undo();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
