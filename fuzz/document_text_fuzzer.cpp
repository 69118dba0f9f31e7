// Feeds arbitrary document bytes to the plain text extraction and checks what
// every extracted text must satisfy. Time stays linear: the fuzzer's timeout
// catches a slow input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "document_text.h"

namespace {

[[noreturn]] void fail(const char* what, std::string_view text) {
    const std::size_t shown = text.size() < 400 ? text.size() : 400;
    std::fprintf(stderr, "invariant broken: %s\ntext: %.*s\n", what, static_cast<int>(shown),
                 text.data());
    std::abort();
}

// The length of the UTF-8 sequence at text[i], or 0 when it is not valid.
std::size_t utf8_length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char first = byte(i);
    std::size_t length = first < 0x80                     ? 1
                         : first >= 0xC2 && first <= 0xDF ? 2
                         : first >= 0xE0 && first <= 0xEF ? 3
                         : first >= 0xF0 && first <= 0xF4 ? 4
                                                          : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    const unsigned char second = byte(i + 1);
    if ((first == 0xE0 && second < 0xA0) || (first == 0xED && second >= 0xA0) ||
        (first == 0xF0 && second < 0x90) || (first == 0xF4 && second >= 0x90)) {
        return 0;  // overlong, a surrogate, or beyond U+10FFFF
    }
    return length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view html(reinterpret_cast<const char*>(data), size);
    const std::string text = quillet::document_text(html);
    if (text.size() > 3 * size + 1) {
        fail("the text is out of proportion to the document", text);
    }
    if (text.empty()) {
        return 0;
    }
    if (text.back() != '\n' || text.front() == '\n') {
        fail("the text does not end with one line end, or begins with one", text);
    }
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
            fail("a control character in the text", text.substr(i));
        }
        if (c == '\n' && i > 0 && (text[i - 1] == ' ' || text[i - 1] == '\t')) {
            fail("blanks at the end of a line", text.substr(0, i));
        }
        if (text.compare(i, 3, "\n\n\n") == 0) {
            fail("more than one blank line in a row", text.substr(i));
        }
        const std::size_t length = utf8_length(text, i);
        if (length == 0) {
            fail("not UTF-8", text.substr(i));
        }
        i += length;
    }
    return 0;
}
