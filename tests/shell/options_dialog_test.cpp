// The options dialog, driven through its own controls and keys.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTreeView>
#include <memory>

#include "dialog_test_support.h"
#include "frm_options.h"
#include "frm_path.h"
#include "settings_sandbox.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::child;
using test::click;

class OptionsDialogTest : public ::testing::Test {
protected:
    // Shows the dialog on sys, as the main window does, but without blocking.
    static std::unique_ptr<frmOptions> open(cSys_vars& sys) {
        auto dialog = std::make_unique<frmOptions>(sys);
        dialog->show();
        return dialog;
    }

    static QString text(const QWidget& dialog, const char* box) {
        return child<QLineEdit>(dialog, box).text();
    }

    // Which option of the group is selected; -1 for none.
    static int selected(const QWidget& dialog, const QString& group, int count) {
        int found = -1;
        for (int i = 0; i < count; ++i) {
            const QString name = group + u'(' + QString::number(i) + u')';
            if (child<QAbstractButton>(dialog, name).isChecked()) {
                EXPECT_EQ(found, -1) << "two options selected in " << group.toStdString();
                found = i;
            }
        }
        return found;
    }

    static void click_on(const QWidget& dialog, const char* name) { click(child(dialog, name)); }

    test::SettingsSandbox sandbox_;
};

TEST_F(OptionsDialogTest, OpensOnTheStoredValues) {
    for (const auto& [choice, with_dorrant_ini, shows_dorrant_folder] :
         {std::tuple{0, true, false}, std::tuple{1, true, true}, std::tuple{1, false, false}}) {
        SCOPED_TRACE(testing::Message() << choice << with_dorrant_ini);
        test::SettingsSandbox sandbox;
        const QString fennick = sandbox.make_folder("fennick");
        const QString orvella = sandbox.make_folder("orvella");
        const QString html = sandbox.make_folder("html");
        const QString database = sandbox.make_folder("dorrant/db");
        auto sys = sandbox.make();
        sys->set_Path_Fennick(fennick);
        sys->set_Path_Orvella(orvella);
        sys->set_Path_HTMLReports(html);
        sys->set_Gen_ConvertOption(2);
        sys->set_Gen_FennickChoice(static_cast<std::int16_t>(choice));
        if (with_dorrant_ini) {
            sandbox.write_dorrant("[Dorrant]\r\ndatabase=" + database.toUtf8() + "\r\n");
        }

        auto dialog = open(*sys);
        EXPECT_EQ(text(*dialog, "txtPathFennick"), shows_dorrant_folder ? database : fennick);
        EXPECT_EQ(text(*dialog, "txtPathOrvella"), orvella);
        EXPECT_EQ(text(*dialog, "txtPathHTMLReports"), html);
        EXPECT_EQ(selected(*dialog, "optConvert", 3), 2);
        EXPECT_EQ(selected(*dialog, "optFennickChoice", 2), choice);
    }
}

// A folder picked in a chooser is the settings' at once, stored or not.
TEST_F(OptionsDialogTest, DefaultAllThenCancelStoresNothingButTheFolderPickedInAChooserStays) {
    auto sys = sandbox_.make();
    sys->set_Gen_ConvertOption(1);
    const QString orvella = sandbox_.make_folder("orvella");
    sys->set_Path_Orvella(orvella);
    const QString html = sandbox_.make_folder("html");
    const QString picked = sandbox_.make_folder("picked");
    sys->set_Path_HTMLReports(html);
    sys->pr_Save_Sys_Settings();

    auto dialog = open(*sys);
    test::on_next_modal<frmPath>([&](frmPath& chooser) {
        auto& tree = child<QTreeView>(chooser, "dirDisplay");
        auto* model = qobject_cast<QFileSystemModel*>(tree.model());
        tree.setCurrentIndex(model->index(picked.chopped(1)));
        test::press_key(chooser, Qt::Key_Return);  // opens the highlighted folder
        click(child(chooser, "cmdOK"));
    });
    click_on(*dialog, "cmdSetPathOrvella");
    EXPECT_EQ(gintPathTarget, 1);
    EXPECT_EQ(text(*dialog, "txtPathOrvella"), picked);
    EXPECT_EQ(sandbox_.stored("Options/Orvella"), orvella);
    const QByteArray ini_before = test::read_file(sandbox_.ini_file());  // with the chooser's size
    click_on(*dialog, "cmdDefault");

    EXPECT_EQ(text(*dialog, "txtPathFennick"), sandbox_.default_fennick());
    EXPECT_EQ(text(*dialog, "txtPathOrvella"), sandbox_.temp_folder());
    EXPECT_EQ(text(*dialog, "txtPathHTMLReports"), sandbox_.default_html());
    EXPECT_EQ(selected(*dialog, "optConvert", 3), 0);
    EXPECT_EQ(selected(*dialog, "optFennickChoice", 2), 1);
    // A chooser cancelled shows the folder of the settings again.
    test::on_next_modal<frmPath>([](frmPath& chooser) { click(child(chooser, "cmdCancel")); });
    click_on(*dialog, "cmdSetPathHTMLReports");
    EXPECT_EQ(text(*dialog, "txtPathHTMLReports"), html);

    click_on(*dialog, "cmdCancel");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(sys->Path_Orvella(), picked);
    EXPECT_EQ(sys->Gen_ConvertOption(), 1);
    EXPECT_EQ(sys->Gen_FennickChoice(), 0);
    EXPECT_EQ(sys->Path_HTMLReports(), html);
    EXPECT_EQ(test::read_file(sandbox_.ini_file()), ini_before);
}

// A policy outside its range selects nothing and OK keeps it; OK stores the
// options chosen, and Enter the defaults Esc fills in.
TEST_F(OptionsDialogTest, OkKeepsAPolicyOutsideItsRangeOrStoresTheChosenOnesOrTheDefaults) {
    sandbox_.write_ini("[Options]\nConvert%20Option=7\nFennick%20Choice=-3\n");
    auto sys = sandbox_.make();
    ASSERT_EQ(sys->Gen_ConvertOption(), 7);

    auto dialog = open(*sys);
    EXPECT_EQ(selected(*dialog, "optConvert", 3), -1);
    EXPECT_EQ(selected(*dialog, "optFennickChoice", 2), -1);
    click_on(*dialog, "cmdOK");

    EXPECT_EQ(sandbox_.stored("Options/Convert Option"), "7");
    EXPECT_EQ(sandbox_.stored("Options/Fennick Choice"), "-3");

    // The options chosen are stored, the folders with one separator.
    const QString html = sandbox_.make_folder("html");
    dialog = open(*sys);
    child<QLineEdit>(*dialog, "txtPathHTMLReports").setText(html.chopped(1));
    child<QLineEdit>(*dialog, "txtPathOrvella").setText(html);
    click_on(*dialog, "optConvert(1)");
    click_on(*dialog, "optFennickChoice(0)");
    click_on(*dialog, "cmdOK");

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(sandbox_.stored("Options/HTML Reports"), html);
    EXPECT_EQ(sandbox_.stored("Options/Orvella"), html);
    EXPECT_EQ(sandbox_.stored("Options/Convert Option"), "1");
    EXPECT_EQ(sandbox_.stored("Options/Fennick Choice"), "0");

    // Esc fills in the defaults, with Dorrant's folder; Enter stores them.
    const QString database = sandbox_.make_folder("dorrant db");
    sandbox_.write_dorrant("DataBase=" + database.toUtf8() + "\r\n");
    dialog = open(*sys);
    test::press_key(*dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(selected(*dialog, "optFennickChoice", 2), 1);
    test::press_key(*dialog, Qt::Key_Return);

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(sandbox_.stored("Options/Fennick"), database);
    EXPECT_EQ(sandbox_.stored("Options/Orvella"), sandbox_.temp_folder());
    EXPECT_EQ(sandbox_.stored("Options/HTML Reports"), sandbox_.default_html());
    EXPECT_EQ(sandbox_.stored("Options/Convert Option"), "0");
    EXPECT_EQ(sandbox_.stored("Options/Fennick Choice"), "1");
}

}  // namespace
}  // namespace quillet
