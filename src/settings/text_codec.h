// Windows-1252, the code page of report files, documents and dorrant.ini.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quillet {

QString from_cp1252(std::string_view bytes);
// Characters that Windows-1252 cannot hold become "?".
std::string to_cp1252(const QString& text);

}  // namespace quillet
