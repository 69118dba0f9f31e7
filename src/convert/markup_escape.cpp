#include "markup_escape.h"

namespace quillet {
namespace {

void append_escaped(std::string_view text, bool quotes, std::string& dest) {
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

}  // namespace

void append_escaped_text(std::string_view text, std::string& dest) {
    append_escaped(text, false, dest);
}

void append_escaped_attribute(std::string_view text, std::string& dest) {
    append_escaped(text, true, dest);
}

std::string_view escaped_text(std::string_view text, std::string& scratch) {
    scratch.clear();
    append_escaped(text, false, scratch);
    return scratch;
}

}  // namespace quillet
