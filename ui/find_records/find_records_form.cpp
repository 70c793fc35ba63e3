// Find in Records' query form: its controls laid out with their captions
// and Tab order, the field box filled from the headings of the databases
// looked in, and the choices and the years read back from it.

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "browse/record_text/search_messages.h"
#include "ui/common/count_label.h"
#include "ui/common/cp1252_qt.h"
#include "ui/facets/facet_bars.h"
#include "ui/facets/facets_panel.h"
#include "ui/facets/years_histogram.h"
#include "ui/find_records/find_records_dlg.h"
#include "ui/find_records/found_people_list.h"
#include "ui/find_records/indexing_line.h"

namespace {

// The field box's entries beyond the headings: their texts and what --field calls them.
constexpr const char* kSurnameChoice = "surname";
constexpr const char* kGivenChoice = "given";

}  // namespace

void CFindRecordsDlg::BuildLayout() {
    auto* buttons = new QDialogButtonBox(this);
    buttons_ = buttons;
    moreInfoButton_ = buttons->addButton(QStringLiteral("&More Info"), QDialogButtonBox::ActionRole);
    moreInfoButton_->setObjectName(QStringLiteral("RecordsMoreInfo"));
    moreInfoButton_->setDefault(true);
    showButton_ = buttons->addButton(QStringLiteral("&Show in Main Window"), QDialogButtonBox::ActionRole);
    showButton_->setObjectName(QStringLiteral("RecordsShow"));
    resultsButton_ = buttons->addButton(QStringLiteral("&Results\u2026"), QDialogButtonBox::ActionRole);
    resultsButton_->setObjectName(QStringLiteral("RecordsResults"));
    helpButton_ = buttons->addButton(QDialogButtonBox::Help);
    helpButton_->setObjectName(QStringLiteral("RecordsHelp"));
    helpButton_->setShortcut(QKeySequence(Qt::Key_F1));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("RecordsClose"));
    for (QPushButton* button : {showButton_, resultsButton_, helpButton_, close})
        button->setAutoDefault(false);
    connect(moreInfoButton_, &QPushButton::clicked, this, [this]() { RunCommand(MenuCommand::MoreInfo); });
    connect(showButton_, &QPushButton::clicked, this, &CFindRecordsDlg::accept);
    connect(resultsButton_, &QPushButton::clicked, this,
            [this]() { ShowMenu(resultsButton_->mapToGlobal(resultsButton_->rect().bottomLeft())); });
    connect(helpButton_, &QPushButton::clicked, this, &CFindRecordsDlg::ShowHelp);
    connect(close, &QPushButton::clicked, this, &CFindRecordsDlg::reject);

    // Labels with their keys; each names the control it stands before.
    auto* form = new QFormLayout;
    auto caption = [this](const char* label, QWidget* field) {
        auto* shown = new QLabel(QString::fromLatin1(label), this);
        shown->setBuddy(field);
        return shown;
    };
    auto* textColumn = new QVBoxLayout;
    textColumn->setSpacing(2);
    textColumn->addWidget(text_);
    textColumn->addWidget(hint_);
    form->addRow(caption("&Find:", text_), textColumn);
    form->addRow(caption("F&ield:", fieldBox_), fieldBox_);
    auto* years = new QHBoxLayout;
    years->addWidget(yearsFrom_);
    years->addWidget(caption("&to", yearsTo_));
    years->addWidget(yearsTo_);
    years->addStretch(1);
    form->addRow(caption("&Years from:", yearsFrom_), years);
    form->addRow(caption("&Look in:", scopeBox_), scopeBox_);
    form->addRow(QString(), abbreviations_);

    auto* countLine = new QHBoxLayout;
    countLine->addWidget(caption("&People:", PeopleList()));
    countLine->addWidget(count_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(countLine);
    layout->addWidget(indexing_);
    // The facets beside the people, narrower.
    auto* found = new QHBoxLayout;
    found->addWidget(people_, 3);
    found->addWidget(facets_, 1);
    layout->addLayout(found, 1);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    setTabOrder(text_, fieldBox_);
    setTabOrder(fieldBox_, yearsFrom_);
    setTabOrder(yearsFrom_, yearsTo_);
    setTabOrder(yearsTo_, scopeBox_);
    setTabOrder(scopeBox_, abbreviations_);
    setTabOrder(abbreviations_, IndexingButton());
    setTabOrder(IndexingButton(), PeopleList());
    setTabOrder(PeopleList(), facets_->Databases());
    setTabOrder(facets_->Databases(), facets_->Years());
    setTabOrder(facets_->Years(), facets_->EarlierYears());
    setTabOrder(facets_->EarlierYears(), facets_->LaterYears());
    setTabOrder(facets_->LaterYears(), facets_->ValuesFieldBox());
    setTabOrder(facets_->ValuesFieldBox(), facets_->Values());
    setTabOrder(facets_->Values(), moreInfoButton_);
    // The buttons follow in the order the style shows them (showEvent).

    QSize wanted(people_->WantedWidth() + facets_->sizeHint().width(), 32 * fontMetrics().height());
    // Within the screen the window opens on, which may be small.
    if (const QScreen* screen = (parentWidget() != nullptr ? parentWidget() : this)->screen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(wanted.expandedTo(sizeHint()));
}

FieldHeadings CFindRecordsDlg::HeadingsShown(int code) const {
    const auto known = headingsShown_.find(code);
    return known != headingsShown_.end() ? known->second : FieldHeadings(code);
}

void CFindRecordsDlg::FillFields(const QString& keep) {
    // The headings of the databases looked in, each once, then the surname
    // and the given names: those the disk gives, else the label tables'. A
    // disk whose headings cannot be read is named by the label tables; the
    // search says what is wrong with it.
    std::vector<FieldHeadings> databases;
    for (int code : scopeBox_->Codes()) {
        FieldHeadings headings;
        (void)ReadFieldHeadings(dirs_, code, headings);
        databases.push_back(std::move(headings));
    }
    QStringList headings;
    for (const std::string& heading : record_fields::HeadingsOfAll(databases))
        headings << cp1252::ToQString(heading.c_str());
    const QSignalBlocker quiet(fieldBox_);
    fieldBox_->clear();
    fieldBox_->addItem(QStringLiteral("Any field"), QString());
    for (const QString& heading : headings) fieldBox_->addItem(heading, heading);
    fieldBox_->addItem(QStringLiteral("Surname"), QString::fromLatin1(kSurnameChoice));
    fieldBox_->addItem(QStringLiteral("Given names"), QString::fromLatin1(kGivenChoice));
    // A heading the databases looked in do not have gives way to any field.
    fieldBox_->setCurrentIndex(std::max(0, fieldBox_->findData(keep)));
    facets_->SetFields(headings);
}

CFindRecordsDlg::Choices CFindRecordsDlg::CurrentChoices() const {
    Choices choices;
    choices.text = text_->text();
    choices.field = fieldBox_->currentData().toString();
    choices.yearsFrom = yearsFrom_->text();
    choices.yearsTo = yearsTo_->text();
    choices.scope = scopeBox_->Chosen();
    choices.abbreviations = abbreviations_->isChecked();
    choices.sort = sort_;
    choices.size = size();
    return choices;
}

bool CFindRecordsDlg::ReadYears(record_query::YearRange& years, QString& error) const {
    const QString from = yearsFrom_->text().trimmed();
    const QString to = yearsTo_->text().trimmed();
    years = record_query::YearRange{};
    if (from.isEmpty() && to.isEmpty()) return true;
    // Either end may be left open.
    const std::string range = (from.isEmpty() ? QStringLiteral("0") : from).toStdString() + "-" +
                              (to.isEmpty() ? QStringLiteral("9999") : to).toStdString();
    std::string why;
    if (record_query::ParseYears(range, years, why)) return true;
    error = cp1252::ToQString(search_messages::YearsNotRange(why).c_str());
    return false;
}
