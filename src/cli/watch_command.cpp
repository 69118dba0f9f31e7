#include "watch_command.h"

#include <QCoreApplication>
#include <QList>
#include <memory>

#include "batch_runner.h"
#include "command_support.h"
#include "report_table.h"
#include "report_watcher.h"
#include "stop_signals.h"

namespace quillet::cli {

namespace {

QString folder_role(std::int16_t code) {
    return code == 1 ? QStringLiteral("Fennick") : QStringLiteral("Orvella");
}

void say(const QString& text) {
    print(stderr, QStringLiteral("quillet-convert: %1\n").arg(text));
}

// Converts batches of reports as they settle, one batch at a time, on the
// workers of the parallel batch; prints one row per conversion.
class WatchSession final : public QObject {
public:
    WatchSession(cSys_vars& sys, const Arguments& args)
        : sys_(sys),
          json_(args.json),
          jobs_(args.jobs.value_or(0)),
          watcher_(sys, ReportWatcher::Options{args.settle_ms.value_or(1000), !args.fennick}) {
        connect(&watcher_, &ReportWatcher::reportsSettled, this,
                [this](const QList<Arrival>& arrivals) {
                    waiting_ += arrivals;
                    start_batch();
                });
        connect(&watcher_, &ReportWatcher::folderGone, this,
                [](std::int16_t code, const QString& folder) {
                    say(QStringLiteral("the %1 folder %2 is gone; waiting for it to return")
                            .arg(folder_role(code), folder));
                });
        connect(&watcher_, &ReportWatcher::folderBack, this,
                [](std::int16_t code, const QString& folder) {
                    say(QStringLiteral("the %1 folder %2 is back; watching it again")
                            .arg(folder_role(code), folder));
                });
        connect(&watcher_, &ReportWatcher::fennickFolderChanged, this, [](const QString& folder) {
            say(QStringLiteral("dorrant.ini names the Fennick folder %1; watching it").arg(folder));
        });
        connect(&stop_, &StopSignals::stopRequested, this, [this] { stop(); });
    }

    // Starts watching and converts what is there now. False when the system
    // gives no change notices.
    bool start() {
        QString failure;
        if (!watcher_.start(&failure)) {
            say(QStringLiteral("cannot watch the report folders: %1").arg(failure));
            return false;
        }
        if (!json_) {
            print(stdout, format_table_header(View::Conversion));
        }
        sys_.pr_Generate_File_List(0);
        watcher_.prime_report_list();
        if (sys_.Rep_FileCount() > 0) {
            run_batch();
        }
        // From here on every report that arrives is the watcher's.
        say(QStringLiteral("watching the Orvella folder %1 and the Fennick folder %2")
                .arg(watcher_.folder(2), watcher_.folder(1)));
        return true;
    }

private:
    void start_batch() {
        if (runner_ || stopping_ || waiting_.isEmpty()) {
            return;
        }
        sys_.set_Rep_FileCount(0);
        pr_Append_Arrivals(sys_, waiting_);
        waiting_.clear();
        run_batch();
    }

    // Converts entries 1..Rep_FileCount.
    void run_batch() {
        watcher_.hold_settings(true);
        runner_ = std::make_unique<BatchRunner>(sys_, no_, jobs_);
        connect(runner_.get(), &BatchRunner::entryDone, this, [this](int index) {
            const ReportEntry& entry = sys_.entry(index);
            if (entry.Rep_Comment == kBatchCancelled) {
                return;  // never started: no conversion to tell of
            }
            ++rows_;
            print(stdout, json_ ? format_json_row(rows_, entry, View::Conversion)
                                : format_table_row(rows_, entry, View::Conversion));
        });
        connect(runner_.get(), &BatchRunner::finished, this, [this] {
            runner_.release()->deleteLater();
            watcher_.hold_settings(false);
            if (stopping_) {
                QCoreApplication::quit();
                return;
            }
            start_batch();
        });
        runner_->start();
    }

    void stop() {
        if (stopping_) {
            return;
        }
        stopping_ = true;
        if (runner_) {
            runner_->cancel();  // the entries in flight finish; then finished() quits
        } else {
            QCoreApplication::quit();
        }
    }

    cSys_vars& sys_;
    const bool json_;
    const int jobs_;
    ReportWatcher watcher_;
    StopSignals stop_;
    FixedAnswer no_{false};  // nobody is there to ask
    std::unique_ptr<BatchRunner> runner_;
    QList<Arrival> waiting_;
    int rows_ = 0;
    bool stopping_ = false;
};

}  // namespace

int run_watch(cSys_vars& sys, const Arguments& args) {
    if (args.convert_option == 1) {
        return usage_error(
            QStringLiteral("--existing ask: nobody is there to answer while watching; "
                           "use overwrite or skip"));
    }
    if (const auto failed = apply_run_options(sys, args)) {
        return *failed;
    }
    WatchSession session(sys, args);
    if (!session.start()) {
        return kExitSomeNotConverted;
    }
    QCoreApplication::exec();
    return kExitConverted;
}

}  // namespace quillet::cli
