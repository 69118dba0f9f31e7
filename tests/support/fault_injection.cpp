#include "fault_injection.h"

#include <QDir>
#include <QDirIterator>

#include "test_support.h"

namespace quillet::test {

std::map<QString, QByteArray> files_below(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        files[QDir(folder).relativeFilePath(file)] = read_file(file);
    }
    return files;
}

bool is_complete_document(const QByteArray& bytes) {
    return bytes.startsWith("<HTML>\r\n<HEAD>\r\n") && bytes.endsWith("</BODY>\r\n</HTML>\r\n");
}

QStringList unsound_documents(const QString& html, const std::map<QString, QByteArray>& before) {
    QStringList problems;
    const auto after = files_below(html);
    for (const auto& [name, bytes] : after) {
        const auto old = before.find(name);
        if (old != before.end() && old->second == bytes) {
            continue;
        }
        if (!name.endsWith(QLatin1String(".htm"))) {
            problems << name + QStringLiteral(": a file that is not a document");
        } else if (!is_complete_document(bytes)) {
            problems
                << name + QStringLiteral(": an incomplete document of %1 bytes").arg(bytes.size());
        }
    }
    for (const auto& [name, bytes] : before) {
        if (after.find(name) == after.end()) {
            problems << name + QStringLiteral(": an earlier document is gone");
        }
    }
    return problems;
}

}  // namespace quillet::test
