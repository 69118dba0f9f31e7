// quillet-convert: the conversion engine for scripts and batch use.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "cli_arguments.h"
#include "command_support.h"
#include "parallel_batch.h"
#include "quillet_version.h"
#include "report_catalogue.h"
#include "report_conversion.h"
#include "report_table.h"
#include "search_command.h"
#include "sys_vars.h"
#include "terminal_question.h"
#include "watch_command.h"

namespace {

using namespace quillet;
using namespace quillet::cli;

int run_convert(cSys_vars& sys, const Arguments& args) {
    if (const auto failed = apply_run_options(sys, args)) {
        return *failed;
    }

    if (!sys.pr_Generate_File_List(args.what_report)) {
        print(stderr, QStringLiteral(
                          "Could not find any Reports in the Orvella or Fennick Folder to convert "
                          "to HTML.\n"));
        return kExitNoReports;
    }

    TerminalQuestion question;
    const int count = sys.Rep_FileCount();
    const bool progress = stderr_is_terminal();
    pr_Convert_Report_List(sys, question, args.jobs.value_or(default_batch_jobs()), [&](int index) {
        if (progress) {
            print(stderr, QStringLiteral("\r\033[K[%1/%2] %3")
                              .arg(index)
                              .arg(count)
                              .arg(sys.entry(index).Rep_SourceFilename));
        }
    });
    if (progress) {
        print(stderr, QStringLiteral("\r\033[K"));
    }

    if (args.json) {
        print(stdout, format_json(sys, View::Conversion));
    } else {
        print_table(stdout, sys, View::Conversion);
    }
    for (int i = 1; i <= count; ++i) {
        if (!sys.entry(i).Rep_Converted) {
            return kExitSomeNotConverted;
        }
    }
    return kExitConverted;
}

int run_list(cSys_vars& sys, const Arguments& args) {
    if (args.html) {
        const auto folder = existing_folder(*args.html);
        if (!folder) {
            return usage_error(QStringLiteral("--html: no such folder: %1").arg(*args.html));
        }
        sys.set_Path_HTMLReports(*folder);
    }
    pr_Get_List_Of_Converted_Files(sys, args.sort);
    if (args.json) {
        print(stdout, format_json(sys, View::List));
    } else {
        print_table(stdout, sys, View::List);
    }
    return kExitConverted;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    const ParseResult parsed = parse_arguments(args);
    if (!parsed.error.isEmpty()) {
        return usage_error(parsed.error);
    }
    const Arguments& arguments = parsed.arguments;
    switch (arguments.command) {
        case Command::Help:
            print(stdout, usage_text());
            return 0;
        case Command::Version:
            print(stdout, QStringLiteral("quillet-convert " QUILLET_VERSION "\n"));
            return 0;
        case Command::Text:
            return run_text(arguments);
        case Command::Convert:
        case Command::Watch:
        case Command::List:
        case Command::Search:
            break;
    }

    cSys_vars::Options options = cSys_vars::user_options();
    if (arguments.settings) {
        options.settings_file = QFileInfo(*arguments.settings).absoluteFilePath();
    }
    cSys_vars sys(options);
    switch (arguments.command) {
        case Command::Convert:
            return run_convert(sys, arguments);
        case Command::Watch:
            return run_watch(sys, arguments);
        case Command::Search:
            return run_search(sys, arguments);
        default:
            return run_list(sys, arguments);
    }
}
