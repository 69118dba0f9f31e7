// What a fault may never leave behind in the HTML reports folder.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>

namespace quillet::test {

// Every file below folder with its bytes, by path relative to it.
std::map<QString, QByteArray> files_below(const QString& folder);

// What a conversion may leave in the HTML reports folder, whatever went wrong:
// documents that are complete (from "<HTML>" to the closing lines) or exactly
// as they were before, and nothing else - no temporary or partial files.
// Returns one line per violation; empty when the folder is sound.
QStringList unsound_documents(const QString& html, const std::map<QString, QByteArray>& before);

// The closing lines every complete document ends with.
bool is_complete_document(const QByteArray& bytes);

}  // namespace quillet::test
