#include "frm_path.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "accessibility.h"
#include "dialog_geometry.h"
#include "sys_vars.h"

namespace quillet {

std::int16_t gintPathTarget = 0;

QString target_folder(const cSys_vars& sys, std::int16_t target) {
    switch (target) {
        case 0:
            return sys.Path_Fennick();
        case 1:
            return sys.Path_Orvella();
        case 2:
            return sys.Path_HTMLReports();
        default:
            return {};
    }
}

bool set_target_folder(cSys_vars& sys, std::int16_t target, const QString& folder) {
    switch (target) {
        case 0:
            sys.set_Path_Fennick(folder);
            return true;
        case 1:
            sys.set_Path_Orvella(folder);
            return true;
        case 2:
            sys.set_Path_HTMLReports(folder);
            return true;
        default:
            return false;
    }
}

namespace {

// The folder itself when it exists, else its nearest existing parent, else
// the home folder.
QString nearest_existing_folder(const QString& folder) {
    QString path =
        QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(folder)).absoluteFilePath());
    while (!path.isEmpty()) {
        if (QFileInfo(path).isDir()) {
            return path;
        }
        const QString parent = QFileInfo(path).path();
        if (parent == path) {
            break;
        }
        path = parent;
    }
    return QDir::homePath();
}

// Whether the tree can follow into folder (it exists and may be listed).
bool can_open(const QString& folder) {
    const QFileInfo info(folder);
#ifdef Q_OS_WIN
    return info.isDir() && info.isReadable();
#else
    return info.isDir() && info.isReadable() && info.isExecutable();
#endif
}

// Draws the open folder in bold with an open folder's icon; the highlight
// (selection) may lie elsewhere.
class OpenFolderDelegate final : public QStyledItemDelegate {
public:
    OpenFolderDelegate(const QFileSystemModel& model, const QString& open_folder, QObject* parent)
        : QStyledItemDelegate(parent), model_(model), open_folder_(open_folder) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!open_folder_.isEmpty() && model_.filePath(index) == open_folder_) {
            option->font.setBold(true);
            if (option->widget != nullptr) {
                option->icon = option->widget->style()->standardIcon(QStyle::SP_DirOpenIcon);
            }
        }
    }

private:
    const QFileSystemModel& model_;
    const QString& open_folder_;
};

const QString kSizeSection = QStringLiteral("Settings");
const QString kWidthKey = QStringLiteral("Folder Chooser Width");
const QString kHeightKey = QStringLiteral("Folder Chooser Height");

bool is_same_or_inside(const QString& folder, const QString& ancestor) {
    if (folder == ancestor) {
        return true;
    }
    const QString prefix = ancestor.endsWith(QLatin1Char('/')) ? ancestor : ancestor + u'/';
    return folder.startsWith(prefix);
}

}  // namespace

frmPath::frmPath(cSys_vars& sys, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      sys_(sys) {
    setWindowTitle(QStringLiteral("Choose a folder"));
    if (owner != nullptr) {
        setWindowIcon(owner->windowIcon());
    }
    build_controls();
    // The designed size is the least; long folder names want more, and the
    // size the user gave it comes back the next time.
    fix_dialog_size(*this, 4560, 4050);
    setMinimumSize(size());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setSizeGripEnabled(true);
    const TwipsScale twips = twips_scale(*this);
    auto stored = [this](const QString& key) {
        return read_setting(sys_.store(), kSizeSection, key, QString()).toDouble();
    };
    resize(std::max(width(), twips.x(stored(kWidthKey))),
           std::max(height(), twips.y(stored(kHeightKey))));

    strPath = target_folder(sys_, gintPathTarget);
    if (!strPath.isEmpty()) {
        open_on(nearest_existing_folder(strPath));
    }
    describe_controls(*this);
}

void frmPath::build_controls() {
    const TwipsScale twips = twips_scale(*this);
    auto* Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));

    // Without drive letters one folder tree stands in for the drive list and
    // the folder list; on Windows the drives are the tree's top level.
    lblFolder = new QLabel(QStringLiteral("Folder:"), Frame1);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    open_folder_label_ = new QLabel(Frame1);
    open_folder_label_->setObjectName(QStringLiteral("open_folder"));
    open_folder_label_->setTextFormat(Qt::PlainText);
    open_folder_label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    open_folder_label_->installEventFilter(this);
    // The highlighted folder's full path, however long.
    highlighted_label_ = new QLabel(Frame1);
    highlighted_label_->setObjectName(QStringLiteral("highlighted_folder"));
    highlighted_label_->setTextFormat(Qt::PlainText);
    highlighted_label_->setWordWrap(true);
    highlighted_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setRootPath(QString());
    dirDisplay = new QTreeView(Frame1);
    dirDisplay->setObjectName(QStringLiteral("dirDisplay"));
    dirDisplay->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column) {
        dirDisplay->hideColumn(column);
    }
    dirDisplay->setHeaderHidden(true);
    dirDisplay->setUniformRowHeights(true);
    dirDisplay->setAnimated(false);
    dirDisplay->setSelectionMode(QAbstractItemView::SingleSelection);
    // A click highlights a folder; a double-click or Enter opens it.
    dirDisplay->setExpandsOnDoubleClick(false);
    dirDisplay->setItemDelegate(new OpenFolderDelegate(*model_, open_folder_, dirDisplay));
    dirDisplay->installEventFilter(this);
    connect(dirDisplay->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { dirDisplay_CurrentChanged(current); });
    connect(dirDisplay, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { dirDisplay_Open(index); });
    connect(model_, &QFileSystemModel::directoryLoaded, this,
            [this](const QString& folder) { scroll_to_open_folder(folder); });
    // The model sorts what it has loaded a moment later; keep the open folder
    // in view through that too.
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this] {
        if (!user_moved_) {
            reveal_open_folder();
        }
    });

    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdOK = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    for (QPushButton* button : {cmdCancel, cmdOK}) {
        button->setMinimumSize(QSize(twips.x(1095), twips.y(375)));
    }
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

    auto* folder_row = new QHBoxLayout;
    folder_row->addWidget(lblFolder);
    folder_row->addWidget(open_folder_label_, 1);

    auto* frame_layout = new QVBoxLayout(Frame1);
    const int inner = twips.x(120);
    frame_layout->setContentsMargins(inner, inner, inner, inner);
    frame_layout->setSpacing(twips.y(60));
    frame_layout->addLayout(folder_row);
    frame_layout->addWidget(dirDisplay, 1);
    frame_layout->addWidget(highlighted_label_);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(twips.x(705));
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdOK);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips.x(120), twips.y(60), twips.x(105), twips.y(75));
    layout->setSpacing(twips.y(105));
    layout->addWidget(Frame1, 1);
    layout->addLayout(buttons);

    setTabOrder(dirDisplay, cmdCancel);
    setTabOrder(cmdCancel, cmdOK);
    dirDisplay->setFocus();
}

void frmPath::open_on(const QString& folder) {
    const QModelIndex index = model_->index(folder);
    open_folder_ = folder;
    if (index.isValid()) {
        dirDisplay->setCurrentIndex(index);
        dirDisplay->expand(index);
    }
    user_moved_ = false;
    reveal_open_folder();
    show_open_folder();
}

void frmPath::reveal_open_folder() {
    const QModelIndex index = model_->index(open_folder_);
    if (!index.isValid()) {
        return;
    }
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
        dirDisplay->expand(parent);
    }
    dirDisplay->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void frmPath::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The tree has its size only now.
    if (!user_moved_) {
        QTimer::singleShot(0, this, [this] { reveal_open_folder(); });
    }
}

void frmPath::dirDisplay_CurrentChanged(const QModelIndex& current) {
    highlighted_label_->setText(
        current.isValid() ? QDir::toNativeSeparators(model_->filePath(current)) : QString());
    // Only a highlight: the open folder stays. Once the user moves it, the
    // tree no longer scrolls back to the open folder while it loads.
    if (current.isValid() && model_->filePath(current) != open_folder_) {
        user_moved_ = true;
    }
}

bool frmPath::dirDisplay_Open(const QModelIndex& index) {
    const QString folder = model_->filePath(index);
    if (!index.isValid() || folder == open_folder_) {
        return false;
    }
    if (!can_open(folder)) {
        // The tree cannot follow into this folder: the highlight goes back
        // to the open one, so that the next Enter is OK's.
        dirDisplay->setCurrentIndex(model_->index(open_folder_));
        return true;
    }
    open_folder_ = folder;
    user_moved_ = true;
    dirDisplay->expand(index);
    dirDisplay->viewport()->update();
    show_open_folder();
    return true;
}

void frmPath::scroll_to_open_folder(const QString& loaded_folder) {
    // The tree fills in the background; until the user moves, keep the
    // folder the chooser opened on in view while its parents load.
    if (!user_moved_ && is_same_or_inside(open_folder_, loaded_folder)) {
        reveal_open_folder();
    }
}

void frmPath::show_open_folder() {
    const QString native = QDir::toNativeSeparators(open_folder_);
    open_folder_label_->setToolTip(native);
    const int width = open_folder_label_->contentsRect().width();
    open_folder_label_->setText(
        width > 0 ? open_folder_label_->fontMetrics().elidedText(native, Qt::ElideMiddle, width)
                  : native);
}

bool frmPath::eventFilter(QObject* watched, QEvent* event) {
    if (watched == open_folder_label_ && event->type() == QEvent::Resize) {
        show_open_folder();
    }
    if (watched == dirDisplay && event->type() == QEvent::KeyPress) {
        // Enter opens the highlighted folder; on the open folder it is OK's.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            dirDisplay_Open(dirDisplay->currentIndex())) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmPath::done(int result) {
    const TwipsScale twips = twips_scale(*this);
    write_setting(sys_.store(), kSizeSection, kWidthKey,
                  QString::number(std::lround(twips.twips_x(width()))));
    write_setting(sys_.store(), kSizeSection, kHeightKey,
                  QString::number(std::lround(twips.twips_y(height()))));
    QDialog::done(result);
}

int frmPath::exec() {
    if (strPath.isEmpty()) {
        setResult(Rejected);
        return Rejected;
    }
    return QDialog::exec();
}

void frmPath::cmdOK_Click() {
    if (!open_folder_.isEmpty()) {
        strPath = QDir::toNativeSeparators(open_folder_);
        set_target_folder(sys_, gintPathTarget, strPath);
    }
    accept();
}

}  // namespace quillet
