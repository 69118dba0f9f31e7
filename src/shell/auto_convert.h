// "Convert Automatically" in the Reports menu: while it is checked, the
// report watcher runs inside the program and every report that arrives in the
// Orvella or Fennick folder is converted once it has stopped changing, on the
// window's batch (never on the user-interface thread). The rows appear in the
// conversion view as the reports arrive; the status bar names the folders
// watched. The choice is kept in the settings ("Options"/"Auto Convert").
// Unchecked, the window is as it would be without it.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

#include "report_arrivals.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace quillet {

class ReportWatcher;
class cSys_vars;
class frmMain;

class AutoConvert final : public QObject {
    Q_OBJECT
public:
    // Adds the menu item to the end of reports_menu. When the settings say
    // so, starts watching once the event loop turns.
    AutoConvert(frmMain& window, cSys_vars& sys, QMenu& reports_menu);
    ~AutoConvert() override;

    bool watching() const { return watcher_ != nullptr; }
    // The watch's status text, empty while not watching.
    QString status_text() const;

private:
    void turn(bool on);
    void start_watching();
    // Converts what lies in the folders now, as the convert commands would.
    void convert_present();
    void convert_waiting();
    bool list_is_ours() const;
    void show_status();

    frmMain& window_;
    cSys_vars& sys_;
    QAction* item_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer* modal_retry_ = nullptr;
    std::unique_ptr<ReportWatcher> watcher_;
    QList<Arrival> waiting_;
    bool batch_connected_ = false;
    bool batch_is_ours_ = false;
    bool present_waiting_ = false;  // convert_present() once the running batch ends
    // The entries this object appended last: the report list is still the
    // one it fills while it has this count and ends with this entry.
    int our_count_ = 0;
    Arrival our_last_;
};

}  // namespace quillet
