// Reading the delimited fields of a source report: the validity check and the
// student number search.
#include <string>
#include <string_view>

#include "report_engine.h"
#include "text_case.h"

namespace quillet {
namespace {

// Sequential delimited items: leading blanks are skipped; a quoted item runs
// to the next double quote (the quotes are not part of it); any other item
// ends at the next comma or line end (LF, CR LF or a lone CR). The delimiter
// is consumed.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : text_(text) {}

    bool at_end() const { return pos_ >= text_.size(); }

    std::string_view next() {
        while (pos_ < text_.size() && text_[pos_] == ' ') {
            ++pos_;
        }
        if (pos_ < text_.size() && text_[pos_] == '"') {
            const auto start = pos_ + 1;
            auto close = text_.find('"', start);
            if (close == std::string_view::npos) {
                close = text_.size();
            }
            pos_ = close + 1;
            // A comma or line end straight after the closing quote ends the item too.
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
            } else {
                skip_line_end();
            }
            return text_.substr(start, close - start);
        }
        const auto start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' &&
               text_[pos_] != '\n') {
            ++pos_;
        }
        const auto field = text_.substr(start, pos_ - start);
        if (pos_ < text_.size() && text_[pos_] == ',') {
            ++pos_;
        } else {
            skip_line_end();
        }
        return field;
    }

private:
    void skip_line_end() {
        if (pos_ < text_.size() && text_[pos_] == '\r') {
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == '\n') {
                ++pos_;
            }
        } else if (pos_ < text_.size() && text_[pos_] == '\n') {
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

constexpr std::string_view kForStudent = "for student ";
constexpr std::size_t kStudentNumberLength = 8;

// Where "for student " stands in field, ignoring letter case.
std::size_t find_for_student(std::string_view field) {
    if (field.size() < kForStudent.size()) {
        return std::string_view::npos;
    }
    const auto last = field.size() - kForStudent.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (lower_1252(field[i]) == 'f' &&
            equal_ignoring_case(field.substr(i, kForStudent.size()), kForStudent)) {
            return i;
        }
    }
    return std::string_view::npos;
}

}  // namespace

bool fn_IsReport(std::string_view source) {
    if (source.empty()) {
        return false;
    }
    const auto first = FieldReader(source).next();
    return !first.empty() && first.front() == '@';
}

std::optional<std::string> find_student_number(std::string_view source) {
    FieldReader reader(source);
    while (!reader.at_end()) {
        const auto field = reader.next();
        const auto at = find_for_student(field);
        if (at != std::string_view::npos) {
            return lower_1252(field.substr(at + kForStudent.size(), kStudentNumberLength));
        }
    }
    return std::nullopt;
}

}  // namespace quillet
