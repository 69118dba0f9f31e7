#include "cli_arguments.h"

namespace quillet::cli {

QString usage_text() {
    return QStringLiteral(
        "Usage:\n"
        "  quillet-convert orvella|fennick|all [--orvella DIR] [--fennick DIR] [--html DIR]\n"
        "                  [--existing overwrite|ask|skip] [--jobs N] [--settings FILE] [--json]\n"
        "  quillet-convert watch [--orvella DIR] [--fennick DIR] [--html DIR]\n"
        "                  [--existing overwrite|skip] [--jobs N] [--settle MS] [--settings FILE]\n"
        "                  [--json]\n"
        "  quillet-convert list [--html DIR] [--sort student|name|date|comment] [--descending]\n"
        "                  [--settings FILE] [--json]\n"
        "  quillet-convert search QUERY [--html DIR] [--settings FILE] [--json] [--limit N]\n"
        "  quillet-convert text FILE.htm\n"
        "  quillet-convert --help | --version\n"
        "\n"
        "Converts assessment reports to HTML documents, filed in one folder per student,\n"
        "exactly as the Quillet desktop program does.\n"
        "\n"
        "Commands:\n"
        "  orvella      convert every report in the Orvella folder (~drnt*.tmp)\n"
        "  fennick      convert every report in the Fennick folder (*.fnr)\n"
        "  all          both, Fennick reports first\n"
        "  watch        convert what is there, as all does, then every report that arrives\n"
        "               or changes, once it has stopped changing; one row per conversion.\n"
        "               Runs until SIGINT or SIGTERM, which finish the report in progress\n"
        "  list         list the converted documents in the HTML reports folder\n"
        "  search       the documents whose text matches QUERY, best match first:\n"
        "               student, report name, date and the text around the match.\n"
        "               QUERY: words (all must occur), \"a phrase\", prefix*, OR, NOT,\n"
        "               AND, NEAR(a b, 5), brackets; letter case and accents ignored.\n"
        "               Several arguments are joined by blanks; at most 1000 characters\n"
        "  text         print the plain text of a document (UTF-8), as search sees it\n"
        "\n"
        "Options:\n"
        "  --orvella DIR, --fennick DIR, --html DIR\n"
        "               use these folders for this run (never saved). Without --fennick,\n"
        "               the Fennick folder comes from dorrant.ini when the settings say so.\n"
        "  --existing overwrite|ask|skip\n"
        "               what to do when a document already exists (this run only);\n"
        "               ask answers No when there is no terminal\n"
        "  --jobs N     convert N reports at a time (default: one per core); the\n"
        "               documents and the rows are those of --jobs 1, in list order\n"
        "  --settle MS  watch: a report counts as written once unchanged this long\n"
        "               (default 1000)\n"
        "  --sort student|name|date|comment, --descending\n"
        "               order of the list (default: student, ascending)\n"
        "  --settings FILE\n"
        "               use FILE (INI) as the settings store instead of your own\n"
        "  --limit N    search: show at most N documents (default 100)\n"
        "  --json       print one JSON array instead of a table (watch: one object a line)\n"
        "\n"
        "Exit status: 0 every entry converted (or listed), 1 some entry was not converted,\n"
        "2 usage error, 3 no report found; watch: 0 when stopped by SIGINT or SIGTERM;\n"
        "search: 0 some document matches, 3 none does, 2 a query it cannot understand.\n");
}

namespace {

std::optional<int> whole_number_from_1(const QString& text) {
    bool number = false;
    const int value = text.toInt(&number);
    if (!number || value < 1) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

ParseResult parse_arguments(const QStringList& args) {
    ParseResult result;
    Arguments& a = result.arguments;
    auto fail = [&](const QString& why) {
        // The reason quotes what was given; it stays one line whatever that held.
        result.error = why;
        for (QChar& c : result.error) {
            if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                c == QChar::ParagraphSeparator) {
                c = QLatin1Char('?');
            }
        }
        return result;
    };
    if (args.isEmpty()) {
        return fail(QStringLiteral("no command given (try --help)"));
    }

    const QString& command = args.front();
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        a.command = Command::Help;
        return result;
    }
    if (command == QLatin1String("--version")) {
        a.command = Command::Version;
        return result;
    }
    if (command == QLatin1String("orvella")) {
        a.command = Command::Convert;
        a.what_report = 2;
    } else if (command == QLatin1String("fennick")) {
        a.command = Command::Convert;
        a.what_report = 1;
    } else if (command == QLatin1String("all")) {
        a.command = Command::Convert;
        a.what_report = 0;
    } else if (command == QLatin1String("watch")) {
        a.command = Command::Watch;
        a.what_report = 0;
    } else if (command == QLatin1String("list")) {
        a.command = Command::List;
    } else if (command == QLatin1String("search")) {
        a.command = Command::Search;
    } else if (command == QLatin1String("text")) {
        a.command = Command::Text;
    } else {
        return fail(QStringLiteral("unknown command '%1' (try --help)").arg(command));
    }

    const bool watching = a.command == Command::Watch;
    const bool converting = a.command == Command::Convert || watching;
    const bool searching = a.command == Command::Search;
    const bool texting = a.command == Command::Text;
    QStringList words;
    bool options_ended = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& option = args[i];
        const bool is_option =
            !options_ended && option.startsWith(QLatin1Char('-')) && option.size() > 1;
        if ((searching || texting) && !is_option) {
            if (texting && !a.file.isEmpty()) {
                return fail(QStringLiteral("text takes one document, not also '%1'").arg(option));
            }
            if (texting) {
                a.file = option;
            } else {
                words << option;
            }
            continue;
        }
        if ((searching || texting) && option == QLatin1String("--")) {
            options_ended = true;
            continue;
        }
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size()) {
                return std::nullopt;
            }
            return args[++i];
        };
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            a.command = Command::Help;
            return result;
        }
        if (option == QLatin1String("--json") && !texting) {
            a.json = true;
            continue;
        }
        if (option == QLatin1String("--descending") && a.command == Command::List) {
            a.sort.gblnSortAscending = false;
            continue;
        }
        const bool takes_value =
            (!texting && option == QLatin1String("--html")) ||
            option == QLatin1String("--settings") ||
            (converting &&
             (option == QLatin1String("--orvella") || option == QLatin1String("--fennick") ||
              option == QLatin1String("--existing") || option == QLatin1String("--jobs"))) ||
            (a.command == Command::List && option == QLatin1String("--sort")) ||
            (searching && option == QLatin1String("--limit")) ||
            (watching && option == QLatin1String("--settle"));
        if (!takes_value) {
            return fail(QStringLiteral("unknown option '%1' for '%2'").arg(option, command));
        }
        const auto v = value();
        if (!v || v->isEmpty()) {
            return fail(QStringLiteral("option '%1' needs a value").arg(option));
        }
        if (option == QLatin1String("--html")) {
            a.html = *v;
        } else if (option == QLatin1String("--settings")) {
            a.settings = *v;
        } else if (option == QLatin1String("--orvella")) {
            a.orvella = *v;
        } else if (option == QLatin1String("--fennick")) {
            a.fennick = *v;
        } else if (option == QLatin1String("--jobs")) {
            a.jobs = whole_number_from_1(*v);
            if (!a.jobs) {
                return fail(QStringLiteral("--jobs takes a whole number from 1, not '%1'").arg(*v));
            }
        } else if (option == QLatin1String("--limit")) {
            a.limit = whole_number_from_1(*v);
            if (!a.limit) {
                return fail(
                    QStringLiteral("--limit takes a whole number from 1, not '%1'").arg(*v));
            }
        } else if (option == QLatin1String("--settle")) {
            a.settle_ms = whole_number_from_1(*v);
            if (!a.settle_ms) {
                return fail(QStringLiteral("--settle takes milliseconds from 1, not '%1'").arg(*v));
            }
        } else if (option == QLatin1String("--existing")) {
            if (*v == QLatin1String("overwrite")) {
                a.convert_option = 0;
            } else if (*v == QLatin1String("ask")) {
                a.convert_option = 1;
            } else if (*v == QLatin1String("skip")) {
                a.convert_option = 2;
            } else {
                return fail(
                    QStringLiteral("--existing takes overwrite, ask or skip, not '%1'").arg(*v));
            }
        } else {  // --sort
            static const QStringList keys = {QStringLiteral("student"), QStringLiteral("name"),
                                             QStringLiteral("date"), QStringLiteral("comment")};
            const auto key = keys.indexOf(*v);
            if (key < 0) {
                return fail(QStringLiteral("--sort takes student, name, date or comment, not '%1'")
                                .arg(*v));
            }
            a.sort.gintSortKey = static_cast<std::int16_t>(key);
        }
    }
    if (searching) {
        a.query = words.join(QLatin1Char(' '));
        if (a.query.trimmed().isEmpty()) {
            return fail(QStringLiteral("search needs a query (try --help)"));
        }
    }
    if (texting && a.file.isEmpty()) {
        return fail(QStringLiteral("text needs a document (try --help)"));
    }
    return result;
}

}  // namespace quillet::cli
