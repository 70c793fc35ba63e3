#pragma once
// CSpellingHint: the close spellings a search that found nobody offers in
// the empty list area, "Close spellings: SMITH (168), SMYTH (12)", the
// surnames of the database searched closest to the one typed; a line of
// offers (COfferLine) whose items screen readers hear as "SMITH, 168 people".
// A name taken is the signal offerChosen.

#include <vector>

#include "browse/names/surname_listing.h"
#include "ui/search_view/offer_line.h"

class CSpellingHint : public COfferLine {
    Q_OBJECT
public:
    explicit CSpellingHint(QWidget* view);

    // The spellings to offer, closest first, from line firstLine of the
    // list area; none hides the line.
    void SetSpellings(std::vector<ListedSurname> spellings, int firstLine = 0);
    const ListedSurname& Spelling(int i) const { return spellings_[static_cast<std::size_t>(i)]; }

private:
    std::vector<ListedSurname> spellings_;
};
