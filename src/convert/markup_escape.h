// Keeps report text from turning into markup: "<" and ">" become entities,
// and inside attribute values '"' as well. "&" is left as it is.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// Appends text to dest (a std::string or a TextBuffer) with the markup
// characters escaped.
template <typename Dest>
void append_escaped(std::string_view text, bool quotes, Dest& dest) {
    std::size_t done = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view entity;
        switch (text[i]) {
            case '<':
                entity = "&lt;";
                break;
            case '>':
                entity = "&gt;";
                break;
            case '"':
                if (quotes) {
                    entity = "&quot;";
                }
                break;
            default:
                break;
        }
        if (!entity.empty()) {
            dest.append(text.substr(done, i - done));
            dest.append(entity);
            done = i + 1;
        }
    }
    dest.append(text.substr(done));
}

template <typename Dest>
void append_escaped_text(std::string_view text, Dest& dest) {
    append_escaped(text, false, dest);
}

template <typename Dest>
void append_escaped_attribute(std::string_view text, Dest& dest) {
    append_escaped(text, true, dest);
}

// The text with "<" and ">" escaped, made in scratch.
inline std::string_view escaped_text(std::string_view text, std::string& scratch) {
    scratch.clear();
    append_escaped(text, false, scratch);
    return scratch;
}

}  // namespace quillet
