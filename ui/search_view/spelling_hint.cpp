#include "ui/search_view/spelling_hint.h"

#include "ui/common/cp1252_qt.h"

CSpellingHint::CSpellingHint(QWidget* view)
    : COfferLine(view, QStringLiteral("SpellingHint"), QStringLiteral("Close spellings")) {}

void CSpellingHint::SetSpellings(std::vector<ListedSurname> spellings, int firstLine) {
    spellings_ = std::move(spellings);
    std::vector<Offer> offers;
    offers.reserve(spellings_.size());
    for (const ListedSurname& spelling : spellings_) {
        const QString surname = cp1252::ToQString(spelling.surname.c_str());
        offers.push_back(
            Offer{QStringLiteral("%1 (%2)").arg(surname).arg(spelling.count),
                  QStringLiteral("%1, %2 %3")
                      .arg(surname)
                      .arg(spelling.count)
                      .arg(spelling.count == 1 ? QStringLiteral("person") : QStringLiteral("people"))});
    }
    SetOffers(QStringLiteral("Close spellings:"), std::move(offers), firstLine);
    // The offers that fit are the spellings kept.
    spellings_.resize(static_cast<std::size_t>(Count()));
}
