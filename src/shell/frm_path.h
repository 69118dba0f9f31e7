// The folder chooser: picks one of the three folders of the settings object
// and stores it there directly on OK. It can be made larger, keeps its size
// in the section "Settings", and shows the highlighted folder's full path.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QFileSystemModel;
class QLabel;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace quillet {

class cSys_vars;

// Which folder the chooser edits: 0 Fennick, 1 Orvella, 2 HTML reports; any
// other value names none. Set by the options dialog before it opens the chooser.
extern std::int16_t gintPathTarget;

// The settings folder that target names; empty for any other value.
QString target_folder(const cSys_vars& sys, std::int16_t target);
// Stores folder through the set operation of the member that target names.
// Returns false (and stores nothing) for any other value.
bool set_target_folder(cSys_vars& sys, std::int16_t target, const QString& folder);

class frmPath : public QDialog {
    Q_OBJECT
public:
    // Loads from the folder that gintPathTarget names.
    explicit frmPath(cSys_vars& sys, QWidget* owner = nullptr);

    // Returns Rejected at once, without showing anything, when gintPathTarget
    // names no folder or that folder is empty.
    int exec() override;
    // Closes the chooser and keeps its size for the next time.
    void done(int result) override;

    // The folder OK would store, with "/" separators: the one the chooser
    // opened on, or the one opened since by a double-click or Enter. A single
    // click only highlights a folder.
    const QString& open_folder() const { return open_folder_; }

protected:
    // Keeps the open folder's label elided to its width; Enter on the tree
    // opens the highlighted folder.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void build_controls();
    void open_on(const QString& folder);
    // Expands the open folder's parents and brings it into view.
    void reveal_open_folder();
    void dirDisplay_CurrentChanged(const QModelIndex& current);
    // Makes index the open folder; false when it is that already.
    bool dirDisplay_Open(const QModelIndex& index);
    void scroll_to_open_folder(const QString& loaded_folder);
    void show_open_folder();
    void cmdOK_Click();

    cSys_vars& sys_;
    QString strPath;
    QString open_folder_;
    bool user_moved_ = false;

    QFileSystemModel* model_ = nullptr;
    QLabel* lblFolder = nullptr;
    QLabel* open_folder_label_ = nullptr;
    QLabel* highlighted_label_ = nullptr;
    QTreeView* dirDisplay = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;
};

}  // namespace quillet
