// The folder chooser: where it opens, what OK stores, when it does not open.
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QTreeView>
#include <functional>

#include "dialog_test_support.h"
#include "frm_path.h"
#include "settings_sandbox.h"

namespace quillet {
namespace {

using test::child;
using test::click;

class FolderChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        sys_ = sandbox_.make();
        start_ = sandbox_.make_folder(QStringLiteral("reports/html")).chopped(1);
        sys_->set_Path_HTMLReports(start_);
        gintPathTarget = 2;
    }

    static QTreeView& tree(const frmPath& chooser) {
        return child<QTreeView>(chooser, "dirDisplay");
    }
    static QFileSystemModel& model(const frmPath& chooser) {
        return *qobject_cast<QFileSystemModel*>(tree(chooser).model());
    }
    static QString current_folder(const frmPath& chooser) {
        return model(chooser).filePath(tree(chooser).currentIndex());
    }
    // Waits (the tree lists folders on a thread of its own) until the tree
    // lists the sub-folders of folder, then clicks (or double-clicks) the one
    // named name.
    static void click_sub_folder(const frmPath& chooser, const QString& folder, const QString& name,
                                 bool twice = false) {
        QFileSystemModel& files = model(chooser);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return files.rowCount(files.index(folder)) > 0; }, 30000));
        const QModelIndex target = files.index(folder + u'/' + name);
        QTreeView& view = tree(chooser);
        view.scrollTo(target);
        const QPoint at = view.visualRect(target).center();
        click(*view.viewport(), at);
        if (twice) {
            test::mouse(*view.viewport(), QEvent::MouseButtonDblClick, at, Qt::LeftButton);
            test::mouse(*view.viewport(), QEvent::MouseButtonRelease, at, Qt::LeftButton);
        }
    }

    test::SettingsSandbox sandbox_;
    std::unique_ptr<cSys_vars> sys_;
    QString start_;
};

TEST_F(FolderChooserTest, OpensOnTheFolderItEditsOrItsNearestExistingParentAndInView) {
    // Without a folder to edit it does not open.
    for (const std::int16_t target : {std::int16_t{7}, std::int16_t{-1}}) {
        gintPathTarget = target;
        frmPath chooser(*sys_);
        EXPECT_EQ(chooser.exec(), QDialog::Rejected);
        EXPECT_FALSE(chooser.isVisible());
        EXPECT_EQ(sys_->Path_HTMLReports(), start_ + '/');
    }
    // The default folders live below a hidden folder (~/.local/share).
    const QString fennick = sandbox_.make_folder(QStringLiteral(".local/share/db"));
    const QString orvella = sandbox_.make_folder(QStringLiteral("orvella"));
    sys_->set_Path_Fennick(fennick);
    sys_->set_Path_Orvella(orvella);
    const QString expected[] = {fennick.chopped(1), orvella.chopped(1), start_};
    for (std::int16_t target = 0; target <= 2; ++target) {
        SCOPED_TRACE(target);
        gintPathTarget = target;
        frmPath chooser(*sys_);
        chooser.show();
        EXPECT_EQ(current_folder(chooser), expected[target]);
        EXPECT_EQ(chooser.open_folder(), expected[target]);
        EXPECT_TRUE(tree(chooser).isExpanded(tree(chooser).currentIndex().parent()));
    }
    // A folder that has vanished: its nearest existing parent.
    sys_->set_Path_HTMLReports(sandbox_.path(QStringLiteral("reports/gone/deeper")));
    frmPath chooser(*sys_);
    EXPECT_EQ(current_folder(chooser), sandbox_.path(QStringLiteral("reports")));
    // Enough neighbours that the open folder lies far below the tree's top.
    for (int i = 0; i < 80; ++i) {
        sandbox_.make_folder(QStringLiteral("many/f%1").arg(i, 2, 10, QLatin1Char('0')));
    }
    const QString deep = sandbox_.make_folder(QStringLiteral("many/f79/deep")).chopped(1);
    sys_->set_Path_HTMLReports(deep);
    frmPath far(*sys_);
    far.show();
    QTreeView& view = tree(far);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QRect shown = view.visualRect(view.currentIndex());
            return current_folder(far) == deep && shown.isValid() &&
                   view.viewport()->rect().contains(shown.center());
        },
        30000))
        << "the open folder is not in view";
}

TEST_F(FolderChooserTest, OkStoresTheOpenFolderNotTheHighlightedOne) {
    sandbox_.make_folder(QStringLiteral("reports/html/2024"));
    const QString sub = start_ + QStringLiteral("/2024");
    const std::tuple<const char*, std::function<void(frmPath&)>, QString> cases[] = {
        {"as opened", [](frmPath&) {}, start_},
        {"sub-folder clicked: only highlighted",
         [&](frmPath& chooser) { click_sub_folder(chooser, start_, QStringLiteral("2024")); },
         start_},
        {"sub-folder double-clicked",
         [&](frmPath& chooser) { click_sub_folder(chooser, start_, QStringLiteral("2024"), true); },
         sub},
        {"sub-folder clicked, then Enter",
         [&](frmPath& chooser) {
             click_sub_folder(chooser, start_, QStringLiteral("2024"));
             test::press_key(chooser, Qt::Key_Return);
         },
         sub},
        {"root highlighted, then Enter",
         [](frmPath& chooser) {
             tree(chooser).setCurrentIndex(model(chooser).index(QDir::rootPath()));
             test::press_key(chooser, Qt::Key_Return);
         },
         QDir::rootPath()},
    };
    for (const auto& [name, choose, expected] : cases) {
        SCOPED_TRACE(name);
        sys_->set_Path_HTMLReports(start_);
        frmPath chooser(*sys_);
        chooser.show();
        choose(chooser);
        EXPECT_TRUE(chooser.isVisible()) << "opening a folder pressed OK";
        EXPECT_EQ(chooser.open_folder(), expected);
        click(child(chooser, "cmdOK"));
        EXPECT_FALSE(chooser.isVisible());
        EXPECT_EQ(sys_->Path_HTMLReports(), expected.endsWith('/') ? expected : expected + '/');
    }
}

TEST_F(FolderChooserTest, GrowsKeepsItsSizeShowsTheHighlightedFolderAndCancelOrAVanishedFolder) {
    const QString name = QStringLiteral("a-folder-name-far-too-long-for-the-chooser-as-designed");
    sandbox_.make_folder(QStringLiteral("reports/html/") + name);
    QSize grown;
    {
        frmPath chooser(*sys_);
        chooser.show();
        click_sub_folder(chooser, start_, name);
        EXPECT_EQ(child<QLabel>(chooser, "highlighted_folder").text(),
                  QDir::toNativeSeparators(start_ + u'/' + name));
        grown = chooser.size() + QSize(300, 120);
        chooser.resize(grown);
        EXPECT_EQ(chooser.size(), grown);
        // A folder opened, then Cancel: nothing is stored.
        click_sub_folder(chooser, start_, name, true);
        ASSERT_EQ(chooser.open_folder(), start_ + u'/' + name);
        click(child(chooser, "cmdCancel"));
        EXPECT_EQ(chooser.result(), QDialog::Rejected);
    }
    EXPECT_EQ(sys_->Path_HTMLReports(), start_ + '/');
    // A folder that vanished once listed cannot be opened: the choice stays.
    const QString doomed = sandbox_.make_folder(QStringLiteral("reports/html/doomed")).chopped(1);
    frmPath chooser(*sys_);
    EXPECT_EQ(chooser.size(), grown);
    chooser.show();
    QFileSystemModel& files = model(chooser);
    ASSERT_TRUE(QTest::qWaitFor([&] { return files.rowCount(files.index(start_)) > 1; }, 30000));
    const QModelIndex index = files.index(doomed);
    ASSERT_TRUE(QDir(doomed).removeRecursively());

    tree(chooser).setCurrentIndex(index);
    test::press_key(chooser, Qt::Key_Return);
    EXPECT_EQ(chooser.open_folder(), start_);
    EXPECT_EQ(current_folder(chooser), start_) << "the highlight goes back to the open folder";
    EXPECT_TRUE(chooser.isVisible());
    test::press_key(chooser, Qt::Key_Return);
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(sys_->Path_HTMLReports(), start_ + '/');
}

}  // namespace
}  // namespace quillet
