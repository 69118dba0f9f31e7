#include "directive_number.h"

#include <array>
#include <cstddef>

namespace quillet {
namespace {

// A decimal value 0.d1 d2 d3 ... x 10^point, kept as its first significant
// digits and whether any further digit is not zero; that is all the rounding
// and the range check of a 16-bit number need.
class SignificantDigits {
public:
    static constexpr std::size_t kKept = 8;

    void add(int digit, bool before_point) {
        if (count_ == 0 && digit == 0) {
            if (!before_point) {
                --point_;  // a zero between the point and the first significant digit
            }
            return;
        }
        if (count_ < kKept) {
            digits_[count_] = static_cast<std::uint8_t>(digit);
        } else if (digit != 0) {
            nonzero_beyond_ = true;
        }
        ++count_;
        if (before_point) {
            ++point_;
        }
    }

    bool is_zero() const { return count_ == 0; }
    long long point() const { return point_; }

    int digit(long long index) const {
        return index >= 0 && static_cast<std::size_t>(index) < kKept
                   ? digits_[static_cast<std::size_t>(index)]
                   : 0;
    }

    bool any_nonzero_from(long long index) const {
        for (auto i = index < 0 ? 0 : static_cast<std::size_t>(index); i < kKept; ++i) {
            if (digits_[i] != 0) {
                return true;
            }
        }
        return nonzero_beyond_;
    }

private:
    std::array<std::uint8_t, kKept> digits_{};
    std::size_t count_ = 0;
    long long point_ = 0;  // bounded by the length of the text
    bool nonzero_beyond_ = false;
};

class NumberText {
public:
    explicit NumberText(std::string_view text) : text_(text) {}

    // The next character that is not skipped, or 0 at the end.
    char peek() {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n')) {
            ++pos_;
        }
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void take() { ++pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

constexpr long long kExponentLimit = 1'000'000'000'000LL;

}  // namespace

std::optional<std::int16_t> read_directive_number(std::string_view text) {
    NumberText in(text);
    bool negative = false;
    if (in.peek() == '-' || in.peek() == '+') {
        negative = in.peek() == '-';
        in.take();
    }
    SignificantDigits digits;
    bool any_digit = false;
    for (; is_digit(in.peek()); in.take()) {
        digits.add(in.peek() - '0', true);
        any_digit = true;
    }
    if (in.peek() == '.') {
        in.take();
        for (; is_digit(in.peek()); in.take()) {
            digits.add(in.peek() - '0', false);
            any_digit = true;
        }
    }
    long long exponent = 0;
    if (any_digit && (in.peek() == 'e' || in.peek() == 'E')) {
        in.take();
        bool exponent_negative = false;
        if (in.peek() == '-' || in.peek() == '+') {
            exponent_negative = in.peek() == '-';
            in.take();
        }
        for (; is_digit(in.peek()); in.take()) {
            if (exponent < kExponentLimit) {
                exponent = exponent * 10 + (in.peek() - '0');
            }
        }
        if (exponent_negative) {
            exponent = -exponent;
        }
    }
    if (digits.is_zero()) {
        return std::int16_t{0};
    }
    const long long point = digits.point() + exponent;
    if (point > 5) {
        return std::nullopt;  // at least 100000
    }
    long long whole = 0;
    for (long long i = 0; i < point; ++i) {
        whole = whole * 10 + digits.digit(i);
    }
    if (point >= 0) {
        const int next = digits.digit(point);
        const bool rest = digits.any_nonzero_from(point + 1);
        if (next > 5 || (next == 5 && (rest || whole % 2 == 1))) {
            ++whole;
        }
    }
    const long long value = negative ? -whole : whole;
    if (value < INT16_MIN || value > INT16_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(value);
}

}  // namespace quillet
