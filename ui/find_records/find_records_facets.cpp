// Find in Records' facets: the panel beside the list (ui/facets/) counts
// the people of each answer shown, off the interface thread, over the
// databases answered; a choice in it narrows the query as typing it would.

#include <algorithm>

#include <QComboBox>
#include <QLineEdit>

#include "browse/record_query/record_query.h"
#include "ui/facets/facet_finder.h"
#include "ui/facets/facets_panel.h"
#include "ui/find_records/find_records_dlg.h"

void CFindRecordsDlg::BuildFacets() {
    facets_ = new CFacetsPanel(this);
    facetFinder_ = new CFacetFinder(dirs_, finder_.CacheFolder(), this);
    connect(facetFinder_, &CFacetFinder::answered, this, [this](const CFacetFinder::Answer& answer) {
        if (answer.generation != facetsAsked_) return;
        facetsShown_ = answer.generation;
        if (answer.outcome.status == FindStatus::Done) {
            facets_->SetCounts(answer.counts);
        } else {
            facets_->Clear();
            facets_->SetNote(answer.outcome.status == FindStatus::UsageError
                                 ? QString::fromStdString(answer.outcome.usage)
                                 : QStringLiteral("Not counted."));
        }
    });
    connect(facets_, &CFacetsPanel::databaseChosen, this, &CFindRecordsDlg::ChooseDatabase);
    connect(facets_, &CFacetsPanel::yearsChosen, this, [this](int from, int to) {
        yearsFrom_->setText(QString::number(from));
        yearsTo_->setText(QString::number(to));
        Refresh();
    });
    connect(facets_, &CFacetsPanel::valueChosen, this, [this](const QString& field, const QString& value) {
        const int row = fieldBox_->findData(field);
        if (row < 0) return;
        fieldBox_->setCurrentIndex(row);
        // The value as a phrase: its words in its order, in that field alone.
        QString phrase = value;
        phrase.remove(QLatin1Char('"'));
        text_->setText(QLatin1Char('"') + phrase + QLatin1Char('"'));
        Refresh();
    });
    connect(facets_, &CFacetsPanel::valuesFieldChanged, this, [this]() { AskFacets(); });
}

void CFindRecordsDlg::AskFacets() {
    CFacetFinder::Ask ask;
    ask.facets = facets_->Request();
    if (shown_ != asked_ || !facetsQuery_) {
        // Nothing to count: no answer waits for its counts either.
        facets_->Clear();
        facets_->SetNote(QString());
        facetsShown_ = facetsAsked_;
        return;
    }
    ask.search.query = facetsQuery_->query;
    // The range asked stays marked on the histogram's bars.
    const record_query::YearRange& range = facetsQuery_->query.years;
    facets_->SetYearsRange(range.given, range.from, range.to);
    ask.search.field = facetsQuery_->field;
    ask.search.abbreviations = facetsQuery_->abbreviations;
    // The databases answered: those whose index is being made are counted once it is.
    for (int code : facetsQuery_->codes) {
        if (std::find(waiting_.begin(), waiting_.end(), code) == waiting_.end() &&
            std::find(declined_.begin(), declined_.end(), code) == declined_.end())
            ask.search.codes.push_back(code);
    }
    facets_->SetNote(waiting_.empty() && declined_.empty()
                         ? QString()
                         : QStringLiteral("Counted over the databases answered so far."));
    facetsAsked_ = facetFinder_->Start(std::move(ask));
}

void CFindRecordsDlg::AskCoverage() {
    // Nothing typed: the years the databases looked in cover.
    record_query::YearRange every;
    every.given = true;
    every.from = facets::kFirstYear;
    every.to = facets::kLastYear;
    CFacetFinder::Ask ask;
    ask.search.query = record_query::Parse("", every).query;
    ask.search.codes = scopeBox_->Codes();
    ask.facets = facets_->Request();
    facets_->SetYearsRange(false, 0, 0);
    facets_->SetNote(QStringLiteral("Nothing typed: the years the databases cover."));
    facetsAsked_ = facetFinder_->Start(std::move(ask));
}

void CFindRecordsDlg::ChooseDatabase(int code) {
    // The scope box says so, and its change asks the query again.
    const bool changed = scopeBox_->Chosen() != Scope::ChosenDatabase;
    scopeBox_->ChooseDatabase(code);
    if (!changed) {
        FillFields(fieldBox_->currentData().toString());
        Refresh();
    }
}
