#include "window_batch.h"

#include <QAction>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <utility>

#include "app_info.h"
#include "batch_runner.h"
#include "sys_vars.h"
#include "twips.h"

namespace quillet {

// The overwrite question, asked once the rows before it are in the grid.
class WindowBatch::FlushingQuestion final : public OverwriteQuestion {
public:
    explicit FlushingQuestion(WindowBatch& batch)
        : batch_(batch), asked_(batch.prompts_, &batch.window_) {}
    bool ask(const QString& title, const QString& text) override {
        batch_.flush();
        return asked_.ask(title, text);
    }

private:
    WindowBatch& batch_;
    PromptedOverwriteQuestion asked_;
};

WindowBatch::WindowBatch(cSys_vars& sys, UserPrompts& prompts, QMainWindow& window,
                         QList<QObject*> commands)
    : QObject(&window),
      sys_(sys),
      prompts_(prompts),
      window_(window),
      question_(std::make_unique<FlushingQuestion>(*this)) {
    for (QObject* command : commands) {
        commands_.append(command);
    }
    progress_ = new QProgressBar(&window);
    progress_->setObjectName(QStringLiteral("batchProgress"));
    progress_->setFormat(QStringLiteral("%v of %m"));
    progress_->setMaximumWidth(TwipsScale::of(window.screen()).x(3000));
    progress_->hide();
    cancel_button_ = new QPushButton(QStringLiteral("Cancel"), &window);
    cancel_button_->setObjectName(QStringLiteral("cmdCancelBatch"));
    cancel_button_->setAutoDefault(false);
    cancel_button_->hide();
    window.statusBar()->addPermanentWidget(progress_);
    window.statusBar()->addPermanentWidget(cancel_button_);
    connect(cancel_button_, &QPushButton::clicked, this, &WindowBatch::cancel);

    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    escape_->setObjectName(QStringLiteral("cancelBatchShortcut"));
    escape_->setEnabled(false);
    connect(escape_, &QShortcut::activated, this, &WindowBatch::cancel);

    flush_timer_.setInterval(kRowIntervalMs);
    flush_timer_.setSingleShot(true);
    connect(&flush_timer_, &QTimer::timeout, this, &WindowBatch::flush);
}

WindowBatch::~WindowBatch() {
    // The workers stop with the runner; nothing more is delivered.
    delete runner_;
}

bool WindowBatch::running() const {
    return runner_ != nullptr;
}

void WindowBatch::start(std::vector<int> indexes) {
    if (running()) {
        return;
    }
    if (indexes.empty()) {
        indexes = report_list_indexes(sys_);
    }
    const int count = static_cast<int>(indexes.size());
    runner_ = new BatchRunner(sys_, std::move(indexes), *question_, jobs_, this);
    runner_->set_pace(std::chrono::milliseconds(kTurnIntervalMs));
    // Rows are passed on in groups: one grid update and one progress step per
    // group keep the event loop's share of the processors small.
    connect(runner_, &BatchRunner::entryDone, this, [this](int index) {
        done_.append(index);
        if (!flush_timer_.isActive()) {
            flush_timer_.start();
        }
    });
    connect(runner_, &BatchRunner::finished, this, &WindowBatch::on_finished);
    progress_->setRange(0, count);
    progress_->setValue(0);
    set_running(true);
    runner_->start();
}

void WindowBatch::cancel() {
    if (runner_ != nullptr) {
        runner_->cancel();
        cancel_button_->setEnabled(false);
    }
}

void WindowBatch::flush() {
    flush_timer_.stop();
    if (done_.isEmpty()) {
        return;
    }
    const QList<int> indexes = std::exchange(done_, {});
    progress_->setValue(progress_->value() + static_cast<int>(indexes.size()));
    Q_EMIT entriesDone(indexes);
}

bool WindowBatch::allow_close() {
    if (!running()) {
        return true;
    }
    if (close_when_done_ || asking_to_close_) {
        return false;  // already stopping, or already asked
    }
    asking_to_close_ = true;
    const bool yes = prompts_.question(&window_, kApplicationTitle, kStopBatchQuestion);
    asking_to_close_ = false;
    if (!yes) {
        return false;
    }
    // The batch may have ended while the question was open.
    if (!running()) {
        return true;
    }
    close_when_done_ = true;
    cancel();
    return false;
}

void WindowBatch::set_running(bool running) {
    for (const QPointer<QObject>& command : std::as_const(commands_)) {
        if (auto* action = qobject_cast<QAction*>(command)) {
            action->setEnabled(!running);
        } else if (auto* widget = qobject_cast<QWidget*>(command)) {
            widget->setEnabled(!running);
        }
    }
    progress_->setVisible(running);
    cancel_button_->setEnabled(true);
    cancel_button_->setVisible(running);
    escape_->setEnabled(running);
    if (running) {
        window_.setCursor(Qt::BusyCursor);
    } else {
        window_.unsetCursor();
    }
}

void WindowBatch::on_finished(bool cancelled) {
    flush();
    runner_->deleteLater();
    runner_ = nullptr;
    set_running(false);
    Q_EMIT finished(cancelled);
    if (std::exchange(close_when_done_, false)) {
        window_.close();
    }
}

}  // namespace quillet
