// The desktop program with 20,000 documents: start-up (settings object,
// catalogue, main window shown and painted; the splash window's fixed half
// second is left out), showing the 20,000-entry list, sorting it from the View
// menu, and writing 20,000 rows one by one as a batch does; the longest the
// event loop waits for its next turn while the window converts a batch of
// 5,000 reports; the window's batch of 20,000 reports against the command
// line's, and how soon Esc and quitting stop it. Then finding and showing documents: a keystroke in
// the filter box over the 20,000 rows, the preview of a 1 MB document and the PDF of a 12 KB one.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

#include "browser_launcher.h"
#include "document_commands.h"
#include "document_printer.h"
#include "filter_bar.h"
#include "frm_main.h"
#include "preview_pane.h"
#include "report_catalogue.h"
#include "report_engine.h"
#include "report_grid_model.h"
#include "report_text.h"
#include "shell_globals.h"
#include "sys_vars.h"
#include "user_prompts.h"
#include "window_batch.h"

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

// Reports of about 8 KB (5,000 unless told): an analysis and a dyslexia report
// for each student.
class BatchSources {
public:
    explicit BatchSources(int reports = 5000) {
        QByteArray body;
        for (int line = 0; body.size() < 7800; ++line) {
            body += line % 9 == 0 ? "~BiuL12~\r\nAnalysis of Cognitive Tests\r\n~biuL12~\r\n"
                                  : "The student scored within the average range for reading "
                                    "and showed ~B~strong~b~ reasoning.\r\n";
        }
        const QString folder = dir_.filePath(QStringLiteral("orvella/"));
        QDir().mkpath(folder);
        for (int i = 0; i < reports / 2 && ok_; ++i) {
            const QByteArray student = QByteArray::number(20000000 + i);
            for (const char kind : {'a', 'd'}) {
                QFile file(folder +
                           QStringLiteral("~drntrp%1%2.tmp").arg(QLatin1Char(kind)).arg(i));
                ok_ = file.open(QIODevice::WriteOnly) &&
                      file.write("@\r\n~biuC18~\r\nOrvella Report for student " + student +
                                 "\r\n~biuL12~\r\n" + body) > 0;
            }
        }
    }
    bool ok() const { return ok_; }
    QString folder(const QString& name) const { return dir_.filePath(name) + u'/'; }
    // A settings file naming the folders, for the command line.
    QString settings(const QString& html) const {
        const QString path = dir_.filePath(QStringLiteral("convert.ini"));
        QFile ini(path);
        if (!ini.open(QIODevice::WriteOnly) ||
            ini.write("[Options]\nOrvella=" + folder(QStringLiteral("orvella")).toUtf8() +
                      "\nHTML%20Reports=" + html.toUtf8() + "\nFennick%20Choice=0\n") <= 0) {
            return {};
        }
        return path;
    }

private:
    QTemporaryDir dir_;
    bool ok_ = true;
};

// 20,000 reports, written once.
BatchSources& large_sources() {
    static BatchSources sources(kDocuments);
    return sources;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The main window converting a folder, the way the user starts it: every
// batch goes into a fresh, empty HTML reports folder, removed afterwards.
class BatchWindow {
public:
    explicit BatchWindow(BatchSources& sources) : sources_(sources), sys_(workspace().options()) {
        sys_.set_Gen_FennickChoice(0);
        sys_.set_Path_Orvella(sources.folder(QStringLiteral("orvella")));
        window_ = std::make_unique<frmMain>(sys_, browser_, prompts_);
        window_->show();
        settle();
        convert_ = window_->findChild<QAction*>(QStringLiteral("mnuRep_Orvella"));
    }
    ~BatchWindow() { clean(); }
    frmMain& window() { return *window_; }
    // Starts a batch into a fresh folder.
    void start() {
        clean();
        html_ = sources_.folder(QStringLiteral("html-window"));
        QDir().mkpath(html_);
        sys_.set_Path_HTMLReports(html_);
        convert_->trigger();
    }
    void clean() {
        if (!html_.isEmpty()) {
            QDir(html_).removeRecursively();
        }
    }

private:
    BatchSources& sources_;
    NoBrowser browser_;
    NoPrompts prompts_;
    cSys_vars sys_;
    std::unique_ptr<frmMain> window_;
    QAction* convert_ = nullptr;
    QString html_;
};

// Processor time of the calling thread.
double thread_cpu_ms() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The window converts 5,000 reports (one worker per core) into an empty
// folder while a zero timer notes every turn of the event loop. Reported:
// the longest gap between two turns, and the batch's time.
void BM_BatchEventLoopGap(benchmark::State& state) {
    static BatchSources sources;
    if (!sources.ok()) {
        state.SkipWithError("cannot write the sources");
        return;
    }
    NoBrowser browser;
    NoPrompts prompts;
    cSys_vars sys(workspace().options());
    sys.set_Gen_FennickChoice(0);
    sys.set_Path_Orvella(sources.folder(QStringLiteral("orvella")));
    frmMain window(sys, browser, prompts);
    window.show();
    settle();
    auto* convert = window.findChild<QAction*>(QStringLiteral("mnuRep_Orvella"));
    double longest_ms = 0;
    double longest_cpu_ms = 0;
    int run = 0;
    for (auto _ : state) {
        const QString html = sources.folder(QStringLiteral("html-%1").arg(run++));
        QDir().mkpath(html);
        sys.set_Path_HTMLReports(html);

        QEventLoop loop;
        QObject::connect(&window.batch(), &WindowBatch::finished, &loop, &QEventLoop::quit);
        QElapsedTimer since_last_turn;
        QElapsedTimer batch;
        double gap_ms = 0;
        double turn_cpu_ms = 0;
        double last_cpu_ms = thread_cpu_ms();
        QTimer turn;
        QObject::connect(&turn, &QTimer::timeout, [&] {
            gap_ms = std::max(gap_ms, static_cast<double>(since_last_turn.nsecsElapsed()) / 1e6);
            const double cpu = thread_cpu_ms();
            turn_cpu_ms = std::max(turn_cpu_ms, cpu - last_cpu_ms);
            last_cpu_ms = cpu;
            since_last_turn.restart();
        });
        turn.start(0);
        batch.start();
        since_last_turn.start();
        convert->trigger();
        loop.exec();
        state.SetIterationTime(static_cast<double>(batch.nsecsElapsed()) / 1e9);
        longest_ms = std::max(longest_ms, gap_ms);
        longest_cpu_ms = std::max(longest_cpu_ms, turn_cpu_ms);
        if (window.grid_model().rowCount() != 5000) {
            state.SkipWithError("wrong number of rows");
        }
    }
    // The wall-clock gap includes the time the thread waited for a processor
    // (other programs, the workers); the processor time is its own work.
    state.counters["longest_gap_ms"] = longest_ms;
    state.counters["longest_turn_cpu_ms"] = longest_cpu_ms;
    state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_BatchEventLoopGap)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// The window's batch against the command line's, side by side on 20,000
// reports: the window (from the command to the list view of the batch, with
// the longest wait of its event loop) and `quillet-convert orvella` as a child
// process on the same sources and settings, in turns, each into an empty
// folder. Reported: the medians and their ratio.
void BM_BatchWindowAgainstCommandLine(benchmark::State& state) {
    BatchSources& sources = large_sources();
    if (!sources.ok()) {
        state.SkipWithError("cannot write the sources");
        return;
    }
    BatchWindow batch(sources);
    std::vector<double> window_s;
    std::vector<double> command_s;
    std::vector<double> list_ms;
    std::vector<double> start_ms;
    double longest_gap_ms = 0;
    for (auto _ : state) {
        for (int turn = 0; turn < 3; ++turn) {
            QEventLoop loop;
            QTimer tick;
            // The gaps are those of the batch; the list view that follows it is
            // timed on its own.
            QElapsedTimer listing;
            QObject::connect(&batch.window().batch(), &WindowBatch::finished, &loop, [&] {
                tick.stop();
                listing.start();
                QTimer::singleShot(0, &loop, &QEventLoop::quit);
            });
            // A timer of 5 ms (not 0, which would keep a processor busy
            // turning the loop): the gaps between its turns, that period
            // included.
            QElapsedTimer since_last_turn;
            tick.setTimerType(Qt::PreciseTimer);
            QObject::connect(&tick, &QTimer::timeout, [&] {
                longest_gap_ms = std::max(
                    longest_gap_ms, static_cast<double>(since_last_turn.nsecsElapsed()) / 1e6);
                since_last_turn.restart();
            });
            QElapsedTimer took;
            took.start();
            since_last_turn.start();
            // The command's own start (the file list of 20,000 reports, the
            // grid set up) blocks the loop once; it is timed on its own.
            tick.start(5);
            QElapsedTimer starting;
            starting.start();
            batch.start();
            start_ms.push_back(static_cast<double>(starting.nsecsElapsed()) / 1e6);
            since_last_turn.restart();
            loop.exec();
            window_s.push_back(static_cast<double>(took.nsecsElapsed()) / 1e9);
            list_ms.push_back(static_cast<double>(listing.nsecsElapsed()) / 1e6);
            if (batch.window().grid_model().rowCount() != kDocuments) {
                state.SkipWithError("wrong number of rows");
            }
            batch.clean();

            const QString html = sources.folder(QStringLiteral("html-command"));
            QDir().mkpath(html);
            QProcess command;
            command.setStandardOutputFile(QProcess::nullDevice());
            command.setStandardErrorFile(QProcess::nullDevice());
            took.restart();
            command.start(
                QStringLiteral(QUILLET_CONVERT),
                {QStringLiteral("orvella"), QStringLiteral("--settings"), sources.settings(html)});
            if (!command.waitForFinished(-1) || command.exitCode() != 0) {
                state.SkipWithError("quillet-convert failed");
            }
            command_s.push_back(static_cast<double>(took.nsecsElapsed()) / 1e9);
            std::fprintf(stderr,
                         "turn %d: window %.2f s (start %.0f ms, list view %.0f ms), command "
                         "line %.2f s\n",
                         turn + 1, window_s.back(), start_ms.back(), list_ms.back(),
                         command_s.back());
            QDir(html).removeRecursively();
        }
        state.SetIterationTime(median(window_s));
    }
    state.counters["window_s"] = median(window_s);
    state.counters["command_line_s"] = median(command_s);
    state.counters["ratio"] = median(window_s) / median(command_s);
    state.counters["longest_gap_ms"] = longest_gap_ms;
    state.counters["list_view_ms"] = median(list_ms);
    state.counters["start_ms"] = median(start_ms);
}
BENCHMARK(BM_BatchWindowAgainstCommandLine)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1);

// Stopping a batch of 20,000 reports a quarter of a second in: from Esc to the event
// loop's first turn with the batch over (the list view shown, the commands
// back), and from the request to close (answered Yes) to the window closed.
void BM_BatchCancelAndQuit(benchmark::State& state) {
    BatchSources& sources = large_sources();
    if (!sources.ok()) {
        state.SkipWithError("cannot write the sources");
        return;
    }
    BatchWindow batch(sources);
    std::vector<double> cancel_ms;
    std::vector<double> quit_ms;
    // A quarter of a second in: on a quiet machine the 20,000 reports take
    // little more than a second, and a batch that has ended cannot be stopped.
    const auto run_for_a_while = [&] {
        batch.window().show();
        batch.window().activateWindow();
        if (!QTest::qWaitForWindowActive(&batch.window())) {
            state.SkipWithError("the window is not active");
        }
        batch.start();
        QEventLoop loop;
        QTimer::singleShot(250, &loop, &QEventLoop::quit);
        loop.exec();
        return batch.window().batch().running();
    };
    for (auto _ : state) {
        if (!run_for_a_while()) {
            state.SkipWithError("the batch ended before Esc");
            break;
        }
        QElapsedTimer took;
        double input_ms = -1;
        QEventLoop loop;
        QObject::connect(&batch.window().batch(), &WindowBatch::finished, &loop, [&] {
            QTimer::singleShot(0, &loop, [&] {
                input_ms = static_cast<double>(took.nsecsElapsed()) / 1e6;
                loop.quit();
            });
        });
        took.start();
        QTest::keyClick(batch.window().windowHandle(), Qt::Key_Escape);
        loop.exec();
        cancel_ms.push_back(input_ms);
        std::fprintf(stderr, "Esc to input: %.1f ms\n", input_ms);

        if (!run_for_a_while()) {
            state.SkipWithError("the batch ended before the close");
            break;
        }
        QEventLoop closed;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &closed, [&] {
            if (!batch.window().isVisible()) {
                closed.quit();
            }
        });
        took.restart();
        batch.window().close();
        poll.start(0);
        closed.exec();
        quit_ms.push_back(static_cast<double>(took.nsecsElapsed()) / 1e6);
        std::fprintf(stderr, "quit: %.1f ms\n", quit_ms.back());
        batch.clean();
    }
    state.counters["esc_to_input_ms"] = median(cancel_ms);
    state.counters["quit_ms"] = median(quit_ms);
}
BENCHMARK(BM_BatchCancelAndQuit)->Unit(benchmark::kMillisecond)->Iterations(3);

// Typing in the filter box over the 20,000 rows: each keystroke filters the
// grid and repaints it. The texts narrow the rows down and widen them again.
void BM_FilterKeystroke(benchmark::State& state) {
    Shown& s = shown();
    FilterBar& bar = s.window->document_commands().filter_bar();
    bar.open();
    const QStringList typed = {QStringLiteral("1"),         QStringLiteral("10"),
                               QStringLiteral("100"),       QStringLiteral("1000"),
                               QStringLiteral("10007"),     QStringLiteral("1000"),
                               QStringLiteral("100"),       QStringLiteral("10"),
                               QStringLiteral("1"),         QStringLiteral("a"),
                               QStringLiteral("an"),        QStringLiteral("analysis"),
                               QStringLiteral("analysis "), QStringLiteral("analysis 12"),
                               QStringLiteral("report"),    QString()};
    qsizetype next = 0;
    for (auto _ : state) {
        bar.box().setText(typed[next]);
        next = (next + 1) % typed.size();
        settle();
    }
    bar.box().clear();
    settle();
    state.SetItemsProcessed(state.iterations() * kDocuments);
}
BENCHMARK(BM_FilterKeystroke)->Unit(benchmark::kMillisecond);

// A document the engine writes from report-like text, of about size bytes.
QString converted_document(const QString& name, std::size_t size) {
    static QTemporaryDir folder;
    const quillet::DocumentFacts facts{quillet::kKindAnalysis, "12345678", "Analysis", false};
    std::size_t source_size = size / 2;
    std::string html;
    for (int attempt = 0; attempt < 3; ++attempt) {
        quillet::StringSink sink;
        quillet::write_report_document(quillet::bench::report_text(source_size), facts,
                                       quillet::standard_section_headings(), sink);
        html = std::move(sink.text);
        source_size = source_size * size / std::max<std::size_t>(html.size(), 1);
    }
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(html.data(), static_cast<qint64>(html.size())) !=
            static_cast<qint64>(html.size())) {
        return {};
    }
    return path;
}

// The preview of a 1 MB document, until its first piece is painted (the rest
// is laid out while the window goes on), and until all of it is in place.
void preview(benchmark::State& state, bool whole) {
    static const QString document = converted_document(QStringLiteral("large.htm"), 1 << 20);
    NoBrowser browser;
    PreviewPane pane(browser);
    pane.resize(600, 800);
    pane.show();
    settle();
    for (auto _ : state) {
        pane.show_document(document);
        if (whole) {
            pane.finish_loading();
        }
        settle();
        state.PauseTiming();
        pane.show_document({});
        settle();
        state.ResumeTiming();
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(document).size());
}
void BM_Preview1MB(benchmark::State& state) {
    preview(state, false);
}
BENCHMARK(BM_Preview1MB)->Unit(benchmark::kMillisecond);
void BM_Preview1MBWhole(benchmark::State& state) {
    preview(state, true);
}
BENCHMARK(BM_Preview1MBWhole)->Unit(benchmark::kMillisecond);

// Export as PDF of a typical document of 12 KB.
void BM_Pdf12KB(benchmark::State& state) {
    static const QString document = converted_document(QStringLiteral("typical.htm"), 12 * 1024);
    const QString pdf = document + QStringLiteral(".pdf");
    for (auto _ : state) {
        if (!export_pdf(document, pdf).isEmpty()) {
            state.SkipWithError("cannot write the PDF");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(document).size());
}
BENCHMARK(BM_Pdf12KB)->Unit(benchmark::kMillisecond);

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
