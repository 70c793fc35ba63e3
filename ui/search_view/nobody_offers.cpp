#include "ui/search_view/nobody_offers.h"

#include <utility>

#include <QStringList>
#include <QWidget>

#include "platform/message_box.h"
#include "store/catalogue.h"
#include "ui/common/cp1252_qt.h"
#include "ui/search_view/dialog_keys.h"
#include "ui/search_view/offer_line.h"
#include "ui/search_view/spelling_hint.h"
#include "ui/search_view/view_lifetime.h"

CNobodyOffers::CNobodyOffers(QWidget& view, CDialogKeys& keys, const CDirectories& dirs,
                             const CViewLifetime& lifetime)
    : QObject(&view), dirs_(dirs), lifetime_(lifetime) {
    databases_ = new COfferLine(&view, QStringLiteral("DatabasesOffer"), QStringLiteral("Databases"));
    keys.Watch(*databases_);
    // Copies: the search an offer starts clears the offers.
    connect(databases_, &COfferLine::offerChosen, this, [this](int index) {
        if (index < 0 || index >= static_cast<int>(offeredDatabases_.size())) return;
        const ListedSurname held = offeredDatabases_[static_cast<std::size_t>(index)];
        emit surnameChosen(held.code, held.surname);
    });
    spellings_ = new CSpellingHint(&view);
    keys.Watch(*spellings_);
    connect(spellings_, &COfferLine::offerChosen, this, [this](int index) {
        if (index < 0 || index >= spellings_->Count()) return;
        const ListedSurname spelling = spellings_->Spelling(index);
        emit surnameChosen(spelling.code, spelling.surname);
    });
    variants_ = new COfferLine(&view, QStringLiteral("VariantsOffer"), QStringLiteral("Name variants"));
    keys.Watch(*variants_);
    connect(variants_, &COfferLine::offerChosen, this, [this](int /*index*/) {
        const SearchRequest again = notFound_;
        emit variantsChosen(again);
    });
}

bool CNobodyOffers::HasFocus() const {
    return databases_->hasFocus() || spellings_->hasFocus() || variants_->hasFocus();
}

void CNobodyOffers::Clear() {
    databases_->SetOffers(QString(), {});
    spellings_->SetSpellings({});
    variants_->SetOffers(QString(), {});
    offeredDatabases_.clear();
}

void CNobodyOffers::Offer(const SearchRequest& request, bool surnameAbsent, bool nameVariants) {
    // The search has just found the disk: no prompt. A listing that fails
    // says why, and offers nothing of its own.
    const int searched = catalogue::CodeOfRow(request.row);
    surname_listing::ListingOptions options;
    options.skipMissing = true;
    const ListingOutcome held = surname_listing::List(
        dirs_, catalogue::EveryDatabase(), {CSurnameMatcher(MatchMode::Exact, request.surname)}, options);
    platform::Tell(held.messages, held.details);
    if (lifetime_.Closed()) return;
    // Close spellings when the surname itself is not there (else the first name found nobody).
    ListingOutcome close;
    if (surnameAbsent) {
        close = surname_listing::CloseSpellings(dirs_, searched, request.surname, {});
        platform::Tell(close.messages, close.details);
        if (lifetime_.Closed()) return;
    }

    // The databases that hold the surname as typed, the one searched aside
    // (a first name found nobody there), in list order.
    std::vector<COfferLine::Offer> offers;
    QString surname;
    if (!held.matches.empty()) {
        for (const ListedSurname& one : held.matches.front()) {
            if (one.code == searched) continue;
            const QString title = QString::fromLatin1(catalogue::NameOfCode(one.code));
            offers.push_back(COfferLine::Offer{
                QStringLiteral("%1 (%2)").arg(title).arg(one.count),
                QStringLiteral("%1, %2 %3")
                    .arg(title)
                    .arg(one.count)
                    .arg(one.count == 1 ? QStringLiteral("person") : QStringLiteral("people"))});
            offeredDatabases_.push_back(one);
            surname = cp1252::ToQString(one.surname.c_str());
        }
    }
    databases_->SetOffers(surname + QStringLiteral(" is in"), std::move(offers));
    offeredDatabases_.resize(static_cast<std::size_t>(databases_->Count()));
    int line = databases_->Lines();
    if (!close.matches.empty()) spellings_->SetSpellings(close.matches.front(), line);
    line += spellings_->Lines();
    notFound_ = request;
    if (!request.firstName.empty() && !nameVariants) {
        variants_->SetOffers(QString(),
                             {{QStringLiteral("Search again with name variants"),
                               QStringLiteral("Search again with name variants")}},
                             line);
    }
}

QString CNobodyOffers::Text() const {
    QStringList lines;
    const COfferLine* const offers[] = {databases_, spellings_, variants_};
    for (const COfferLine* offer : offers) {
        if (!offer->Text().isEmpty()) lines << offer->Text();
    }
    return lines.join(QLatin1Char(' '));
}
