#pragma once
// CSettledSearch: a search that follows the typing (Find Surname, Find in
// Records) is logged once the typing has settled, not at every key: each
// answer replaces the one waiting, and the one still waiting after a
// pause, or when the dialog closes, is logged. "SMI", "SMIT" and "SMITH"
// typed in a breath are one search, SMITH. The search logged last,
// answered again while its dialog is open (the list sorted, the typing
// taken back to it), is not a new search.

#include <cstdint>
#include <functional>

#include <QObject>

#include "browse/research_log/log_entries.h"

class QTimer;

class CSettledSearch : public QObject {
    Q_OBJECT
public:
    using Logger = std::function<void(const research_log::AskedSearch& asked, std::int64_t count)>;
    static constexpr int kSettleMilliseconds = 1500;

    CSettledSearch(Logger logger, QObject* parent = nullptr);
    ~CSettledSearch() override;

    // An answer shown: it waits for the pause.
    void Offer(const research_log::AskedSearch& asked, std::int64_t count);
    // Logs the answer waiting, if any, now.
    void Flush();
    // Flush, for a dialog that closes: the next dialog's answers are new
    // searches, whatever was logged last.
    void Done();
    bool Waiting() const { return waiting_; }

private:
    Logger logger_;
    QTimer* timer_;
    bool waiting_ = false;
    research_log::AskedSearch asked_;
    std::int64_t count_ = 0;
    bool logged_ = false;  // since the dialog opened
    research_log::AskedSearch lastAsked_;
    std::int64_t lastCount_ = 0;
};
