#include "search_command.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "command_support.h"
#include "document_index.h"
#include "document_text.h"
#include "terminal_question.h"

namespace quillet::cli {

namespace {

constexpr int kExitFound = 0;
constexpr int kExitSearchFailed = 1;
constexpr int kExitNothingFound = 3;
constexpr int kDefaultLimit = 100;

// The snippet with its matches marked: bold and reversed on a terminal,
// between [ and ] anywhere else (and with NO_COLOR set).
QString marked(QString snippet, bool terminal) {
    const bool colour = terminal && std::getenv("NO_COLOR") == nullptr;
    return snippet
        .replace(QChar(0xFDD0), colour ? QStringLiteral("\033[1;7m") : QStringLiteral("["))
        .replace(QChar(0xFDD1), colour ? QStringLiteral("\033[0m") : QStringLiteral("]"));
}

QString table(const std::vector<SearchHit>& hits, bool terminal) {
    const QStringList header = {QStringLiteral("Student Number"), QStringLiteral("Report name"),
                                QStringLiteral("Date"), QStringLiteral("Text")};
    qsizetype widths[3] = {header[0].size(), header[1].size(), header[2].size()};
    for (const SearchHit& hit : hits) {
        widths[0] = std::max(widths[0], hit.student.size());
        widths[1] = std::max(widths[1], hit.report.size());
        widths[2] = std::max(widths[2], hit.date.size());
    }
    auto line = [&](const QString& student, const QString& report, const QString& date,
                    const QString& text) {
        return student.leftJustified(widths[0]) + QStringLiteral("  ") +
               report.leftJustified(widths[1]) + QStringLiteral("  ") +
               date.leftJustified(widths[2]) + QStringLiteral("  ") + text + QLatin1Char('\n');
    };
    QString out = line(header[0], header[1], header[2], header[3]);
    for (const SearchHit& hit : hits) {
        out += line(hit.student, hit.report, hit.date, marked(hit.snippet, terminal));
    }
    return out;
}

QString json(const std::vector<SearchHit>& hits) {
    QJsonArray array;
    for (const SearchHit& hit : hits) {
        array.append(QJsonObject{{QStringLiteral("student"), hit.student},
                                 {QStringLiteral("report"), hit.report},
                                 {QStringLiteral("date"), hit.date},
                                 {QStringLiteral("path"), hit.path},
                                 {QStringLiteral("snippet"), marked(hit.snippet, false)}});
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

void print_utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

}  // namespace

int run_search(cSys_vars& sys, const Arguments& args) {
    QString folder = sys.Path_HTMLReports();
    if (args.html) {
        folder = *args.html;
    }
    if (!QFileInfo(folder).isDir()) {
        return usage_error(QStringLiteral("%1: no such folder: %2")
                               .arg(args.html ? QStringLiteral("--html")
                                              : QStringLiteral("the HTML reports folder"),
                                    folder));
    }
    DocumentIndex index(folder);
    if (!index.ok()) {
        print(stderr, QStringLiteral("quillet-convert: %1\n").arg(index.error()));
        return kExitSearchFailed;
    }
    // The index follows the folder: only what changed since the last use is read.
    const bool progress = stderr_is_terminal();
    const bool current = index.refresh([&](qint64 done, qint64 total) {
        if (progress && total >= 200) {
            print(stderr, QStringLiteral("\r\033[KIndexing documents %1/%2").arg(done).arg(total));
        }
        return true;
    });
    if (progress) {
        print(stderr, QStringLiteral("\r\033[K"));
    }
    if (!current) {
        print(stderr, QStringLiteral("quillet-convert: the index may be out of date: %1\n")
                          .arg(index.error()));
    }
    const SearchResult result = index.search(args.query, args.limit.value_or(kDefaultLimit));
    if (!result.error.isEmpty()) {
        print(stderr, QStringLiteral("quillet-convert: %1\n").arg(result.error));
        return result.error.startsWith(QLatin1String("cannot understand")) ? kExitUsage
                                                                           : kExitSearchFailed;
    }
    if (args.json) {
        print_utf8(json(result.hits));
    } else if (!result.hits.empty()) {
        print_utf8(table(result.hits, isatty(STDOUT_FILENO) == 1));
    }
    return result.hits.empty() ? kExitNothingFound : kExitFound;
}

int run_text(const Arguments& args) {
    QFile file(args.file);
    if (!file.open(QIODevice::ReadOnly)) {
        return usage_error(
            QStringLiteral("cannot read the document %1: %2").arg(args.file, file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    const std::string text = document_text(std::string_view(bytes.constData(), bytes.size()));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitFound : kExitSearchFailed;
}

}  // namespace quillet::cli
