// SIGINT and SIGTERM as an event of the event loop: the handler only writes
// one byte to a pipe, whose reading end the loop watches.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace quillet::cli {

class StopSignals final : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one instance at a time.
    explicit StopSignals(QObject* parent = nullptr);
    // Puts the default handlers back.
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Set by the handler itself, so that work that does not return to the
    // event loop can look at it.
    static bool received();

Q_SIGNALS:
    void stopRequested();

private:
    int read_end_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quillet::cli
