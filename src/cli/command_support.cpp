#include "command_support.h"

#include <QDir>
#include <QFileInfo>

namespace quillet::cli {

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

int usage_error(const QString& why) {
    print(stderr, QStringLiteral("quillet-convert: %1\n").arg(why));
    return kExitUsage;
}

std::optional<QString> existing_folder(const QString& path) {
    const QFileInfo info(path);
    if (!info.isDir()) {
        return std::nullopt;
    }
    return info.absoluteFilePath();
}

std::optional<int> apply_run_options(cSys_vars& sys, const Arguments& args) {
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
    return std::nullopt;
}

}  // namespace quillet::cli
