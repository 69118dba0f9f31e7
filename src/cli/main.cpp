// quillet-convert: the conversion engine for scripts and batch use.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "cli_arguments.h"
#include "parallel_batch.h"
#include "report_conversion.h"
#include "report_table.h"
#include "report_catalogue.h"
#include "sys_vars.h"
#include "terminal_question.h"

namespace {

using namespace quillet;
using namespace quillet::cli;

constexpr int kExitConverted = 0;
constexpr int kExitSomeNotConverted = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoReports = 3;

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

int usage_error(const QString& why) {
    print(stderr, QStringLiteral("quillet-convert: %1\n").arg(why));
    return kExitUsage;
}

// An existing folder given on the command line, made absolute.
std::optional<QString> existing_folder(const QString& path) {
    const QFileInfo info(path);
    if (!info.isDir()) {
        return std::nullopt;
    }
    return info.absoluteFilePath();
}

int run_convert(cSys_vars& sys, const Arguments& args) {
    if (args.orvella) {
        const auto folder = existing_folder(*args.orvella);
        if (!folder) {
            return usage_error(QStringLiteral("--orvella: no such folder: %1").arg(*args.orvella));
        }
        sys.set_Path_Orvella(*folder);
    }
    if (args.fennick) {
        const auto folder = existing_folder(*args.fennick);
        if (!folder) {
            return usage_error(QStringLiteral("--fennick: no such folder: %1").arg(*args.fennick));
        }
        sys.set_Path_Fennick(*folder);
    }
    if (args.html) {
        if (!QDir().mkpath(*args.html)) {
            return usage_error(
                QStringLiteral("--html: cannot create the folder %1").arg(*args.html));
        }
        sys.set_Path_HTMLReports(QFileInfo(*args.html).absoluteFilePath());
    }
    if (args.convert_option) {
        sys.set_Gen_ConvertOption(*args.convert_option);
    }
    if (args.what_report != 2 && !args.fennick && sys.Gen_FennickChoice() == 1) {
        sys.pr_Set_FennickPath_to_DorrantDB();
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

    print(stdout,
          args.json ? format_json(sys, View::Conversion) : format_table(sys, View::Conversion));
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
    print(stdout, args.json ? format_json(sys, View::List) : format_table(sys, View::List));
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
        case Command::Convert:
        case Command::List:
            break;
    }

    cSys_vars::Options options = cSys_vars::user_options();
    if (arguments.settings) {
        options.settings_file = QFileInfo(*arguments.settings).absoluteFilePath();
    }
    cSys_vars sys(options);
    return arguments.command == Command::Convert ? run_convert(sys, arguments)
                                                 : run_list(sys, arguments);
}
