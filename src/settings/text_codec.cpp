#include "text_codec.h"

#include "windows_1252.h"

#include <array>
#include <cstdint>

namespace quillet {
namespace {

char16_t decode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t mapped = kWindows1252High[byte - 0x80];
        return mapped != 0 ? mapped : char16_t{byte};
    }
    return char16_t{byte};
}

char encode(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        return static_cast<char>(unit);
    }
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
        const char16_t mapped = kWindows1252High[i];
        if ((mapped != 0 && mapped == unit) || (mapped == 0 && unit == 0x80 + i)) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

}  // namespace

QString from_cp1252(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        *out++ = QChar(decode(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string to_cp1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        bytes.push_back(encode(c.unicode()));
    }
    return bytes;
}

}  // namespace quillet
