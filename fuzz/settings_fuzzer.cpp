// Feeds arbitrary bytes to the settings loader as the settings file and as
// the sibling program's dorrant.ini, then saves and loads again.
//
// Input: the settings file's bytes, then "\n#dorrant.ini\n", then the bytes
// of dorrant.ini (no separator: no dorrant.ini). "%ROOT%" in either part
// stands for a temporary folder that holds existing sub-folders (orvella,
// fennick, html, "db dir"), so that folder values can name real folders.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "sys_vars.h"

namespace {

using namespace quillet;

// In memory when the system offers it: the store syncs every save to disk.
QString sandbox_template() {
    const QString shm = QStringLiteral("/dev/shm");
    return QFileInfo(shm).isDir() && QFileInfo(shm).isWritable()
               ? shm + QStringLiteral("/quillet-fuzz-XXXXXX")
               : QDir::tempPath() + QStringLiteral("/quillet-fuzz-XXXXXX");
}

struct Sandbox {
    QTemporaryDir dir{sandbox_template()};
    QString root;
    QString program;
    QString store_folder;
};

Sandbox* sandbox = nullptr;

[[noreturn]] void fail(const char* what, const QString& context = {}) {
    std::fprintf(stderr, "invariant broken: %s %s\n", what, qPrintable(context));
    std::abort();
}

void write_bytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        fail("cannot write", path);
    }
}

void check_loaded(const cSys_vars& sys) {
    for (const QString* folder :
         {&sys.Path_Orvella(), &sys.Path_Fennick(), &sys.Path_HTMLReports()}) {
        if (!cSys_vars::fn_CheckPathExists(*folder)) {
            fail("folder left in place although it does not exist:", *folder);
        }
    }
    if (sys.Extension(0) != QLatin1String("htm") || sys.Rep_FileCount() != 0) {
        fail("fixed tables not set after loading");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    sandbox = new Sandbox;  // lives for the whole run
    if (!sandbox->dir.isValid()) {
        fail("no temporary folder");
    }
    sandbox->root = sandbox->dir.path();
    const QDir root(sandbox->root);
    for (const char* name : {"orvella", "fennick", "html", "db dir", "program", "store"}) {
        root.mkpath(QString::fromLatin1(name));
    }
    sandbox->program = sandbox->root + QStringLiteral("/program");
    sandbox->store_folder = sandbox->root + QStringLiteral("/store");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    input.replace("%ROOT%", sandbox->root.toUtf8());
    const QByteArray separator("\n#dorrant.ini\n");
    const qsizetype split = input.indexOf(separator);

    // One name for every round: the store rereads the file whenever a
    // settings object is made on it.
    const QString ini = sandbox->store_folder + QStringLiteral("/quillet.ini");
    const QString dorrant = sandbox->program + QStringLiteral("/dorrant.ini");
    write_bytes(ini, split < 0 ? input : input.left(split));
    if (split < 0) {
        QFile::remove(dorrant);
    } else {
        write_bytes(dorrant, input.mid(split + separator.size()));
    }

    cSys_vars::Options options;
    options.settings_file = ini;
    options.program_folder = sandbox->program;
    const QString root = sandbox->root;
    options.environment = [root](const char* name) -> QString {
        const std::string_view key(name);
        if (key == "TEMP" || key == "TMP" || key == "TMPDIR") {
            return root + QStringLiteral("/tmp");
        }
        if (key == "HOME") {
            return root + QStringLiteral("/home");
        }
        if (key == "XDG_DATA_HOME") {
            return root + QStringLiteral("/data");
        }
        return {};
    };

    {
        auto sys = std::make_unique<cSys_vars>(options);
        check_loaded(*sys);
        sys->pr_Set_FennickPath_to_DorrantDB();
        if (!cSys_vars::fn_CheckPathExists(sys->Path_Fennick())) {
            fail("the dorrant.ini lookup took a folder that does not exist:", sys->Path_Fennick());
        }
        sys->pr_Save_Sys_Settings();
    }
    {
        // What was saved loads again to folders that exist.
        const cSys_vars again(options);
        check_loaded(again);
    }
    QFile::remove(ini);
    return 0;
}
