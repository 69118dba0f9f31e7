// The catalogue of 20,000 documents in 2,000 student folders, and sorting
// 20,000 entries by each key.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <random>

#include "report_catalogue.h"
#include "sys_vars.h"

namespace {

using quillet::cSys_vars;
using quillet::SortChoice;

constexpr int kFolders = 2000;
constexpr int kPerFolder = 10;

// One document tree shared by all runs (creating it takes a while).
class DocumentTree {
public:
    DocumentTree() {
        QDir().mkpath(html());
        for (int f = 0; f < kFolders && ok_; ++f) {
            const QString student = QString::number(100000 + (f * 7919) % 900000);
            const QString folder =
                html() + (f % 50 == 0 ? QStringLiteral("Fennick") + student : student) + '/';
            QDir().mkpath(folder);
            for (int d = 0; d < kPerFolder && ok_; ++d) {
                const QString name = d == 0   ? QStringLiteral("Analysis.htm")
                                     : d == 1 ? QStringLiteral("Dyslexia.htm")
                                              : QStringLiteral("Letter %1.HTM").arg(d);
                QFile file(folder + name);
                ok_ = file.open(QIODevice::WriteOnly);
            }
        }
        cSys_vars::Options options;
        options.settings_file = dir_.filePath("quillet.ini");
        options.program_folder = dir_.filePath("program");
        options.environment = [root = dir_.path()](const char* name) -> QString {
            const QByteArray n(name);
            return n == "TEMP" ? root + "/tmp" : n == "XDG_DATA_HOME" ? root + "/data" : QString();
        };
        sys_ = std::make_unique<cSys_vars>(options);
        sys_->set_Path_HTMLReports(html());
    }

    bool ok() const { return ok_; }
    cSys_vars& sys() { return *sys_; }

private:
    QString html() const { return dir_.filePath("reports/"); }

    QTemporaryDir dir_;
    bool ok_ = true;
    std::unique_ptr<cSys_vars> sys_;
};

DocumentTree& tree() {
    static DocumentTree instance;
    return instance;
}

void BM_Catalogue(benchmark::State& state) {
    DocumentTree& t = tree();
    if (!t.ok()) {
        state.SkipWithError("cannot create the document tree");
        return;
    }
    for (auto _ : state) {
        pr_Get_List_Of_Converted_Files(t.sys(), SortChoice{});
    }
    if (t.sys().Rep_FileCount() != kFolders * kPerFolder) {
        state.SkipWithError("wrong number of documents");
    }
    state.SetItemsProcessed(state.iterations() * kFolders * kPerFolder);
}
BENCHMARK(BM_Catalogue)->Unit(benchmark::kMillisecond);

// Sorts a shuffled catalogue by one key (range 0) and direction (range 1).
void BM_Sort(benchmark::State& state) {
    DocumentTree& t = tree();
    if (!t.ok()) {
        state.SkipWithError("cannot create the document tree");
        return;
    }
    cSys_vars& sys = t.sys();
    pr_Get_List_Of_Converted_Files(sys, SortChoice{7, true});
    const SortChoice choice{static_cast<std::int16_t>(state.range(0)), state.range(1) != 0};
    std::mt19937 rng(1);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = sys.Rep_FileCount(); i > 1; --i) {
            std::swap(sys.entry(i), sys.entry(std::uniform_int_distribution<int>(1, i)(rng)));
        }
        state.ResumeTiming();
        pr_Sort_Report_List(sys, choice);
    }
    state.SetItemsProcessed(state.iterations() * sys.Rep_FileCount());
}
BENCHMARK(BM_Sort)
    ->ArgNames({"key", "asc"})
    ->ArgsProduct({{0, 1, 2, 3}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
