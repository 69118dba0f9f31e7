// Watches the Orvella and Fennick folders with the kernel's change notices
// and hands out each report once it has stopped changing for the settle
// time. Nothing runs while nothing changes: no polling, no timer.
//
// A watched folder that vanishes is waited for (through the nearest folder
// above it that exists) and watched again when it returns. When the Fennick
// folder is Dorrant's database folder, a change to dorrant.ini moves the
// watch to the folder it names.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

#include "report_arrivals.h"

class QSocketNotifier;
class QTimer;

namespace quillet {

class cSys_vars;

class ReportWatcher final : public QObject {
    Q_OBJECT
public:
    struct Options {
        std::int64_t settle_ms = 1000;
        // Follow dorrant.ini (only when the Fennick choice is Dorrant's folder).
        bool follow_dorrant = true;
    };

    ReportWatcher(cSys_vars& sys, Options options, QObject* parent = nullptr);
    ~ReportWatcher() override;
    ReportWatcher(const ReportWatcher&) = delete;
    ReportWatcher& operator=(const ReportWatcher&) = delete;

    // Starts watching the folders the settings name. False with the reason
    // when the system gives no change notices.
    bool start(QString* failure = nullptr);
    // The source entries of the report list are taken as converted in the
    // state they have now (the reports converted when watching starts).
    void prime_report_list();
    // Moves the watches to the folders the settings name now (dorrant.ini
    // too, by the Fennick choice of now).
    void follow_settings();
    // While held, a change to dorrant.ini waits to be applied: a running
    // batch reads the folders of the settings.
    void hold_settings(bool held);

    // The folder watched for a report source code, with its separator; and
    // whether it exists at the moment.
    QString folder(std::int16_t code) const;
    bool is_present(std::int16_t code) const;

    // Handles every change notice the system has queued. The notifier calls
    // it; tests may call it to handle notices without an event loop.
    void pr_Read_Notices();
    // Hands out the reports that have settled by now (the timer calls it).
    void pr_Hand_Out_Settled();

    const ArrivalTracker& tracker() const { return tracker_; }

Q_SIGNALS:
    // Reports that have stopped changing, oldest change first.
    void reportsSettled(const QList<quillet::Arrival>& arrivals);
    void folderGone(std::int16_t code, const QString& folder);
    void folderBack(std::int16_t code, const QString& folder);
    // The Fennick folder has moved with dorrant.ini.
    void fennickFolderChanged(const QString& folder);

private:
    struct FolderWatch {
        QString folder;     // with separator
        int wd = -1;        // on the folder, while it exists
        int above_wd = -1;  // on the nearest folder above it that exists, while it does not
        QString above;      // that folder
        bool gone = false;
    };

    int add_watch(const QString& path);
    void release(int& wd);
    void establish(std::int16_t code);
    void retarget(std::int16_t code, const QString& folder);
    void watch_dorrant();
    void reread_dorrant();
    void handle_notice(int wd, std::uint32_t mask, const QString& name);
    void schedule();
    std::int64_t now_ms() const;

    cSys_vars& sys_;
    Options options_;
    ArrivalTracker tracker_;
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* settle_timer_ = nullptr;
    QTimer* dorrant_timer_ = nullptr;
    FolderWatch folders_[3];                                // by report source code; 0 unused
    std::vector<std::pair<int, QString>> dorrant_folders_;  // watch, folder
    std::vector<std::pair<int, int>> watch_users_;          // watch, how many use it
    std::vector<char> buffer_;
    bool settings_held_ = false;
    bool dorrant_changed_ = false;  // while the settings were held
};

// Appends the source entries of arrived reports to the report list.
void pr_Append_Arrivals(cSys_vars& sys, const QList<Arrival>& arrivals);

}  // namespace quillet

Q_DECLARE_METATYPE(quillet::Arrival)
