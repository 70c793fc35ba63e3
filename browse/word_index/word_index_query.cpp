// Answering a record query from the word index: the people of the rarest
// term are walked in entry order, and every other term is asked of each of
// them through cursors that only move forward and jump by the skip tables,
// so a rare word among common ones reads only the blocks it needs.

#include <algorithm>

#include "browse/word_index/word_index_cursor.h"
#include "browse/word_index/word_index_reader.h"

namespace word_index {
namespace {

// Words whose people are read through cursors; a prefix or a range of years
// over more words is read whole into a table instead.
constexpr std::size_t kMaxCursors = 16;
constexpr std::size_t kCancelStride = 4096;

// One word of a query (exact, a prefix, or the years of a range) in the
// fields searched: the people it is in and where.
class WordSource {
public:
    std::uint64_t Cost() const { return cost_; }
    // Ready, or the first failure of its cursors.
    IndexStatus Status() const {
        for (const Cursor& cursor : cursors_) {
            if (cursor.Failed()) return cursor.Status();
        }
        return IndexStatus::Ready;
    }

    // entriesOnly: the word stands alone (not in a phrase), so only whom it
    // is in counts, not where.
    IndexStatus Load(CWordIndexReader& reader, const std::vector<WordRef>& refs,
                     const record_fields::FieldSet& fields, bool entriesOnly) {
        fields_ = &fields;
        for (const WordRef& ref : refs) {
            // A word found only in a field not searched adds nobody.
            if (ref.slot >= 0 && !fields.Has(ref.slot)) continue;
            cost_ += ref.people;
            kept_.push_back(ref);
        }
        if (kept_.size() <= kMaxCursors) {
            cursors_.reserve(kept_.size());
            for (const WordRef& ref : kept_) {
                cursors_.emplace_back(reader, ref, reader.FileHeader());
                const IndexStatus status = cursors_.back().Open();
                if (status != IndexStatus::Ready) return status;
            }
            return IndexStatus::Ready;
        }
        // Many words (a prefix, a range of years): their people go into one
        // table in entry order, or, when only whom matters, a bit a person.
        tabled_ = true;
        marked_ = entriesOnly;
        if (marked_) marks_.assign(static_cast<std::size_t>((reader.FileHeader().entriesHeld + 63) / 64), 0);
        const IndexStatus status =
            reader.ReadRegions(kept_, [&](const WordRef& ref, std::vector<unsigned char>& region) {
                Cursor cursor(std::move(region), ref, reader.FileHeader());
                while (cursor.Next()) {
                    if (marked_) {
                        if (InFields(cursor)) Mark(cursor.Entry());
                        continue;
                    }
                    for (const Occurrence& occurrence : cursor.Occurrences()) {
                        if (fields.Has(occurrence.slot)) rows_.push_back(Row{cursor.Entry(), occurrence});
                    }
                }
                return !cursor.Failed();
            });
        if (status != IndexStatus::Ready) return status;
        if (!marked_) {
            std::sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) {
                return a.entry != b.entry
                           ? a.entry < b.entry
                           : (a.at.slot != b.at.slot ? a.at.slot < b.at.slot : a.at.position < b.at.position);
            });
        }
        return IndexStatus::Ready;
    }

    // Several words read through cursors and walked whole (the term that
    // leads): their people kept by a bit each instead, as a merge of the
    // cursors would step each of them for every person.
    IndexStatus MarkAll(std::uint64_t held) {
        if (tabled_ || cursors_.size() < 2) return IndexStatus::Ready;
        marks_.assign(static_cast<std::size_t>((held + 63) / 64), 0);
        for (Cursor& cursor : cursors_) {
            while (cursor.Next()) {
                if (InFields(cursor)) Mark(cursor.Entry());
            }
            if (cursor.Failed()) return cursor.Status();
        }
        cursors_.clear();
        tabled_ = marked_ = true;
        return IndexStatus::Ready;
    }

    // Whether the word is at entry in a field searched (entries asked in increasing order).
    bool Has(std::uint32_t entry) {
        if (marked_) return entry / 64 < marks_.size() && (marks_[entry / 64] >> (entry % 64) & 1) != 0;
        if (!tabled_ && fields_->IsAll()) {
            // In any field: being at the person is enough.
            for (Cursor& cursor : cursors_) {
                if (cursor.SeekTo(entry) && cursor.Entry() == entry) return true;
            }
            return false;
        }
        At(entry, scratch_);
        return !scratch_.empty();
    }

    // The occurrences at entry in the fields searched (entries asked in increasing order).
    void At(std::uint32_t entry, std::vector<Occurrence>& out) {
        out.clear();
        if (marked_) {
            // Kept without where: one stands for any.
            if (Has(entry)) out.push_back(Occurrence{0, 0});
            return;
        }
        if (tabled_) {
            while (row_ < rows_.size() && rows_[row_].entry < entry) ++row_;
            for (std::size_t at = row_; at < rows_.size() && rows_[at].entry == entry; ++at)
                out.push_back(rows_[at].at);
            return;
        }
        for (Cursor& cursor : cursors_) {
            if (!cursor.SeekTo(entry) || cursor.Entry() != entry) continue;
            for (const Occurrence& occurrence : cursor.Occurrences()) {
                if (fields_->Has(occurrence.slot)) out.push_back(occurrence);
            }
        }
    }

    // The next entry after after (or the first for -1) where the word is in a
    // field searched; false when there is none.
    bool NextEntry(std::int64_t after, std::uint32_t& entry) {
        std::vector<Occurrence> found;
        for (;;) {
            bool any = false;
            std::uint32_t lowest = 0;
            if (marked_) return NextMarked(after, entry);
            if (tabled_) {
                while (row_ < rows_.size() && static_cast<std::int64_t>(rows_[row_].entry) <= after) ++row_;
                if (row_ < rows_.size()) {
                    entry = rows_[row_].entry;
                    return true;
                }
                return false;
            }
            if (cursors_.size() == 1) {
                // One word: its people in order, kept where it is in a field searched.
                Cursor& cursor = cursors_[0];
                if (!cursor.SeekTo(static_cast<std::uint32_t>(after + 1))) return false;
                while (!InFields(cursor)) {
                    if (!cursor.Next()) return false;
                }
                entry = cursor.Entry();
                return true;
            }
            for (Cursor& cursor : cursors_) {
                if (!cursor.SeekTo(static_cast<std::uint32_t>(after + 1))) continue;
                if (!any || cursor.Entry() < lowest) lowest = cursor.Entry();
                any = true;
            }
            if (!any) return false;
            // Every field searched: any of the words there will do.
            if (fields_->IsAll()) {
                entry = lowest;
                return true;
            }
            At(lowest, found);
            if (!found.empty()) {
                entry = lowest;
                return true;
            }
            after = lowest;
        }
    }

    bool InFields(Cursor& cursor) const {
        // Every person of a word has at least one occurrence.
        if (fields_->IsAll()) return true;
        for (const Occurrence& occurrence : cursor.Occurrences()) {
            if (fields_->Has(occurrence.slot)) return true;
        }
        return false;
    }

    // The one word read whole through one cursor, with its count known.
    bool CountKnown(std::int64_t& count) const {
        if (tabled_ || kept_.size() > 1) return false;
        if (kept_.empty()) {
            count = 0;
            return true;
        }
        if (!fields_->IsAll() && kept_[0].slot < 0) return false;
        count = kept_[0].people;
        return true;
    }

private:
    struct Row {
        std::uint32_t entry;
        Occurrence at;
    };
    void Mark(std::uint32_t entry) { marks_[entry / 64] |= std::uint64_t{1} << (entry % 64); }
    bool NextMarked(std::int64_t after, std::uint32_t& entry) const {
        const std::uint64_t from = static_cast<std::uint64_t>(after + 1);
        std::size_t word = static_cast<std::size_t>(from / 64);
        if (word >= marks_.size()) return false;
        std::uint64_t bits = marks_[word] & (~std::uint64_t{0} << (from % 64));
        while (bits == 0) {
            if (++word == marks_.size()) return false;
            bits = marks_[word];
        }
        entry = static_cast<std::uint32_t>(word * 64 + static_cast<std::size_t>(__builtin_ctzll(bits)));
        return true;
    }
    const record_fields::FieldSet* fields_ = nullptr;
    std::vector<WordRef> kept_;
    std::vector<Cursor> cursors_;
    std::vector<Row> rows_;
    std::size_t row_ = 0;
    std::vector<std::uint64_t> marks_;  // a bit a person, when marked_
    std::vector<Occurrence> scratch_;
    bool tabled_ = false;
    bool marked_ = false;
    std::uint64_t cost_ = 0;
};

// One way a term matches: its words in order (one for a word, several for a phrase).
struct PhrasePlan {
    std::vector<std::unique_ptr<WordSource>> words;
    std::uint64_t Cost() const {
        std::uint64_t cost = UINT64_MAX;
        for (const auto& word : words) cost = std::min(cost, word->Cost());
        return cost;
    }
    std::size_t Cheapest() const {
        std::size_t best = 0;
        for (std::size_t i = 1; i < words.size(); ++i) {
            if (words[i]->Cost() < words[best]->Cost()) best = i;
        }
        return best;
    }
};

// A term: the ways it matches (several when joined by OR).
struct TermPlan {
    std::vector<PhrasePlan> alternatives;
    bool excluded = false;
    std::uint64_t Cost() const {
        std::uint64_t cost = 0;
        for (const PhrasePlan& phrase : alternatives) {
            const std::uint64_t one = phrase.Cost();
            cost = one > UINT64_MAX - cost ? UINT64_MAX : cost + one;
        }
        return cost;
    }
    // Whether every way is one word: a person the words' sources give needs no asking.
    bool Words() const {
        return std::all_of(alternatives.begin(), alternatives.end(),
                           [](const PhrasePlan& phrase) { return phrase.words.size() == 1; });
    }
};

class Evaluation {
public:
    Evaluation(CWordIndexReader& reader, const record_fields::FieldSet& fields)
        : reader_(reader), fields_(fields) {}

    IndexStatus Plan(const record_query::Query& query) {
        for (const record_query::Term& term : query.terms) {
            TermPlan plan;
            plan.excluded = term.excluded;
            for (const record_query::Phrase& phrase : term.alternatives) {
                PhrasePlan words;
                for (std::size_t i = 0; i < phrase.words.size(); ++i) {
                    std::vector<WordRef> refs;
                    IndexStatus status = reader_.FindWord(
                        phrase.words[i], phrase.prefix && i + 1 == phrase.words.size(), refs);
                    if (status != IndexStatus::Ready) return status;
                    words.words.push_back(std::make_unique<WordSource>());
                    status = words.words.back()->Load(reader_, refs, fields_, phrase.words.size() == 1);
                    if (status != IndexStatus::Ready) return status;
                }
                plan.alternatives.push_back(std::move(words));
            }
            terms_.push_back(std::move(plan));
        }
        if (query.years.given) {
            std::vector<WordRef> refs;
            IndexStatus status = reader_.YearsIn(query.years.from, query.years.to, refs);
            if (status != IndexStatus::Ready) return status;
            TermPlan plan;
            plan.alternatives.emplace_back();
            plan.alternatives.back().words.push_back(std::make_unique<WordSource>());
            status = plan.alternatives.back().words.back()->Load(reader_, refs, fields_, true);
            if (status != IndexStatus::Ready) return status;
            terms_.push_back(std::move(plan));
        }
        // The cheapest term that must match leads; the others are asked of its people.
        std::stable_sort(terms_.begin(), terms_.end(), [](const TermPlan& a, const TermPlan& b) {
            if (a.excluded != b.excluded) return !a.excluded;
            return a.Cost() < b.Cost();
        });
        if (!terms_.empty() && !terms_[0].excluded) {
            for (PhrasePlan& phrase : terms_[0].alternatives) {
                if (phrase.words.size() != 1) continue;
                const IndexStatus status = phrase.words[0]->MarkAll(reader_.FileHeader().entriesHeld);
                if (status != IndexStatus::Ready) return status;
            }
        }
        return IndexStatus::Ready;
    }

    bool CountKnown(std::int64_t& count) const {
        if (terms_.size() != 1 || terms_[0].excluded || terms_[0].alternatives.size() != 1 ||
            terms_[0].alternatives[0].words.size() != 1) {
            return false;
        }
        return terms_[0].alternatives[0].words[0]->CountKnown(count);
    }

    // Calls take(entry) for every person matching, in entry order, until it returns false.
    template <typename Take>
    IndexStatus Walk(Take&& take, const std::atomic<bool>* cancel) {
        if (terms_.empty() || terms_[0].excluded) return IndexStatus::Ready;
        TermPlan& lead = terms_[0];
        // The people of the lead term are those of the cheapest word of each of its ways.
        std::vector<WordSource*> walkers;
        for (PhrasePlan& phrase : lead.alternatives) walkers.push_back(phrase.words[phrase.Cheapest()].get());
        const bool leadAsked = !lead.Words();
        std::int64_t after = -1;
        std::size_t steps = 0;
        for (;;) {
            bool any = false;
            std::uint32_t entry = 0;
            for (WordSource* walker : walkers) {
                std::uint32_t next = 0;
                if (!walker->NextEntry(after, next)) continue;
                if (!any || next < entry) entry = next;
                any = true;
            }
            if (!any) break;
            after = entry;
            if (++steps % kCancelStride == 0 && cancel != nullptr && cancel->load(std::memory_order_relaxed))
                return IndexStatus::Cancelled;
            bool keep = true;
            for (std::size_t t = leadAsked ? 0 : 1; t < terms_.size(); ++t) {
                TermPlan& term = terms_[t];
                if (MatchesAt(term, entry) == term.excluded) {
                    keep = false;
                    break;
                }
            }
            if (keep && !take(entry)) break;
        }
        for (const TermPlan& term : terms_) {
            for (const PhrasePlan& phrase : term.alternatives) {
                for (const auto& word : phrase.words) {
                    const IndexStatus status = word->Status();
                    if (status != IndexStatus::Ready) return status;
                }
            }
        }
        return IndexStatus::Ready;
    }

    IndexStatus Run(std::int64_t limit, std::vector<std::int32_t>& entries, const std::atomic<bool>* cancel) {
        entries.clear();
        if (limit == 0) return IndexStatus::Ready;
        return Walk(
            [&](std::uint32_t entry) {
                entries.push_back(static_cast<std::int32_t>(entry));
                return limit < 0 || static_cast<std::int64_t>(entries.size()) < limit;
            },
            cancel);
    }

private:
    bool MatchesAt(TermPlan& term, std::uint32_t entry) {
        for (PhrasePlan& phrase : term.alternatives) {
            if (PhraseAt(phrase, entry)) return true;
        }
        return false;
    }

    bool PhraseAt(PhrasePlan& phrase, std::uint32_t entry) {
        const std::size_t n = phrase.words.size();
        if (n == 1) return phrase.words[0]->Has(entry);
        found_.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            phrase.words[i]->At(entry, found_[i]);
            if (found_[i].empty()) return false;
        }
        // A phrase: its words one right after the other in one field.
        for (const Occurrence& start : found_[0]) {
            bool all = true;
            for (std::size_t i = 1; i < n && all; ++i) {
                all = std::any_of(found_[i].begin(), found_[i].end(), [&](const Occurrence& next) {
                    return next.slot == start.slot && next.position == start.position + i;
                });
            }
            if (all) return true;
        }
        return false;
    }

    CWordIndexReader& reader_;
    const record_fields::FieldSet& fields_;
    std::vector<TermPlan> terms_;
    std::vector<std::vector<Occurrence>> found_;
};

}  // namespace

IndexStatus CWordIndexReader::Count(const record_query::Query& query, const record_fields::FieldSet& fields,
                                    std::int64_t& count, const std::atomic<bool>* cancel,
                                    std::vector<std::int32_t>* listed, std::int64_t keep) {
    if (listed != nullptr) listed->clear();
    Evaluation evaluation(*this, fields);
    IndexStatus status = evaluation.Plan(query);
    if (status != IndexStatus::Ready) return status;
    if (evaluation.CountKnown(count)) return IndexStatus::Ready;
    // Only the people asked for are kept: a list of every person would be
    // memory touched for nothing.
    std::int64_t walked = 0;
    status = evaluation.Walk(
        [&](std::uint32_t entry) {
            ++walked;
            if (listed != nullptr && (keep < 0 || walked <= keep))
                listed->push_back(static_cast<std::int32_t>(entry));
            return true;
        },
        cancel);
    count = walked;
    if (status != IndexStatus::Ready && listed != nullptr) listed->clear();
    return status;
}

IndexStatus CWordIndexReader::List(const record_query::Query& query, const record_fields::FieldSet& fields,
                                   std::int64_t limit, std::vector<std::int32_t>& entries,
                                   const std::atomic<bool>* cancel) {
    Evaluation evaluation(*this, fields);
    const IndexStatus status = evaluation.Plan(query);
    if (status != IndexStatus::Ready) return status;
    return evaluation.Run(limit, entries, cancel);
}

}  // namespace word_index
