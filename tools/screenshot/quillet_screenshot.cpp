// Saves pictures of Quillet's windows: the splash window, the main window
// before and after converting the reports of a workspace, its View menu, the
// conversion view, a cancelled batch, the message boxes and every dialog.
// With --dark, in a dark colour scheme: the splash window, the main window
// with its list ("main"), its View menu and the dialogs. Both show a search
// of the documents' text ("main-search").
//
//   quillet-screenshot --settings FILE --out FOLDER [--suffix TEXT] [--dark]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app_icon.h"
#include "app_info.h"
#include "browser_launcher.h"
#include "colour_scheme.h"
#include "dark_style.h"
#include "document_commands.h"
#include "filter_bar.h"
#include "frm_about.h"
#include "frm_main.h"
#include "frm_options.h"
#include "frm_path.h"
#include "frm_splash.h"
#include "report_catalogue.h"
#include "report_conversion.h"
#include "report_grid_view.h"
#include "shell_globals.h"
#include "sys_vars.h"
#include "text_search.h"
#include "user_prompts.h"
#include "window_batch.h"

namespace {

using namespace quillet;

class NoBrowser final : public BrowserLauncher {
public:
    bool open(const QUrl&) override { return true; }
};

class Pictures {
public:
    Pictures(QString folder, QString suffix)
        : folder_(std::move(folder)), suffix_(std::move(suffix)) {}

    void save(QWidget& widget, const QString& name) {
        settle();
        const QString file = folder_ + QLatin1Char('/') + name + suffix_ + QStringLiteral(".png");
        if (!widget.grab().save(file)) {
            std::fprintf(stderr, "quillet-screenshot: cannot write %s\n", qPrintable(file));
            failed_ = true;
            return;
        }
        std::printf("%s\n", qPrintable(file));
    }

    // Runs command, which opens a modal window, and saves that window.
    void save_modal(const QString& name, const std::function<void()>& command) {
        QTimer::singleShot(300, [this, name] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                save(*modal, name);
                modal->close();
            }
        });
        command();
    }

    static void settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
        }
    }
    bool failed() const { return failed_; }

private:
    QString folder_;
    QString suffix_;
    bool failed_ = false;
};

// Lets a batch run on to its end (at most 30 s), so that each picture shows
// the window as it stands once the command is done.
void wait_for_batch(frmMain& window) {
    QElapsedTimer waited;
    waited.start();
    while (window.batch().running() && waited.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
}

void trigger(QWidget& window, const char* action) {
    if (auto* item = window.findChild<QAction*>(QString::fromLatin1(action))) {
        item->trigger();
    }
}

// The filter box narrowing the list down to one student's documents, then the
// preview beside the grid; the window is left as it was.
void save_find_and_preview(frmMain& window, Pictures& pictures) {
    trigger(window, "mnuRep_Show");
    FilterBar& bar = window.document_commands().filter_bar();
    trigger(window, "mnuView_Find");
    bar.box().setText(window.grid().model()->index(0, 1).data().toString());
    pictures.save(window, QStringLiteral("main-filter"));

    const QSize size = window.size();
    window.resize(size.width() * 8 / 5, size.height() * 3 / 2);
    trigger(window, "mnuView_Preview");
    pictures.save(window, QStringLiteral("main-preview"));

    trigger(window, "mnuView_Preview");
    bar.box().clear();
    bar.hide();
    window.resize(size);
}

// A search of the documents' text with the preview beside the matches; the
// window is left as it was.
void save_search(frmMain& window, Pictures& pictures) {
    const QSize size = window.size();
    window.resize(size.width() * 8 / 5, size.height() * 3 / 2);
    trigger(window, "mnuView_Preview");
    trigger(window, "mnuView_SearchText");
    window.document_commands().filter_bar().box().setText(
        QStringLiteral("reading OR \"extra time\""));
    TextSearch& search = window.text_search();
    search.search_now();
    QElapsedTimer waited;
    waited.start();
    while (search.busy() && waited.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    pictures.save(window, QStringLiteral("main-search"));

    trigger(window, "mnuView_Find");  // back to the list, filtered by nothing
    FilterBar& bar = window.document_commands().filter_bar();
    bar.box().clear();
    bar.hide();
    trigger(window, "mnuView_Preview");
    window.resize(size);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setWindowIcon(application_icon());

    QString settings;
    QString folder = QStringLiteral("screenshots");
    QString suffix;
    bool dark = false;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--dark")) {
            dark = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            break;
        }
        if (arguments[i] == QLatin1String("--settings")) {
            settings = arguments[i + 1];
        } else if (arguments[i] == QLatin1String("--out")) {
            folder = arguments[i + 1];
        } else if (arguments[i] == QLatin1String("--suffix")) {
            suffix = arguments[i + 1];
        }
        ++i;
    }
    if (settings.isEmpty()) {
        std::fprintf(stderr,
                     "usage: quillet-screenshot --settings FILE --out FOLDER "
                     "[--suffix TEXT] [--dark]\n");
        return 2;
    }
    if (dark) {
        // As a desktop in its dark colour scheme hands it to the program.
        QApplication::setStyle(make_dark_style());
        QApplication::setPalette(dark_palette());
    }
    QDir().mkpath(folder);
    Pictures pictures(folder, suffix);

    gstrVersion =
        make_version_text(QUILLET_VERSION_MAJOR, QUILLET_VERSION_MINOR, QUILLET_VERSION_PATCH);
    {
        frmSplash splash;
        splash.show();
        pictures.save(splash, QStringLiteral("splash"));
    }

    use_settings_file_for_gSys_vars(settings);
    cSys_vars& sys = gSys_vars();
    pr_Get_List_Of_Converted_Files(sys, gSortChoice);
    NoBrowser browser;
    MessageBoxPrompts prompts;
    frmMain window(sys, browser, prompts);
    window.show();
    if (!dark) {
        pictures.save(window, QStringLiteral("main-start"));
    }

    // No document yet: what the empty list says; no report to convert: the
    // message with the folder searched.
    {
        const QTemporaryDir empty;
        const QString html_folder = sys.Path_HTMLReports();
        const QString orvella_folder = sys.Path_Orvella();
        sys.set_Path_HTMLReports(empty.path());
        sys.set_Path_Orvella(empty.path());
        trigger(window, "mnuRep_Show");
        pictures.save(window, QStringLiteral("main-empty"));
        if (!dark) {
            pictures.save_modal(QStringLiteral("message-no-reports"),
                                [&] { trigger(window, "mnuRep_Orvella"); });
        }
        sys.set_Path_HTMLReports(html_folder);
        sys.set_Path_Orvella(orvella_folder);
        trigger(window, "mnuRep_Show");
    }

    // A batch cancelled as soon as it started: the reports it did not reach.
    trigger(window, "mnuRep_Orvella");
    window.batch().cancel();
    wait_for_batch(window);
    pictures.save(window, QStringLiteral("main-cancelled"));

    trigger(window, "mnuRep_Orvella");
    // The rows of the batch, one of them not converted, the first selected.
    wait_for_batch(window);
    if (dark) {
        pictures.save(window, QStringLiteral("main"));
    } else {
        pictures.save(window, QStringLiteral("main-after-orvella"));

        // The conversion view as it stands while a batch runs.
        gblnShowConversionColumns = true;
        window.pr_Set_Up_Grid();
        for (int n = 1; n <= sys.Rep_FileCount(); ++n) {
            window.pr_Fill_Grid_Row(n);
        }
        pictures.save(window, QStringLiteral("main-conversion-view"));
    }

    trigger(window, "mnuRep_Fennick");
    wait_for_batch(window);
    trigger(window, "mnuRep_Show");
    if (!dark) {
        pictures.save(window, QStringLiteral("main-list"));
        save_find_and_preview(window, pictures);
    }
    save_search(window, pictures);

    if (auto* view = window.findChild<QMenu*>(QStringLiteral("mnuView"))) {
        view->popup(window.mapToGlobal(QPoint(60, window.menuBar()->height())));
        pictures.save(*view, QStringLiteral("menu-view"));
        view->close();
    }

    if (!dark) {
        pictures.save_modal(QStringLiteral("message-not-shown"), [&] {
            const QUrl document =
                QUrl::fromLocalFile(sys.Path_HTMLReports() + QStringLiteral("4711/Analysis.htm"));
            prompts.warning(&window, kApplicationTitle,
                            not_shown_message(document, launcher_failure(3, false)));
        });
        pictures.save_modal(QStringLiteral("message-convert-option"), [&] {
            prompts.question(&window, kConvertOptionTitle, kConvertOptionQuestion);
        });
    }
    pictures.save_modal(QStringLiteral("dialog-options"), [&] {
        frmOptions dialog(sys, &window);
        dialog.exec();
    });
    pictures.save_modal(QStringLiteral("dialog-folder-chooser"), [&] {
        gintPathTarget = 2;
        frmPath dialog(sys, &window);
        dialog.exec();
    });
    pictures.save_modal(QStringLiteral("dialog-about"), [&] {
        frmAbout dialog(browser, &window);
        dialog.exec();
    });
    return pictures.failed() ? 1 : 0;
}
