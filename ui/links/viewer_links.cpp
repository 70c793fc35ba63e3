#include "ui/links/viewer_links.h"

#include <QApplication>
#include <QDialog>

#include "browse/export/citation.h"
#include "browse/linkage/known_pairs.h"
#include "browse/linkage/link_disk.h"
#include "browse/linkage/link_index.h"
#include "browse/names/given_name_table.h"
#include "browse/record_text/more_info_title.h"
#include "browse/record_text/search_messages.h"
#include "browse/research_log/log_messages.h"
#include "browse/research_log/saved_person_reader.h"
#include "browse/same_person/kept_person.h"
#include "platform/message_box.h"
#include "store/catalogue.h"
#include "store/record_database.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/window_placement.h"
#include "ui/links/also_in_dlg.h"
#include "ui/links/compare_window.h"
#include "ui/research_log/viewer_log.h"
#include "ui/results/more_info_dlg.h"
#include "ui/results/people_commands.h"

namespace {

QString TitleOf(const ExportedHit& person) {
    const std::string row = person.surname + "\t" + person.givenNames + "\t" + person.summary;
    char title[kTitleWorkSize + 2];
    BuildMoreInfoTitle(row.c_str(), title, sizeof title);
    return cp1252::ToQString(title);
}

// Over a modal dialog a window takes no keys unless it is that dialog's: it
// is made the dialog's, and when the dialog closes, the next one's, and at
// last the main window's again, where it stays open.
void KeepAboveModal(QWidget* window, QWidget* main, QWidget* closing = nullptr) {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == closing) dialog = nullptr;
    QWidget* parent = dialog != nullptr && dialog != window ? dialog : main;
    if (window->parentWidget() != parent) {
        const QRect where = window->geometry();
        const bool shown = window->isVisible();
        window->setParent(parent, Qt::Window);
        window->setGeometry(where);
        if (shown) window->show();
    }
    if (dialog == nullptr || dialog == window) return;
    QPointer<QWidget> kept(window);
    QObject::connect(
        dialog, &QDialog::finished, window,
        [kept, main, dialog]() {
            if (!kept.isNull()) KeepAboveModal(kept, main, dialog);
        },
        Qt::SingleShotConnection);
}

}  // namespace

CViewerLinks::CViewerLinks(const CDirectories& dirs, CViewerLog& log, CPeopleCommands& commands,
                           QWidget* owner)
    : QObject(owner), dirs_(dirs), log_(log), commands_(commands), owner_(owner) {}

CViewerLinks::~CViewerLinks() = default;

bool CViewerLinks::Load() {
    if (index_ != nullptr) return true;
    if (failed_) return false;
    auto index = std::make_unique<linkage::CLinkIndex>(CGivenNameTable::Builtin());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const linkage::LoadOutcome loaded =
        linkage::LoadPeople(dirs_, catalogue::EveryDatabaseOfDisk(), *index, DiskPrompt{});
    QApplication::restoreOverrideCursor();
    if (loaded.noDisk || loaded.error.Failed()) {
        // Said once; links are then not offered until the viewer starts again.
        failed_ = true;
        if (loaded.error.Failed()) platform::Tell({search_messages::MessageOf(loaded.error)});
        return false;
    }
    index_ = std::move(index);
    return true;
}

bool CViewerLinks::PersonAt(int code, std::int32_t entry, research_log::PersonOnDisk& person) {
    if (!Load()) return false;
    for (std::uint32_t i = 0; i < index_->Size(); ++i) {
        if (index_->CodeOf(i) != code || index_->EntryOf(i) != entry) continue;
        person = same_person::KeptPersonOf(index_->Person(i));
        CRecordDatabase database(dirs_);
        ExportedHit read;
        StoreError error;
        if (research_log::ReadSavedPerson(database, person, read, error) ==
            research_log::SavedPersonRead::Read)
            person.summary = read.summary;
        return true;
    }
    return false;
}

std::vector<ShownLink> CViewerLinks::LinksOf(int code, std::int32_t entry) {
    std::vector<ShownLink> shown;
    if (!Load()) return shown;
    std::uint32_t self = 0;
    const auto size = static_cast<std::uint32_t>(index_->Size());
    while (self < size && !(index_->CodeOf(self) == code && index_->EntryOf(self) == entry)) ++self;
    if (self == size) return shown;
    linkage::CKnownPairs known;
    research_log::DiskIdentity disk;
    if (log_.Disk(disk)) {
        std::vector<research_log::PairVerdict> verdicts;
        log_.Tell(log_.Log().VerdictsOf(disk, {code, entry}, verdicts));
        for (const research_log::PairVerdict& verdict : verdicts) {
            known.Set({verdict.first.code, verdict.first.entry}, {verdict.second.code, verdict.second.entry},
                      verdict.sameness == research_log::Sameness::Same ? linkage::Known::Same
                                                                       : linkage::Known::NotSame);
        }
    }
    CRecordDatabase database(dirs_);
    for (linkage::Link& link : linkage::LinksOf(*index_, self, CGivenNameTable::Builtin(), &known)) {
        ShownLink one;
        one.person = same_person::KeptPersonOf(index_->Person(link.other));
        one.database = cp1252::ToQString(citation::DatabaseTitle(one.person.code).c_str());
        one.judgement = std::move(link.judgement);
        one.confirmed = link.confirmed;
        ExportedHit read;
        StoreError error;
        if (research_log::ReadSavedPerson(database, one.person, read, error) ==
            research_log::SavedPersonRead::Read)
            one.person.summary = read.summary;
        shown.push_back(std::move(one));
    }
    return shown;
}

void CViewerLinks::Attach(CMoreInfoDlg& dialog, int code, std::int32_t entry) {
    const std::vector<ShownLink> links = LinksOf(code, entry);
    dialog.SetLinkCount(static_cast<int>(links.size()));
    if (links.empty()) return;
    connect(&dialog, &CMoreInfoDlg::linksRequested, this, [this, &dialog, code, entry]() {
        research_log::PersonOnDisk self;
        if (!PersonAt(code, entry, self)) return;
        // Read again: a verdict given meanwhile counts.
        CAlsoInDlg also(&dialog, self, LinksOf(code, entry));
        connect(&also, &CAlsoInDlg::openRequested, this, [this, &also](const ShownLink& link) {
            CRecordDatabase database(dirs_);
            ExportedHit person;
            StoreError error;
            switch (research_log::ReadSavedPerson(database, link.person, person, error)) {
                case research_log::SavedPersonRead::Read:
                    break;
                case research_log::SavedPersonRead::NotThere:
                    platform::Tell({research_log::log_messages::NotOnDisk(link.person)});
                    return;
                case research_log::SavedPersonRead::Failed:
                    platform::Tell({search_messages::MessageOf(error)});
                    return;
            }
            CMoreInfoDlg more(&also);
            more.SetTitle(TitleOf(person));
            more.SetText(cp1252::ToQString(person.text.c_str()));
            more.SetWholeRecord(commands_.WholeRecordOf(person, more.Title()));
            connect(&more, &CMoreInfoDlg::printRequested, this, [this, &more, &person]() {
                commands_.PrintRecordText(more.Title(), more.Text(), &more, person.code, &more.WholeRecord());
            });
            connect(&more, &CMoreInfoDlg::citationRequested, this,
                    [this, &person]() { commands_.CopyCitation(person); });
            connect(&more, &CMoreInfoDlg::saveRequested, this,
                    [this, &person, &more]() { emit saveRequested(person, &more); });
            Attach(more, person.code, person.entry);
            more.DoModal();
        });
        connect(&also, &CAlsoInDlg::compareRequested, this,
                [this, self](const ShownLink& link) { Compare(self, link.person); });
        also.exec();
        // A pair refused or confirmed meanwhile changes the count.
        dialog.SetLinkCount(static_cast<int>(LinksOf(code, entry).size()));
    });
}

bool CViewerLinks::Compare(const research_log::PersonOnDisk& first,
                           const research_log::PersonOnDisk& second) {
    CRecordDatabase database(dirs_);
    CCompareWindow::Side sides[2];
    const research_log::PersonOnDisk* people[2] = {&first, &second};
    for (int k = 0; k < 2; ++k) {
        ExportedHit person;
        StoreError error;
        switch (research_log::ReadSavedPerson(database, *people[k], person, error)) {
            case research_log::SavedPersonRead::Read:
                break;
            case research_log::SavedPersonRead::NotThere:
                platform::Tell({research_log::log_messages::NotOnDisk(*people[k])});
                return false;
            case research_log::SavedPersonRead::Failed:
                platform::Tell({search_messages::MessageOf(error)});
                return false;
        }
        sides[k].person = *people[k];
        sides[k].person.summary = person.summary;
        sides[k].database = cp1252::ToQString(citation::DatabaseTitle(person.code).c_str());
        sides[k].whole = commands_.WholeRecordOf(person, TitleOf(person));
    }
    // Beside the window it was asked from (a modal dialog's, or the main window).
    QWidget* from = QApplication::activeModalWidget();
    if (from == nullptr) from = owner_->window();
    auto* window = new CCompareWindow(owner_->window(), log_, sides[0], sides[1]);
    KeepAboveModal(window, owner_->window());
    window_placement::PlaceBeside(*window, *from, window->size());
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}
