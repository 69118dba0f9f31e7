// What the commands of quillet-convert share: printing, the exit statuses and
// the folders and policy given on the command line.
#pragma once

#include <QString>
#include <cstdio>
#include <optional>

#include "cli_arguments.h"
#include "sys_vars.h"

namespace quillet::cli {

constexpr int kExitConverted = 0;
constexpr int kExitSomeNotConverted = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoReports = 3;

// Writes text to stream at once.
void print(std::FILE* stream, const QString& text);
// Says why on standard error; returns kExitUsage.
int usage_error(const QString& why);
// An existing folder given on the command line, made absolute.
std::optional<QString> existing_folder(const QString& path);

// Puts the folders and the overwrite policy of the command line into sys for
// this run, and takes the Fennick folder from dorrant.ini when the settings
// say so and no Fennick folder was given. The exit status when a folder is
// not usable.
std::optional<int> apply_run_options(cSys_vars& sys, const Arguments& args);

}  // namespace quillet::cli
