#include "store/csv_reader.h"

#include <utility>

CCsvReader::CCsvReader(std::string text) : text_(std::move(text)) {
    if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        hadBom_ = true;
        pos_ = 3;
    }
}

CCsvReader::Result CCsvReader::Fail(const std::string& reason) {
    error_ = reason;
    return Result::Error;
}

bool CCsvReader::TakeLineEnd() {
    if (pos_ < text_.size() && text_[pos_] == '\n') {
        pos_ += 1;
    } else if (pos_ + 1 < text_.size() && text_[pos_] == '\r' && text_[pos_ + 1] == '\n') {
        pos_ += 2;
    } else {
        return false;
    }
    ++line_;
    return true;
}

bool CCsvReader::ReadQuotedField(std::string& field) {
    ++pos_;  // the opening quote
    while (true) {
        if (pos_ >= text_.size()) return false;
        const char c = text_[pos_];
        if (c == '"') {
            // A doubled quote stands for one; a lone one closes the field.
            if (pos_ + 1 >= text_.size() || text_[pos_ + 1] != '"') {
                ++pos_;
                return true;
            }
            field += '"';
            pos_ += 2;
            continue;
        }
        if (c == '\n') ++line_;
        field += c;
        ++pos_;
    }
}

const char* CCsvReader::ReadPlainField(std::string& field) {
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == ',' || c == '\n') break;
        if (c == '\r') {
            if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') break;
            return "a carriage return is not followed by a line feed";
        }
        if (c == '"') return "a quote inside an unquoted field (quote the whole field and double the quote)";
        field += c;
        ++pos_;
    }
    return nullptr;
}

CCsvReader::Result CCsvReader::Next(std::vector<std::string>& fields) {
    if (!error_.empty()) return Result::Error;
    fields.clear();
    while (TakeLineEnd()) {
    }
    if (pos_ >= text_.size()) return Result::End;
    rowLine_ = line_;

    std::string field;
    while (true) {
        field.clear();
        const bool quoted = pos_ < text_.size() && text_[pos_] == '"';
        if (quoted) {
            if (!ReadQuotedField(field)) return Fail("a quoted field is not closed");
        } else if (const char* problem = ReadPlainField(field)) {
            return Fail(problem);
        }
        fields.push_back(field);
        if (pos_ >= text_.size() || TakeLineEnd()) return Result::Row;
        if (quoted && text_[pos_] != ',') {
            return Fail("a closing quote must be followed by a comma or the end of the line");
        }
        ++pos_;  // the comma
    }
}
