// The desktop program with 20,000 documents: start-up (settings object,
// catalogue, main window shown and painted; the splash window's fixed half
// second is left out), showing the 20,000-entry list, sorting it from the View
// menu, and writing 20,000 rows one by one as a batch does.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "browser_launcher.h"
#include "frm_main.h"
#include "report_grid_model.h"
#include "shell_globals.h"
#include "report_catalogue.h"
#include "sys_vars.h"
#include "user_prompts.h"

namespace {

using namespace quillet;

constexpr int kFolders = 2000;
constexpr int kPerFolder = 10;
constexpr int kDocuments = kFolders * kPerFolder;

class NoBrowser final : public BrowserLauncher {
public:
    bool open(const QUrl&) override { return true; }
};

class NoPrompts final : public UserPrompts {
public:
    void information(QWidget*, const QString&, const QString&) override {}
    bool question(QWidget*, const QString&, const QString&) override { return true; }
};

// 20,000 documents in 2,000 student folders and a settings file naming them.
class Workspace {
public:
    Workspace() {
        const QString html = dir_.filePath(QStringLiteral("reports/"));
        for (int f = 0; f < kFolders && ok_; ++f) {
            const QString folder = html + QString::number(10000000 + (f * 7919) % 9000000) + '/';
            QDir().mkpath(folder);
            for (int d = 0; d < kPerFolder && ok_; ++d) {
                QFile file(folder + (d % 2 == 0 ? QStringLiteral("analysis%1.htm")
                                                : QStringLiteral("dyslexia%1.htm"))
                                        .arg(d));
                ok_ = file.open(QIODevice::WriteOnly);
            }
        }
        QFile ini(dir_.filePath(QStringLiteral("quillet.ini")));
        ok_ =
            ok_ && ini.open(QIODevice::WriteOnly) &&
            ini.write("[Options]\nHTML%20Reports=" + html.toUtf8() + "\nFennick%20Choice=0\n") > 0;
    }
    bool ok() const { return ok_; }
    cSys_vars::Options options() const {
        cSys_vars::Options options;
        options.settings_file = dir_.filePath(QStringLiteral("quillet.ini"));
        options.program_folder = dir_.filePath(QStringLiteral("program"));
        options.environment = [root = dir_.path()](const char* name) {
            return QByteArray(name) == "TEMP" ? root + QStringLiteral("/tmp") : QString();
        };
        return options;
    }

private:
    QTemporaryDir dir_;
    bool ok_ = true;
};

Workspace& workspace() {
    static Workspace instance;
    return instance;
}

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// One main window over the catalogue, shared by the list benchmarks.
struct Shown {
    Shown() : sys(workspace().options()) {
        pr_Get_List_Of_Converted_Files(sys, gSortChoice);
        window = std::make_unique<frmMain>(sys, browser, prompts);
        window->show();
        settle();
    }
    cSys_vars sys;
    NoBrowser browser;
    NoPrompts prompts;
    std::unique_ptr<frmMain> window;
};

// Destroyed before the application object (at the end of main).
std::unique_ptr<Shown>& shown_window() {
    static std::unique_ptr<Shown> instance;
    return instance;
}

Shown& shown() {
    if (!shown_window()) {
        shown_window() = std::make_unique<Shown>();
    }
    return *shown_window();
}

void BM_StartUp(benchmark::State& state) {
    if (!workspace().ok()) {
        state.SkipWithError("cannot create the workspace");
        return;
    }
    NoBrowser browser;
    NoPrompts prompts;
    for (auto _ : state) {
        cSys_vars sys(workspace().options());
        pr_Get_List_Of_Converted_Files(sys, SortChoice{});
        frmMain window(sys, browser, prompts);
        window.show();
        settle();
        if (window.grid_model().rowCount() != kDocuments) {
            state.SkipWithError("wrong number of rows");
        }
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

void BM_ListDisplay(benchmark::State& state) {
    Shown& s = shown();
    for (auto _ : state) {
        gblnShowConversionColumns = false;
        s.window->pr_Set_Up_Grid();
        s.window->grid_model().fill_rows(s.sys, s.sys.Rep_FileCount());
        settle();
    }
    state.SetItemsProcessed(state.iterations() * kDocuments);
}
BENCHMARK(BM_ListDisplay)->Unit(benchmark::kMillisecond);

void BM_SortAndList(benchmark::State& state) {
    Shown& s = shown();
    auto* ascending = s.window->findChild<QAction*>(QStringLiteral("mnuView_Asc"));
    auto* descending = s.window->findChild<QAction*>(QStringLiteral("mnuView_Desc"));
    bool down = false;
    for (auto _ : state) {
        down = !down;
        (down ? descending : ascending)->trigger();
        settle();
    }
    ascending->trigger();
    state.SetItemsProcessed(state.iterations() * kDocuments);
}
BENCHMARK(BM_SortAndList)->Unit(benchmark::kMillisecond);

void BM_BatchRows(benchmark::State& state) {
    Shown& s = shown();
    for (auto _ : state) {
        gblnShowConversionColumns = true;
        s.window->pr_Set_Up_Grid();
        for (int n = 1; n <= s.sys.Rep_FileCount(); ++n) {
            s.window->pr_Fill_Grid_Row(n);
        }
        settle();
    }
    state.SetItemsProcessed(state.iterations() * kDocuments);
}
BENCHMARK(BM_BatchRows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shown_window().reset();
    return 0;
}
