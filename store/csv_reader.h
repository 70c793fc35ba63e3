#pragma once
// A small, strict reader of comma-separated values (RFC 4180).
//
// Fields are separated by commas and rows end with LF or CR LF (the last
// row may end without one). A field that begins with a double quote is
// quoted: it ends at the next lone quote, a doubled quote inside stands for
// one quote, and commas and line ends inside belong to the field. Anything
// else is an error: a quote inside an unquoted field, characters between a
// closing quote and the next comma or line end, a quoted field that is
// never closed, a carriage return that no line feed follows. Completely
// empty lines are passed over. A UTF-8 byte-order mark at the very start
// is dropped. Bytes are passed on as they are: the reader does not decode
// text.

#include <string>
#include <vector>

class CCsvReader {
public:
    enum class Result { Row, End, Error };

    // The reader keeps its own copy of the text (move it in to avoid the copy).
    explicit CCsvReader(std::string text);

    // Reads the next row into fields. After Error every later call gives
    // Error again.
    Result Next(std::vector<std::string>& fields);

    // The line (counted from 1) on which the row last read, or the row in
    // which the error was found, begins.
    long Line() const { return rowLine_; }

    // Why the last call gave Error; empty otherwise.
    const std::string& Error() const { return error_; }

    // Whether the text began with a UTF-8 byte-order mark.
    bool HadByteOrderMark() const { return hadBom_; }

private:
    Result Fail(const std::string& reason);
    // At a line end (LF or CR LF) at pos: consumes it and returns true.
    bool TakeLineEnd();
    // The field at pos, which opens with a quote, up to its closing quote;
    // false when the text ends first.
    bool ReadQuotedField(std::string& field);
    // The unquoted field at pos, up to a comma or line end; the reason when
    // it breaks the format, else null.
    const char* ReadPlainField(std::string& field);

    std::string text_;
    std::size_t pos_ = 0;
    long line_ = 1;
    long rowLine_ = 0;
    std::string error_;
    bool hadBom_ = false;
};
