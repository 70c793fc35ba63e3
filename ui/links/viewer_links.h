#pragma once
// CViewerLinks: the same person in other databases, for the viewer. The
// people of the disk are read into a link index once, the first time a
// record's links are asked for (the sample disk's in a moment), and kept
// while the disk is the same; the research log's verdicts are read at every
// asking, so that a verdict just given counts at once.
//
// More Info of a record is handed over as it opens (Attach): when the
// record has links, its "Also in Other Databases" button lists them; Enter
// there opens the record's More Info, which has links of its own, and
// Compare opens the two records side by side (CCompareWindow), beside the
// window it was asked from, whole on the screen.

#include <cstdint>
#include <memory>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>

#include "browse/record_text/found_person.h"
#include "browse/research_log/log_entries.h"
#include "ui/links/shown_link.h"

class CDirectories;
class CMoreInfoDlg;
class CPeopleCommands;
class CViewerLog;
class QWidget;
namespace linkage {
class CLinkIndex;
}

class CViewerLinks : public QObject {
    Q_OBJECT
public:
    // owner: a widget of the main window, whose window the Compare windows belong to.
    CViewerLinks(const CDirectories& dirs, CViewerLog& log, CPeopleCommands& commands, QWidget* owner);
    ~CViewerLinks() override;

    // The links of the record at code and entry: confirmed first, then
    // likely, then possible; refused pairs left out. Empty when the people
    // cannot be read (said once).
    std::vector<ShownLink> LinksOf(int code, std::int32_t entry);
    // Gives dialog, the More Info of the record at code and entry, its links.
    void Attach(CMoreInfoDlg& dialog, int code, std::int32_t entry);
    // The two records side by side in a window of their own; false after
    // saying why when a record cannot be read.
    bool Compare(const research_log::PersonOnDisk& first, const research_log::PersonOnDisk& second);
    // The person at code and entry as the log keeps them (summary read
    // from the disk); false when not among the people linked.
    bool PersonAt(int code, std::int32_t entry, research_log::PersonOnDisk& person);

signals:
    // Ctrl+S in the More Info of a linked record: save person over over.
    void saveRequested(const ExportedHit& person, QWidget* over);

private:
    bool Load();

    const CDirectories& dirs_;
    CViewerLog& log_;
    CPeopleCommands& commands_;
    QWidget* owner_;
    std::unique_ptr<linkage::CLinkIndex> index_;
    bool failed_ = false;
};
