// Displayed summaries and full texts of records.
//
// Both work on fixed caller buffers. A record is a NUL-terminated run of
// fields, each closed by 0xFF, ended by a line feed; the code never relies
// on that shape to stop: every walk also ends at the NUL.

#include "browse/record_text/record_format.h"

#include <cstring>

namespace record_format {

namespace {

constexpr char kFieldEndChar = static_cast<char>(kFieldEnd);
constexpr int kWrapColumn = 60;
// The passenger list: its records hold a survival code instead of labelled fields.
constexpr int kPassengerCode = 3;
// The roll of honor: its fields after the first are volume and page references.
constexpr int kRollCode = 9;

// Appends to a fixed buffer, dropping whatever would not fit before the NUL.
class TextSink {
public:
    TextSink(char* out, std::size_t size) : out_(out), limit_(size - 1) {}
    void Put(char c) {
        if (length_ < limit_) out_[length_++] = c;
    }
    void Put(const char* text) {
        for (; *text != '\0'; ++text) Put(*text);
    }
    std::size_t Finish() {
        out_[length_] = '\0';
        return length_;
    }

private:
    char* out_;
    std::size_t limit_;
    std::size_t length_ = 0;
};

bool IsFieldByte(char c) { return c != kFieldEndChar && c != '\n' && c != '\0'; }

// Length of the field that starts at field: up to its 0xFF, or up to the
// line feed or the end of the record when the field is not closed.
std::size_t FieldLength(const char* field) {
    std::size_t length = 0;
    while (IsFieldByte(field[length])) ++length;
    return length;
}

// Passes the closing 0xFF of a field and a line feed that follows it.
const char* PassFieldEnd(const char* p) {
    if (*p == kFieldEndChar) ++p;
    if (*p == '\n') ++p;
    return p;
}

// The field text, with a line break before a blank once a line has reached
// the wrap column.
void WritePlain(TextSink& sink, const char* field, std::size_t length, int& column) {
    for (std::size_t i = 0; i < length; ++i) {
        sink.Put(field[i]);
        ++column;
        if (column >= kWrapColumn && i + 1 < length && field[i + 1] == ' ') {
            sink.Put("\r\n");
            column = 0;
        }
    }
}

// A roll reference: volume (2 characters), page (3), optional second page
// (3), each padded with blanks. Lengths outside 3 to 8 are written as they
// stand, since the layout cannot be read from them. The column is left as it is.
void WriteReference(TextSink& sink, const char* field, std::size_t length) {
    if (length < 3 || length > 8) {
        for (std::size_t i = 0; i < length; ++i) sink.Put(field[i]);
        return;
    }
    sink.Put("Volume: ");
    sink.Put(field[0]);
    if (field[1] != ' ') sink.Put(field[1]);
    sink.Put(" Page: ");
    sink.Put(field[2]);
    for (std::size_t i = 3; i < 5 && i < length; ++i) {
        if (field[i] != ' ') sink.Put(field[i]);
    }
    if (length > 5) {
        sink.Put(',');
        sink.Put(field[5]);
        for (std::size_t i = 6; i < length; ++i) {
            if (field[i] != ' ') sink.Put(field[i]);
        }
    }
}

// A slot past the table counts as empty, so a lookahead never reads beyond it.
const char* SlotText(const LabelTable& table, int k) { return k < kSlotCount ? table[k] : ""; }

bool IsEndMark(const char* slot) {
    return static_cast<unsigned char>(slot[0]) == kEndMark && slot[1] == '\0';
}

}  // namespace

void BuildDisplayedSummary(int code, const char* rawSummary, int recordFirstByte, char* out) {
    if (code == kPassengerCode) {
        std::strcpy(out, recordFirstByte == '3' ? "survived: yes" : "survived: no");
        return;
    }
    // The raw summary holds at most 34 characters; both bounds below only
    // guard against a caller's text without its NUL.
    std::size_t in = 0;
    std::size_t length = 0;
    while (in < kRawSummarySize && rawSummary[in] != '\0' && length < kSummarySize - 1) {
        const char c = rawSummary[in++];
        if (c == kFieldEndChar) {
            out[length++] = ',';
            // The separator's blank is taken over as it is.
            if (in < kRawSummarySize && rawSummary[in] != '\0' && length < kSummarySize - 1) {
                out[length++] = rawSummary[in++];
            }
        } else if (c == '\n') {
            out[length++] = ' ';
        } else {
            out[length++] = c;
        }
    }
    // A summary that ends with a separator loses it.
    if (length >= 2 && out[length - 2] == ',') length -= 2;
    out[length] = '\0';
}

std::size_t BuildFullText(int code, const char* record, char* out, std::size_t outSize) {
    if (outSize == 0) return 0;
    TextSink sink(out, outSize);
    const LabelTable* table = LabelTableOf(code);
    if (table == nullptr) return sink.Finish();
    const LabelTable& slots = *table;

    if (code == kPassengerCode) {
        sink.Put(slots[0] + 1);
        sink.Put("\r\n");
        sink.Put(record[0] == '3' ? "Yes" : "No");
        return sink.Finish();
    }

    const char* p = record;
    int k = 0;
    int column = 0;
    // Fields past the last slot (or past the end mark) are not shown.
    while (*p != '\0' && k < kSlotCount && !IsEndMark(slots[k])) {
        const char* slot = slots[k];
        const bool nextJoins = SlotText(slots, k + 1)[0] == ',';
        const std::size_t length = FieldLength(p);
        if (slot[0] == '\0' || *p == ' ') {
            p = PassFieldEnd(p + length);
            if (!nextJoins && column != 0) {
                sink.Put("\r\n\r\n");
                column = 0;
            }
        } else {
            sink.Put(slot);
            if (slot[0] == ',') {
                sink.Put(' ');
                column = static_cast<int>(std::strlen(slot)) + 1;
            } else {
                sink.Put("\r\n");
                column = 0;
            }
            if (code == kRollCode && k >= 1) {
                WriteReference(sink, p, length);
            } else {
                WritePlain(sink, p, length, column);
            }
            p = PassFieldEnd(p + length);
            if (*p != '\0' && !nextJoins) {
                sink.Put("\r\n\r\n");
                column = 0;
            }
        }
        ++k;
    }
    if (k < kSlotCount && IsEndMark(slots[k])) sink.Put(kFootnote);
    return sink.Finish();
}

}  // namespace record_format
