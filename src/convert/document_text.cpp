// The plain text of a converted document: one pass over the bytes, each byte
// looked at a bounded number of times, so any input takes linear time.
#include "document_text.h"

#include "windows_1252.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace quillet {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool is_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool is_alnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool equals_lower(std::string_view text, std::string_view lower_name) {
    return text.size() == lower_name.size() &&
           std::equal(text.begin(), text.end(), lower_name.begin(),
                      [](char a, char b) { return lower(a) == b; });
}

// True when html holds the tag <name or </name (closing) at pos, name ending there.
bool tag_at(std::string_view html, std::size_t pos, std::string_view name, bool closing) {
    std::size_t at = pos + 1;
    if (closing) {
        if (at >= html.size() || html[at] != '/') {
            return false;
        }
        ++at;
    }
    if (html.size() - std::min(html.size(), at) < name.size() ||
        !equals_lower(html.substr(at, name.size()), name)) {
        return false;
    }
    at += name.size();
    return at >= html.size() || !is_alnum(html[at]);
}

void append_utf8(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

enum class Tag { other, line, paragraph, cell, cell_end, pre, pre_end, skip };

struct TagKind {
    std::string_view name;
    Tag start, end;
};

// What a tag does to the text. Elements not named here leave it as it is.
constexpr std::array kTags{
    TagKind{"br", Tag::line, Tag::line},
    TagKind{"tr", Tag::line, Tag::line},
    TagKind{"li", Tag::line, Tag::line},
    TagKind{"div", Tag::line, Tag::line},
    TagKind{"table", Tag::line, Tag::line},
    TagKind{"hr", Tag::line, Tag::line},
    TagKind{"ul", Tag::line, Tag::line},
    TagKind{"ol", Tag::line, Tag::line},
    TagKind{"dd", Tag::line, Tag::line},
    TagKind{"dt", Tag::line, Tag::line},
    TagKind{"p", Tag::paragraph, Tag::paragraph},
    TagKind{"h1", Tag::paragraph, Tag::paragraph},
    TagKind{"h2", Tag::paragraph, Tag::paragraph},
    TagKind{"h3", Tag::paragraph, Tag::paragraph},
    TagKind{"h4", Tag::paragraph, Tag::paragraph},
    TagKind{"h5", Tag::paragraph, Tag::paragraph},
    TagKind{"h6", Tag::paragraph, Tag::paragraph},
    TagKind{"blockquote", Tag::paragraph, Tag::paragraph},
    TagKind{"td", Tag::cell, Tag::cell_end},
    TagKind{"th", Tag::cell, Tag::cell_end},
    TagKind{"pre", Tag::pre, Tag::pre_end},
    TagKind{"head", Tag::skip, Tag::other},
    TagKind{"style", Tag::skip, Tag::other},
    TagKind{"script", Tag::skip, Tag::other},
};

class TextWriter {
public:
    explicit TextWriter(std::size_t expected) { out_.reserve(expected); }

    void text(char32_t code) {
        flush_pending();
        append_utf8(code, out_);
    }
    void ascii(char c) {
        flush_pending();
        out_ += c;
    }
    // Blanks between words outside <pre>: one blank at most, none at a line's ends.
    void blank() {
        if (separator_ == 0) {
            separator_ = ' ';
        }
    }
    // Cells of a row are apart by a tab.
    void cell() { separator_ = '\t'; }
    // One more line end (<br>, a line of <pre>); a blank line at most.
    void line_break() {
        separator_ = 0;
        breaks_ = std::min(2, breaks_ + 1);
    }
    // The end of a block: breaks 1 ends the line, 2 leaves a blank line.
    void end_block(int breaks) {
        separator_ = 0;
        breaks_ = std::max(breaks_, breaks);
    }

    std::string finish() {
        while (!out_.empty() &&
               (out_.back() == ' ' || out_.back() == '\t' || out_.back() == '\n')) {
            out_.pop_back();
        }
        if (!out_.empty()) {
            out_ += '\n';
        }
        return std::move(out_);
    }

private:
    void trim_line_end() {
        while (!out_.empty() && (out_.back() == ' ' || out_.back() == '\t')) {
            out_.pop_back();
        }
    }
    void flush_pending() {
        if (breaks_ > 0) {
            trim_line_end();
            if (!out_.empty()) {
                out_.append(static_cast<std::size_t>(breaks_), '\n');
                // A line of blanks just trimmed may leave one line end too many.
                while (out_.size() > 2 && out_.compare(out_.size() - 3, 3, "\n\n\n") == 0) {
                    out_.pop_back();
                }
            }
            breaks_ = 0;
            separator_ = 0;
        } else if (separator_ != 0) {
            if (!out_.empty() && out_.back() != '\n') {
                out_ += separator_;
            }
            separator_ = 0;
        }
    }

    std::string out_;
    int breaks_ = 0;
    char separator_ = 0;
};

class Extractor {
public:
    explicit Extractor(std::string_view html) : html_(html), out_(html.size() / 2) {}

    std::string run() {
        while (pos_ < html_.size()) {
            const char c = html_[pos_];
            if (c == '<') {
                markup();
            } else if (c == '&') {
                entity();
            } else {
                character(static_cast<unsigned char>(c));
                ++pos_;
            }
        }
        return out_.finish();
    }

private:
    void character(unsigned char byte) {
        if (byte == '\r' || byte == '\n') {
            if (pre_) {
                // CR LF, a lone CR and a lone LF each end one line.
                if (!(byte == '\n' && pos_ > 0 && html_[pos_ - 1] == '\r')) {
                    out_.line_break();
                }
            } else {
                out_.blank();
            }
        } else if (byte == ' ' || byte == '\t') {
            if (pre_) {
                out_.ascii(static_cast<char>(byte));
            } else {
                out_.blank();
            }
        } else if (byte < 0x20 || byte == 0x7F) {
            out_.blank();
        } else if (byte < 0x80) {
            out_.ascii(static_cast<char>(byte));
        } else if (byte <= 0x9F) {
            const char16_t mapped = kWindows1252High[byte - 0x80];
            if (mapped == 0) {
                out_.blank();
            } else {
                out_.text(mapped);
            }
        } else if (byte == 0xA0) {
            out_.ascii(' ');  // a no-break space stays a blank of its own
        } else {
            out_.text(byte);
        }
    }

    void entity() {
        // The longest entity read is "&#x10FFFF;" or a named one like "&quot;".
        constexpr std::size_t kLongest = 12;
        const std::string_view rest = html_.substr(pos_ + 1, kLongest);
        const std::size_t end = rest.find(';');
        if (end != std::string_view::npos) {
            const std::string_view name = rest.substr(0, end);
            if (const auto code = decode(name)) {
                pos_ += end + 2;
                if (*code == 0xA0) {
                    out_.ascii(' ');
                } else if (*code < 0x20 || (*code >= 0x7F && *code < 0xA0)) {
                    out_.blank();
                } else {
                    out_.text(*code);
                }
                return;
            }
        }
        out_.ascii('&');
        ++pos_;
    }

    static std::optional<char32_t> decode(std::string_view name) {
        if (name == "amp")
            return U'&';
        if (name == "lt")
            return U'<';
        if (name == "gt")
            return U'>';
        if (name == "quot")
            return U'"';
        if (name == "apos")
            return U'\'';
        if (name == "nbsp")
            return U'\xA0';
        if (name.size() < 2 || name[0] != '#') {
            return std::nullopt;
        }
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (const char d : digits) {
            int digit = -1;
            if (d >= '0' && d <= '9') {
                digit = d - '0';
            } else if (hex && lower(d) >= 'a' && lower(d) <= 'f') {
                digit = lower(d) - 'a' + 10;
            }
            if (digit < 0) {
                return std::nullopt;
            }
            value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
        }
        if (value >= 0x80 && value <= 0x9F && kWindows1252High[value - 0x80] != 0) {
            return kWindows1252High[value - 0x80];  // as browsers read them
        }
        if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            return U'\xFFFD';
        }
        return static_cast<char32_t>(value);
    }

    void markup() {
        const std::string_view rest = html_.substr(pos_);
        if (rest.starts_with("<!--")) {
            const std::size_t end = html_.find("-->", pos_ + 4);
            pos_ = end == std::string_view::npos ? html_.size() : end + 3;
            return;
        }
        const bool closing = rest.size() > 1 && rest[1] == '/';
        const std::size_t name_start = pos_ + (closing ? 2 : 1);
        const bool is_tag = name_start < html_.size() && (is_letter(html_[name_start]) ||
                                                          (!closing && html_[name_start] == '!') ||
                                                          (!closing && html_[name_start] == '?'));
        if (!is_tag) {
            out_.ascii('<');  // a "<" that opens no tag is text
            ++pos_;
            return;
        }
        std::size_t name_end = name_start;
        while (name_end < html_.size() && is_alnum(html_[name_end])) {
            ++name_end;
        }
        const std::string_view name = html_.substr(name_start, name_end - name_start);
        const std::size_t end = html_.find('>', name_end);
        pos_ = end == std::string_view::npos ? html_.size() : end + 1;

        for (const TagKind& kind : kTags) {
            if (equals_lower(name, kind.name)) {
                act(closing ? kind.end : kind.start, kind.name);
                return;
            }
        }
    }

    void act(Tag what, std::string_view name) {
        if (in_cell_ && (what == Tag::paragraph || (what == Tag::line && name == "div"))) {
            // Paragraphs inside a table cell keep the row on one line.
            out_.blank();
            return;
        }
        switch (what) {
            case Tag::other:
                return;
            case Tag::line:
                if (name == "br") {
                    out_.line_break();
                } else {
                    in_cell_ = false;
                    out_.end_block(1);
                }
                return;
            case Tag::paragraph:
                out_.end_block(2);
                return;
            case Tag::cell:
                in_cell_ = true;
                out_.cell();
                return;
            case Tag::cell_end:
                in_cell_ = false;
                out_.blank();
                return;
            case Tag::pre:
                out_.end_block(1);
                pre_ = true;
                return;
            case Tag::pre_end:
                out_.end_block(1);
                pre_ = false;
                return;
            case Tag::skip:
                skip_element(name);
                return;
        }
    }

    // Drops everything up to the element's end tag (a head also ends where
    // the body begins), or to the end when it has none.
    void skip_element(std::string_view name) {
        const bool head = name == "head";
        for (std::size_t at = html_.find('<', pos_); at != std::string_view::npos;
             at = html_.find('<', at + 1)) {
            if (tag_at(html_, at, name, true) || (head && tag_at(html_, at, "body", false))) {
                pos_ = at;
                return;
            }
        }
        pos_ = html_.size();
    }

    std::string_view html_;
    std::size_t pos_ = 0;
    bool pre_ = false;
    bool in_cell_ = false;
    TextWriter out_;
};

}  // namespace

std::string document_text(std::string_view html) {
    return Extractor(html).run();
}

}  // namespace quillet
