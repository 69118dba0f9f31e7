#include "auto_convert.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <vector>

#include "frm_main.h"
#include "report_watcher.h"
#include "sys_vars.h"
#include "window_batch.h"

namespace quillet {

namespace {

// The report list holds at most this many entries; more arrivals start it anew.
constexpr int kMostRows = 20000;
// While a dialog is open, arrived reports wait and are looked at again this often.
constexpr int kModalRetryMs = 500;

}  // namespace

AutoConvert::AutoConvert(frmMain& window, cSys_vars& sys, QMenu& reports_menu)
    : QObject(&window), window_(window), sys_(sys) {
    reports_menu.addSeparator()->setObjectName(QStringLiteral("mnuRep_Sep2"));
    item_ = reports_menu.addAction(QStringLiteral("Convert &Automatically"));
    item_->setObjectName(QStringLiteral("mnuRep_Auto"));
    item_->setCheckable(true);
    item_->setChecked(sys_.Gen_AutoConvert());
    modal_retry_ = new QTimer(this);
    modal_retry_->setSingleShot(true);
    modal_retry_->setInterval(kModalRetryMs);
    connect(modal_retry_, &QTimer::timeout, this, [this] { convert_waiting(); });
    connect(item_, &QAction::toggled, this, [this](bool on) { turn(on); });
    if (sys_.Gen_AutoConvert()) {
        // Once the window is complete (its batch exists).
        QTimer::singleShot(0, this, [this] {
            if (item_->isChecked() && !watching()) {
                start_watching();
            }
        });
    }
}

AutoConvert::~AutoConvert() = default;

void AutoConvert::turn(bool on) {
    sys_.set_Gen_AutoConvert(on);
    if (on && !watching()) {
        start_watching();
    } else if (!on) {
        watcher_.reset();
        waiting_.clear();
        present_waiting_ = false;
        if (status_ != nullptr) {
            window_.statusBar()->removeWidget(status_);
            delete status_;
            status_ = nullptr;
        }
    }
}

void AutoConvert::start_watching() {
    if (!batch_connected_) {
        batch_connected_ = true;
        // After the window has listed what its batch converted.
        connect(
            &window_.batch(), &WindowBatch::finished, this,
            [this] {
                if (batch_is_ours_) {
                    batch_is_ours_ = false;
                    if (watcher_) {
                        watcher_->hold_settings(false);
                    }
                }
                if (present_waiting_ && watcher_) {
                    convert_present();
                } else {
                    convert_waiting();
                }
            },
            Qt::QueuedConnection);
        // The folders may have been changed in the options dialog.
        if (auto* options = window_.findChild<QAction*>(QStringLiteral("mnuView_Options"))) {
            connect(
                options, &QAction::triggered, this,
                [this] {
                    if (watcher_) {
                        watcher_->follow_settings();
                        show_status();
                    }
                },
                Qt::QueuedConnection);
        }
    }
    watcher_ = std::make_unique<ReportWatcher>(sys_, ReportWatcher::Options{});
    connect(watcher_.get(), &ReportWatcher::reportsSettled, this,
            [this](const QList<Arrival>& arrivals) {
                waiting_ += arrivals;
                convert_waiting();
            });
    for (auto signal : {&ReportWatcher::folderGone, &ReportWatcher::folderBack}) {
        connect(watcher_.get(), signal, this, [this] { show_status(); });
    }
    connect(watcher_.get(), &ReportWatcher::fennickFolderChanged, this, [this] { show_status(); });
    if (status_ == nullptr) {
        status_ = new QLabel(&window_);
        status_->setObjectName(QStringLiteral("lblWatching"));
        window_.statusBar()->addWidget(status_, 1);
    }
    QString failure;
    if (!watcher_->start(&failure)) {
        watcher_.reset();
        status_->setText(QStringLiteral("Cannot convert automatically: %1").arg(failure));
        return;
    }
    show_status();
    convert_present();
}

void AutoConvert::convert_present() {
    // The report list belongs to a running batch: after it.
    if (window_.batch().running()) {
        present_waiting_ = true;
        return;
    }
    present_waiting_ = false;
    sys_.pr_Generate_File_List(0);
    watcher_->prime_report_list();
    for (int i = 1; i <= sys_.Rep_FileCount(); ++i) {
        const ReportEntry& e = sys_.entry(i);
        waiting_.append(
            {e.Rep_ReportType, watcher_->folder(e.Rep_ReportType), e.source_listed_name});
    }
    sys_.set_Rep_FileCount(0);
    our_count_ = 0;
    convert_waiting();
}

bool AutoConvert::list_is_ours() const {
    if (our_count_ == 0 || sys_.Rep_FileCount() != our_count_) {
        return false;
    }
    const ReportEntry& last = sys_.entry(our_count_);
    return last.Rep_ReportType == our_last_.code && last.source_listed_name == our_last_.name &&
           last.source_folder == our_last_.folder;
}

void AutoConvert::convert_waiting() {
    if (!watcher_ || waiting_.isEmpty() || window_.batch().running()) {
        return;
    }
    if (QApplication::activeModalWidget() != nullptr) {
        // A dialog may change the settings the batch reads: once it is closed.
        modal_retry_->start();
        return;
    }
    if (!list_is_ours() || our_count_ + waiting_.size() > kMostRows) {
        sys_.set_Rep_FileCount(0);  // the list shows something else now: start it anew
    }
    const int first = sys_.Rep_FileCount() + 1;
    pr_Append_Arrivals(sys_, waiting_);
    our_count_ = sys_.Rep_FileCount();
    our_last_ = waiting_.back();
    waiting_.clear();
    std::vector<int> indexes;
    for (int i = first; i <= our_count_; ++i) {
        indexes.push_back(i);
    }
    watcher_->hold_settings(true);
    batch_is_ours_ = true;
    if (!window_.convert_report_list(std::move(indexes))) {
        batch_is_ours_ = false;
        watcher_->hold_settings(false);
        return;
    }
    // The conversion view keeps the rows of the reports that arrived before.
    for (int i = 1; i < first; ++i) {
        window_.pr_Fill_Grid_Row(i);
    }
}

QString AutoConvert::status_text() const {
    if (!watcher_) {
        return {};
    }
    const auto folder = [this](std::int16_t code) {
        QString text = watcher_->folder(code);
        if (!watcher_->is_present(code)) {
            text += QStringLiteral(" (missing; waiting for it)");
        }
        return text;
    };
    return QStringLiteral("Converting automatically: watching %1 (Orvella) and %2 (Fennick)")
        .arg(folder(2), folder(1));
}

void AutoConvert::show_status() {
    if (status_ != nullptr) {
        status_->setText(status_text());
    }
}

}  // namespace quillet
