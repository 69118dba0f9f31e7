// Searching the text of every document from the main window: View > Search
// Text (Ctrl+Shift+F), or the "Search text" choice beside the filter box.
// The box's words go to the text index as a query a moment after the typing
// stops, or at once on Enter. The grid then shows the documents that match,
// best first, with the passage that matched in a column of its own, and the
// preview marks the matches. The index is brought up to date off the
// user-interface thread before each search; while that takes long (the first
// build) a progress bar and a Cancel button stand in the status bar. Esc
// returns to the full list.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

#include "index_search.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QShortcut;

namespace quillet {

class FilterBar;
class MatchDelegate;
class cSys_vars;
class frmMain;

class TextSearch final : public QObject {
    Q_OBJECT
public:
    // Adds View > Search Text to view; show_report_list lists the report list
    // again (the full list).
    TextSearch(frmMain& window, cSys_vars& sys, QMenu& view,
               std::function<void()> show_report_list);
    ~TextSearch() override;

    // The commands that a conversion batch disables.
    QList<QObject*> commands() const;
    // The search choice is on.
    bool searching() const;
    // The index is being brought up to date or searched.
    bool busy() const { return index_->busy(); }
    // Searches for the box's words now, without waiting for the typing to stop.
    void search_now();

    // The documents shown at most, best first.
    static constexpr int kMostDocuments = 500;
    // How long the typing must have stopped before the words are searched.
    static constexpr int kTypingPauseMs = 300;

private:
    void open();
    void choose(bool on);
    void refresh_or_search(const QString& query);
    void on_progress(qint64 done, qint64 total, bool full);
    void on_finished(const IndexSearch::Outcome& outcome);
    void show_matches(const IndexSearch::Outcome& outcome);
    void leave();
    void back_to_full_list();
    void after_reset();
    void mark_preview();
    void set_progress_visible(bool visible);
    void say(const QString& text);

    frmMain& window_;
    cSys_vars& sys_;
    std::function<void()> show_report_list_;
    FilterBar& bar_;
    IndexSearch* index_ = nullptr;
    MatchDelegate* delegate_ = nullptr;
    QAction* mnuView_SearchText = nullptr;
    QShortcut* escape_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_button_ = nullptr;
    QTimer typing_pause_;
    QElapsedTimer request_clock_;
    QString shown_query_;  // the query whose matches the grid shows
    bool shown_ = false;   // the grid shows matches
};

}  // namespace quillet
