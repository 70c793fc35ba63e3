#include "ui/links/compare_window.h"

#include <QBrush>
#include <QColor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/common/cp1252_qt.h"
#include "ui/links/compared_rows.h"
#include "ui/research_log/viewer_log.h"

namespace {

// Light colours under black text; the word in the last column says the same.
QColor ColourOf(Agreement agreement) {
    switch (agreement) {
        case Agreement::Agree:
            return QColor(0xd8, 0xf0, 0xd8);
        case Agreement::InPart:
            return QColor(0xf0, 0xf0, 0xc8);
        case Agreement::Differ:
            return QColor(0xf8, 0xd8, 0xd0);
        case Agreement::OnlyFirst:
        case Agreement::OnlySecond:
            return QColor(0xe8, 0xe8, 0xe8);
    }
    return QColor();
}

QString NameOf(const research_log::PersonOnDisk& person) {
    return cp1252::ToQString((person.surname + ", " + person.givenNames).c_str());
}

}  // namespace

CCompareWindow::CCompareWindow(QWidget* parent, CViewerLog& log, Side first, Side second)
    : QWidget(parent, Qt::Window),
      log_(log),
      first_(std::move(first)),
      second_(std::move(second)),
      rows_(new QTreeWidget(this)),
      verdict_(new QLabel(this)),
      note_(new QLineEdit(this)),
      same_(new QPushButton(QStringLiteral("&Same person"), this)),
      notSame_(new QPushButton(QStringLiteral("&Not the same person"), this)) {
    setObjectName(QStringLiteral("CompareWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Compare: ") + NameOf(first_.person) + QStringLiteral(" / ") +
                   NameOf(second_.person));
    rows_->setObjectName(QStringLiteral("CompareRows"));
    rows_->setAccessibleName(QStringLiteral("Fields of the two records"));
    rows_->setRootIsDecorated(false);
    rows_->setAlternatingRowColors(false);
    rows_->setWordWrap(true);
    rows_->setHeaderLabels(
        {QStringLiteral("Field"), first_.database, second_.database, QStringLiteral("Compared")});
    verdict_->setObjectName(QStringLiteral("CompareVerdict"));
    // A long note wraps rather than widening the window past the screen.
    verdict_->setWordWrap(true);
    note_->setObjectName(QStringLiteral("CompareNote"));
    note_->setMaxLength(static_cast<int>(research_log::kMaxNote));
    auto* noteLabel = new QLabel(QStringLiteral("N&ote:"), this);
    noteLabel->setBuddy(note_);
    same_->setObjectName(QStringLiteral("SamePerson"));
    notSame_->setObjectName(QStringLiteral("NotSamePerson"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CompareClose"));
    connect(same_, &QPushButton::clicked, this, [this]() { Judge(research_log::Sameness::Same); });
    connect(notSame_, &QPushButton::clicked, this, [this]() { Judge(research_log::Sameness::NotSame); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    auto* noteRow = new QHBoxLayout;
    noteRow->addWidget(noteLabel);
    noteRow->addWidget(note_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(same_);
    buttons->addWidget(notSame_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rows_, 1);
    layout->addWidget(verdict_);
    layout->addLayout(noteRow);
    layout->addLayout(buttons);
    setTabOrder(rows_, note_);
    setTabOrder(note_, same_);
    setTabOrder(same_, notSame_);
    setTabOrder(notSame_, close);
    Fill();
    ShowVerdict();
    resize(900, 560);
}

void CCompareWindow::Fill() {
    const QString firstName = first_.database;
    const QString secondName = second_.database;
    auto add = [this](const QString& heading, const QString& a, const QString& b, const QString& word,
                      const QColor& colour) {
        auto* item = new QTreeWidgetItem(rows_, {heading, a, b, word});
        if (colour.isValid()) {
            for (int column = 0; column < 4; ++column) item->setBackground(column, QBrush(colour));
        }
        item->setForeground(3, QBrush(Qt::black));
        // A value cut at its column's edge is read whole in its tip.
        for (int column = 0; column < 4; ++column) item->setToolTip(column, item->text(column));
        return item;
    };
    // The names first, as the index holds them.
    const QString nameA = NameOf(first_.person);
    const QString nameB = NameOf(second_.person);
    const std::vector<ComparedRow> names =
        CompareFields({{QStringLiteral("Name"), nameA}}, {{QStringLiteral("Name"), nameB}});
    for (const ComparedRow& row : names)
        add(row.heading, row.first, row.second, AgreementText(row.agreement, firstName, secondName),
            ColourOf(row.agreement));
    for (const ComparedRow& row : CompareFields(first_.whole.fields, second_.whole.fields)) {
        add(row.heading, row.first, row.second, AgreementText(row.agreement, firstName, secondName),
            ColourOf(row.agreement));
    }
    // Where each database's records came from, not compared: they differ by nature.
    QFont bold = rows_->font();
    bold.setBold(true);
    QTreeWidgetItem* title =
        add(QStringLiteral("Where the records came from"), QString(), QString(), QString(), QColor());
    title->setFont(0, bold);
    title->setFirstColumnSpanned(true);  // the heading whole, across the columns
    for (const ProvenanceRow& row : AlignProvenance(first_.whole.provenance, second_.whole.provenance))
        add(row.key, row.first, row.second, QString(), QColor());
    rows_->header()->setSectionResizeMode(QHeaderView::Interactive);
    rows_->setColumnWidth(0, 170);
    rows_->setColumnWidth(1, 300);
    rows_->setColumnWidth(2, 300);
    if (rows_->topLevelItemCount() > 0) rows_->setCurrentItem(rows_->topLevelItem(0));
}

void CCompareWindow::ShowVerdict() {
    research_log::DiskIdentity disk;
    research_log::PairVerdict verdict;
    bool found = false;
    if (log_.Disk(disk)) {
        log_.Tell(log_.Log().VerdictOn(disk, {first_.person.code, first_.person.entry},
                                       {second_.person.code, second_.person.entry}, found, verdict));
    }
    if (!found) {
        verdict_->setText(QStringLiteral("No verdict on these two records yet."));
        return;
    }
    QString text = QStringLiteral("Kept in the research log: ") +
                   QString::fromLatin1(research_log::SamenessText(verdict.sameness)) + QStringLiteral(" (") +
                   QString::fromLatin1(verdict.time.c_str()) + QStringLiteral(")");
    if (!verdict.note.empty()) text += QStringLiteral(": ") + cp1252::ToQString(verdict.note.c_str());
    verdict_->setText(text);
    if (note_->text().isEmpty()) note_->setText(cp1252::ToQString(verdict.note.c_str()));
}

bool CCompareWindow::Judge(research_log::Sameness sameness) {
    research_log::DiskIdentity disk;
    if (!log_.Disk(disk)) {
        verdict_->setText(QStringLiteral("The data disk cannot be told: nothing was kept."));
        return false;
    }
    const std::string note = cp1252::FromQString(note_->text()).toStdString();
    const bool kept = log_.Tell(log_.Log().SetVerdict(disk, first_.person, second_.person, sameness, &note));
    ShowVerdict();
    if (kept) emit log_.changed();
    return kept;
}
