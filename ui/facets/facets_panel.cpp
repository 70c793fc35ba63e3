#include "ui/facets/facets_panel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "browse/record_query/record_fields.h"
#include "store/catalogue.h"
#include "ui/common/cp1252_qt.h"
#include "ui/facets/facet_bars.h"
#include "ui/facets/facets_accessibility.h"
#include "ui/facets/years_histogram.h"

CFacetsPanel::CFacetsPanel(QWidget* parent)
    : QWidget(parent),
      // The screen readers' interfaces of the bars, before the bars are named,
      // which screen readers may already ask about.
      databases_((facets_accessibility::Install(),
                  new CFacetBars(QStringLiteral("FacetDatabases"), QStringLiteral("People per database"),
                                 catalogue::kRowCount, this))),
      years_(new CYearsHistogram(this)),
      earlier_(new QPushButton(this)),
      later_(new QPushButton(this)),
      valuesField_(new QComboBox(this)),
      values_(new CFacetBars(QStringLiteral("FacetValues"), QStringLiteral("Most frequent values"),
                             kValuesShown, this)),
      note_(new QLabel(this)) {
    setObjectName(QStringLiteral("FacetsPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* databasesLabel = new QLabel(QStringLiteral("People per &database:"), this);
    databasesLabel->setBuddy(databases_);
    auto* yearsLabel = new QLabel(QStringLiteral("Years (&click or drag to set the range):"), this);
    yearsLabel->setBuddy(years_);
    auto* valuesLabel = new QLabel(QStringLiteral("Most frequent &values of:"), this);
    valuesLabel->setBuddy(valuesField_);
    // The panel is a quarter of the window: the labels wrap, and a long
    // heading is cut in the closed box, rather than narrowing the people's list.
    for (QLabel* label : {databasesLabel, yearsLabel, valuesLabel}) label->setWordWrap(true);
    valuesField_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    valuesField_->setMinimumContentsLength(12);
    valuesField_->setObjectName(QStringLiteral("FacetValuesField"));
    valuesField_->setAccessibleName(QStringLiteral("Most frequent values of"));
    earlier_->setObjectName(QStringLiteral("FacetYearsEarlier"));
    later_->setObjectName(QStringLiteral("FacetYearsLater"));
    for (QPushButton* end : {earlier_, later_}) {
        end->setAutoDefault(false);
        end->hide();
    }
    note_->setObjectName(QStringLiteral("FacetsNote"));
    note_->setWordWrap(true);
    note_->hide();
    layout->addWidget(databasesLabel);
    layout->addWidget(databases_);
    layout->addWidget(yearsLabel);
    layout->addWidget(years_);
    auto* outside = new QHBoxLayout;
    outside->addWidget(earlier_);
    outside->addStretch(1);
    outside->addWidget(later_);
    layout->addLayout(outside);
    layout->addWidget(valuesLabel);
    layout->addWidget(valuesField_);
    layout->addWidget(values_);
    layout->addWidget(note_);
    layout->addStretch(1);
    SetFields({});

    connect(databases_, &CFacetBars::chosen, this, [this](int i) {
        if (i >= 0 && i < static_cast<int>(codes_.size()))
            emit databaseChosen(codes_[static_cast<std::size_t>(i)]);
    });
    connect(years_, &CYearsHistogram::yearsChosen, this, &CFacetsPanel::yearsChosen);
    connect(years_, &CYearsHistogram::laidOut, this, &CFacetsPanel::ShowOutside);
    connect(earlier_, &QPushButton::clicked, this,
            [this]() { emit yearsChosen(years_->Earlier().first, years_->Earlier().last); });
    connect(later_, &QPushButton::clicked, this,
            [this]() { emit yearsChosen(years_->Later().first, years_->Later().last); });
    connect(values_, &CFacetBars::chosen, this, [this](int i) {
        if (i >= 0 && i < values_->Count()) emit valueChosen(ValuesField(), values_->BarAt(i).label);
    });
    connect(valuesField_, &QComboBox::currentIndexChanged, this, [this]() {
        values_->SetBars({});
        emit valuesFieldChanged();
    });
}

void CFacetsPanel::SetFields(const QStringList& headings) {
    const QString keep = ValuesField();
    const QSignalBlocker quiet(valuesField_);
    valuesField_->clear();
    valuesField_->addItem(QStringLiteral("(none)"), QString());
    for (const QString& heading : headings) valuesField_->addItem(heading, heading);
    valuesField_->setCurrentIndex(std::max(0, valuesField_->findData(keep)));
}

QString CFacetsPanel::ValuesField() const { return valuesField_->currentData().toString(); }

facets::FacetRequest CFacetsPanel::Request() const {
    facets::FacetRequest request;
    request.databases = true;
    request.years = true;
    const QString field = ValuesField();
    if (!field.isEmpty()) {
        std::string error;
        request.values = record_fields::ParseFieldChoice(cp1252::FromQString(field).toStdString(),
                                                         request.valuesField, error);
    }
    return request;
}

void CFacetsPanel::SetCounts(const facets::FacetCounts& counts) {
    std::vector<CFacetBars::Bar> databases;
    codes_.clear();
    for (const facets::DatabaseCount& one : counts.databases) {
        codes_.push_back(one.code);
        databases.push_back(CFacetBars::Bar{QString::fromLatin1(catalogue::NameOfCode(one.code)), one.count});
    }
    databases_->SetBars(std::move(databases));
    years_->SetYears(counts.years);
    std::vector<CFacetBars::Bar> values;
    for (const facets::ValueCount& one : counts.values) {
        if (static_cast<int>(values.size()) == kValuesShown) break;
        values.push_back(CFacetBars::Bar{cp1252::ToQString(one.value.data(), one.value.size()), one.count});
    }
    values_->SetBars(std::move(values));
}

void CFacetsPanel::SetNote(const QString& note) {
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

void CFacetsPanel::SetYearsRange(bool given, int from, int to) { years_->SetRange(given, from, to); }

void CFacetsPanel::ShowOutside() {
    const auto show = [](QPushButton* button, const year_bins::Outside& end, const QString& where) {
        button->setVisible(end.count > 0);
        if (end.count == 0) return;
        const QString years = end.first == end.last ? QString::number(end.first)
                                                    : QStringLiteral("%1 to %2").arg(end.first).arg(end.last);
        const QString count = QLocale::system().toString(static_cast<qlonglong>(end.count));
        button->setText(QStringLiteral("%1 %2 (%3)").arg(count, where, years));
        // Read with what it counts and what a press does.
        button->setAccessibleName(
            QStringLiteral("%1 %2 %3 than the bars, %4")
                .arg(count, end.count == 1 ? QStringLiteral("person") : QStringLiteral("people"), where,
                     years));
        button->setToolTip(QStringLiteral("Set the years range to %1").arg(years));
    };
    show(earlier_, years_->Earlier(), QStringLiteral("earlier"));
    show(later_, years_->Later(), QStringLiteral("later"));
}

void CFacetsPanel::Clear() { SetCounts(facets::FacetCounts{}); }
