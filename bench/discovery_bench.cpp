// Source discovery of one folder holding 20,000 qualifying report files.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "sys_vars.h"

namespace {

using quillet::cSys_vars;

cSys_vars::Options sandbox_options(const QTemporaryDir& dir) {
    cSys_vars::Options options;
    options.settings_file = dir.filePath("quillet.ini");
    options.program_folder = dir.filePath("program");
    options.environment = [root = dir.path()](const char* name) -> QString {
        const QByteArray n(name);
        if (n == "TEMP") {
            return root + "/tmp";
        }
        if (n == "XDG_DATA_HOME") {
            return root + "/data";
        }
        return {};
    };
    return options;
}

void BM_DiscoverFennickFolder(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const QString folder = dir.filePath("fennick/");
    QDir().mkpath(folder);
    for (int i = 0; i < files; ++i) {
        QFile file(folder + QStringLiteral("Report%1.FNR").arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot create the input files");
            return;
        }
    }
    // Some files that do not qualify.
    for (int i = 0; i < files / 10; ++i) {
        QFile file(folder + QStringLiteral("note%1.txt").arg(i));
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot create the input files");
            return;
        }
    }
    cSys_vars sys(sandbox_options(dir));
    sys.set_Path_Fennick(folder);
    for (auto _ : state) {
        benchmark::DoNotOptimize(sys.pr_Generate_File_List(1));
    }
    if (sys.Rep_FileCount() != files) {
        state.SkipWithError("wrong number of entries");
    }
    state.SetItemsProcessed(state.iterations() * files);
}
BENCHMARK(BM_DiscoverFennickFolder)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
