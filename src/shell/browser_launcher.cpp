#include "browser_launcher.h"

#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace quillet {

namespace {

// A launcher still running after this long has handed the document to a
// program that shows it; how that program ends later is none of ours.
constexpr qint64 kWatchMs = 60000;

const QString kNoLauncher = QStringLiteral("xdg-open (from xdg-utils) is not installed.");

}  // namespace

QString launcher_failure(int exit_code, bool crashed) {
    if (crashed) {
        return QStringLiteral("xdg-open stopped before it had finished.");
    }
    switch (exit_code) {
        case 1:
            return QStringLiteral("xdg-open did not understand the request (exit status 1).");
        case 2:
            return QStringLiteral("The file or folder does not exist (exit status 2).");
        case 3:
            return QStringLiteral(
                "No program to show it was found: xdg-open has no method available "
                "(exit status 3).");
        case 4:
            return QStringLiteral("The program chosen to show it failed (exit status 4).");
        default:
            return QStringLiteral("xdg-open ended with exit status %1.").arg(exit_code);
    }
}

QString not_shown_message(const QUrl& url, const QString& why, const QString& document) {
    const bool local = url.isLocalFile();
    const QString where = local ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
    const bool folder = local && QFileInfo(url.toLocalFile()).isDir();
    QString text;
    if (folder) {
        text = document.isEmpty()
                   ? QStringLiteral("Could not show the folder\n%1\nin a file manager.").arg(where)
                   : QStringLiteral(
                         "Could not show the folder of the document\n%1\nin a file "
                         "manager.")
                         .arg(QDir::toNativeSeparators(document));
    } else {
        text = QStringLiteral("Could not show %1\n%2\nin a web browser.")
                   .arg(local ? QStringLiteral("the document") : QStringLiteral("the page"), where);
    }
    text += QStringLiteral("\n\n") + why + QStringLiteral("\n\n");
    if (folder) {
        text += QStringLiteral(
            "Install a file manager and xdg-utils, or choose the program that opens folders, "
            "for example with:\nxdg-mime default <file manager>.desktop inode/directory");
    } else {
        text += QStringLiteral(
            "Install a web browser and xdg-utils, or choose your default web browser, for "
            "example with:\nxdg-settings set default-web-browser <browser>.desktop");
    }
    return text;
}

bool DesktopBrowserLauncher::open(const QUrl& url) {
    const QString xdg_open = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdg_open.isEmpty()) {
        // The toolkit's own ways (a desktop portal, $BROWSER) may still do.
        if (QDesktopServices::openUrl(url)) {
            return true;
        }
        report_failure(url, kNoLauncher);
        return false;
    }
    // Not parented: a launcher still running when the program ends is left
    // to run, and so is the browser it started.
    auto* process = new QProcess;
    process->setProgram(xdg_open);
    process->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString()});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    // The handler as it is now: the process may outlive this launcher.
    const Failure failed = failure_handler();
    const auto tell = [failed, url](const QString& why) {
        if (failed) {
            failed(url, why);
        }
    };
    QElapsedTimer running;
    running.start();
    QObject::connect(process, &QProcess::finished, process,
                     [tell, process, running](int code, QProcess::ExitStatus status) {
                         const bool crashed = status == QProcess::CrashExit;
                         if ((crashed || code != 0) && running.elapsed() < kWatchMs) {
                             tell(launcher_failure(code, crashed));
                         }
                         process->deleteLater();
                     });
    QObject::connect(
        process, &QProcess::errorOccurred, process, [tell, process](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                tell(QStringLiteral("xdg-open could not be started: ") + process->errorString());
                process->deleteLater();
            }
        });
    process->start();
    return true;
}

}  // namespace quillet
