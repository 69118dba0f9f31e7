// The command line of quillet-convert.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "sys_vars.h"

namespace quillet::cli {

enum class Command { Convert, Watch, List, Search, Text, Help, Version };

struct Arguments {
    Command command = Command::Help;
    std::int16_t what_report = 0;  // 1 Fennick, 2 Orvella, 0 both
    std::optional<QString> orvella, fennick, html, settings;
    std::optional<std::int16_t> convert_option;  // 0 overwrite, 1 ask, 2 skip
    std::optional<int> jobs;       // reports converted at a time; default one per core
    std::optional<int> settle_ms;  // watch: how long a report must stay unchanged
    SortChoice sort;
    bool json = false;
    QString query;             // search: the words given, joined by blanks
    std::optional<int> limit;  // search: at most this many documents
    QString file;              // text: the document
};

struct ParseResult {
    Arguments arguments;
    QString error;  // a one-line reason when the command line is not usable
};

ParseResult parse_arguments(const QStringList& args);

QString usage_text();

}  // namespace quillet::cli
