#pragma once
// CNobodyOffers: what the view offers in the empty list area after a
// search that found nobody, one line under the other: the databases that
// hold the surname as typed (a line of COfferLine), the close spellings of
// the database searched (CSpellingHint) and a search again with name
// variants. It asks the listings for them and tells the user what they
// could not read; an offer taken is a signal to the view, which runs the
// search it stands for.

#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "browse/names/surname_listing.h"
#include "ui/search_view/search_form.h"

class CDialogKeys;
class CDirectories;
class COfferLine;
class CSpellingHint;
class CViewLifetime;
class QWidget;

class CNobodyOffers : public QObject {
    Q_OBJECT
public:
    // Makes the three lines as children of view, hidden, in their Tab
    // order (the databases, the spellings, the name variants), each
    // watched by the view's keys.
    CNobodyOffers(QWidget& view, CDialogKeys& keys, const CDirectories& dirs, const CViewLifetime& lifetime);

    COfferLine& Databases() const { return *databases_; }
    CSpellingHint& Spellings() const { return *spellings_; }
    COfferLine& Variants() const { return *variants_; }
    bool HasFocus() const;

    // The offers after request found nobody; surnameAbsent: the surname is
    // not in the index searched; nameVariants: the search had them on.
    void Offer(const SearchRequest& request, bool surnameAbsent, bool nameVariants);
    // Nothing offered: every line hidden.
    void Clear();
    // The offers as screen readers hear them with the count.
    QString Text() const;

signals:
    // A database or a close spelling taken: the surname as listed there.
    void surnameChosen(int code, std::string surname);
    // The search again with name variants taken: the search that found nobody.
    void variantsChosen(SearchRequest request);

private:
    const CDirectories& dirs_;
    const CViewLifetime& lifetime_;
    COfferLine* databases_ = nullptr;
    CSpellingHint* spellings_ = nullptr;
    COfferLine* variants_ = nullptr;
    // What the databases offered hold, and the search that found nobody.
    std::vector<ListedSurname> offeredDatabases_;
    SearchRequest notFound_;
};
