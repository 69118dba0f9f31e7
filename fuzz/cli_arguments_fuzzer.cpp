// Feeds arbitrary command lines to quillet-convert's argument parser.
//
// Input: the arguments, separated by NUL bytes, as UTF-8.
// Checks: the parser never fails without saying why on one line; what it
// accepts is in range; and the command line written back from an accepted
// result is accepted again with the same result.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "cli_arguments.h"

namespace {

using namespace quillet::cli;

[[noreturn]] void fail(const char* what, const QStringList& args) {
    std::fprintf(stderr, "invariant broken: %s\nargs:", what);
    for (const QString& arg : args) {
        std::fprintf(stderr, " [%s]", arg.toUtf8().constData());
    }
    std::fprintf(stderr, "\n");
    std::abort();
}

bool same(const Arguments& a, const Arguments& b) {
    if (a.command == Command::Help || a.command == Command::Version) {
        return a.command == b.command;  // nothing else is used
    }
    return a.command == b.command && a.what_report == b.what_report && a.orvella == b.orvella &&
           a.fennick == b.fennick && a.html == b.html && a.settings == b.settings &&
           a.convert_option == b.convert_option && a.jobs == b.jobs && a.settle_ms == b.settle_ms &&
           a.sort.gintSortKey == b.sort.gintSortKey &&
           a.sort.gblnSortAscending == b.sort.gblnSortAscending && a.json == b.json &&
           a.query == b.query && a.limit == b.limit && a.file == b.file;
}

// The command line that asks for exactly these arguments.
QStringList written_back(const Arguments& a) {
    QStringList args;
    switch (a.command) {
        case Command::Convert:
            args << (a.what_report == 2   ? QStringLiteral("orvella")
                     : a.what_report == 1 ? QStringLiteral("fennick")
                                          : QStringLiteral("all"));
            break;
        case Command::Watch:
            args << QStringLiteral("watch");
            break;
        case Command::List:
            args << QStringLiteral("list");
            break;
        case Command::Search:
            args << QStringLiteral("search");
            break;
        case Command::Text:
            args << QStringLiteral("text");
            break;
        case Command::Help:
            return {QStringLiteral("--help")};
        case Command::Version:
            return {QStringLiteral("--version")};
    }
    const auto add = [&](const char* option, const std::optional<QString>& value) {
        if (value) {
            args << QString::fromLatin1(option) << *value;
        }
    };
    add("--orvella", a.orvella);
    add("--fennick", a.fennick);
    add("--html", a.html);
    add("--settings", a.settings);
    if (a.convert_option) {
        static const char* const kExisting[] = {"overwrite", "ask", "skip"};
        add("--existing", QString::fromLatin1(kExisting[*a.convert_option]));
    }
    if (a.jobs) {
        add("--jobs", QString::number(*a.jobs));
    }
    if (a.settle_ms) {
        add("--settle", QString::number(*a.settle_ms));
    }
    if (a.limit) {
        add("--limit", QString::number(*a.limit));
    }
    if (a.command == Command::List) {
        if (a.sort.gintSortKey != 0) {
            static const char* const kKeys[] = {"student", "name", "date", "comment"};
            add("--sort", QString::fromLatin1(kKeys[a.sort.gintSortKey]));
        }
        if (!a.sort.gblnSortAscending) {
            args << QStringLiteral("--descending");
        }
    }
    if (a.json) {
        args << QStringLiteral("--json");
    }
    if (a.command == Command::Search || a.command == Command::Text) {
        args << QStringLiteral("--") << (a.command == Command::Search ? a.query : a.file);
    }
    return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList args;
    if (!bytes.isEmpty()) {
        for (const QByteArray& arg : bytes.split('\0')) {
            args << QString::fromUtf8(arg);
        }
    }
    const ParseResult parsed = parse_arguments(args);
    if (!parsed.error.isEmpty()) {
        if (parsed.error.contains(QLatin1Char('\n'))) {
            fail("the reason takes more than one line", args);
        }
        return 0;
    }
    if (args.isEmpty()) {
        fail("an empty command line accepted", args);
    }
    const Arguments& a = parsed.arguments;
    if (a.what_report < 0 || a.what_report > 2 || (a.convert_option && *a.convert_option > 2) ||
        (a.convert_option && *a.convert_option < 0) || (a.jobs && *a.jobs < 1) ||
        (a.settle_ms && *a.settle_ms < 1) || a.sort.gintSortKey < 0 || a.sort.gintSortKey > 3 ||
        (a.limit && *a.limit < 1)) {
        fail("a value out of range accepted", args);
    }
    for (const auto* path : {&a.orvella, &a.fennick, &a.html, &a.settings}) {
        if (*path && (*path)->isEmpty()) {
            fail("an empty folder or file accepted", args);
        }
    }
    if ((a.command == Command::Search && a.query.trimmed().isEmpty()) ||
        (a.command == Command::Text && a.file.isEmpty())) {
        fail("a search without a query or a text without a document accepted", args);
    }
    const QStringList again = written_back(a);
    const ParseResult reparsed = parse_arguments(again);
    if (!reparsed.error.isEmpty() || !same(reparsed.arguments, a)) {
        fail("the command line written back parses differently", args);
    }
    return 0;
}
