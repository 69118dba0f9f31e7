#include "report_drop.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QWidget>
#include <set>

#include "sys_vars.h"

namespace quillet {

DroppedItems sort_dropped(const cSys_vars& sys, const QList<QUrl>& urls) {
    DroppedItems items;
    std::set<QString> seen;
    auto add = [&](const QFileInfo& file) {
        const std::int16_t code = sys.fn_Source_Code_Of(file.fileName());
        if (code == 0) {
            return false;
        }
        if (seen.insert(file.absoluteFilePath()).second) {
            items.reports.push_back(
                {code, file.fileName(), file.absolutePath() + QLatin1Char('/')});
        }
        return true;
    };
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            items.ignored << url.toDisplayString();
            continue;
        }
        const QFileInfo dropped(QDir::cleanPath(url.toLocalFile()));
        bool taken = false;
        if (dropped.isDir()) {
            const QFileInfoList files =
                QDir(dropped.absoluteFilePath())
                    .entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
            for (const QFileInfo& file : files) {
                taken = add(file) || taken;
            }
        } else if (dropped.isFile()) {
            taken = add(dropped);
        }
        if (!taken) {
            items.ignored << dropped.fileName();
        }
    }
    return items;
}

void list_dropped_reports(cSys_vars& sys, const std::vector<DroppedReport>& reports) {
    sys.set_Rep_FileCount(0);
    for (const DroppedReport& report : reports) {
        sys.pr_Append_Source_Report(report.code, report.listed_name, report.folder);
    }
}

ReportDrop::ReportDrop(QWidget& window, cSys_vars& sys, std::function<void()> convert,
                       std::function<void(const QString&)> say, std::function<bool()> accepting)
    : QObject(&window),
      sys_(sys),
      convert_(std::move(convert)),
      say_(std::move(say)),
      accepting_(std::move(accepting)) {
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

bool ReportDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->mimeData()->hasUrls() && accepting_() && drag->source() == nullptr) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!drop->mimeData()->hasUrls() || !accepting_()) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            take(drop->mimeData()->urls());
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

void ReportDrop::take(const QList<QUrl>& urls) {
    const DroppedItems items = sort_dropped(sys_, urls);
    if (!items.reports.empty()) {
        list_dropped_reports(sys_, items.reports);
        convert_();
    }
    if (!items.ignored.isEmpty()) {
        say_(QStringLiteral("Not a report, ignored: %1")
                 .arg(items.ignored.join(QStringLiteral(", "))));
    }
}

}  // namespace quillet
