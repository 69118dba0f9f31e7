// Report files and folders dropped on the main window: the reports among them
// (the names a report source folder admits) become the report list and are
// converted as one batch; anything else is named and left alone.
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <vector>

class QWidget;

namespace quillet {

class cSys_vars;

struct DroppedReport {
    std::int16_t code = 0;  // report source code: 1 Fennick, 2 Orvella
    QString listed_name;    // the file's name as the folder lists it
    QString folder;         // its folder, with a trailing separator

    bool operator==(const DroppedReport&) const = default;
};

struct DroppedItems {
    std::vector<DroppedReport> reports;  // in the order dropped; a folder's by name
    QStringList ignored;                 // names of what is not a report
};

// Sorts what was dropped: a file is a report when sys admits its name; a
// folder gives the reports that lie directly in it, and is ignored when it
// holds none. Each file counts once.
DroppedItems sort_dropped(const cSys_vars& sys, const QList<QUrl>& urls);

// Refills the report list of sys with the dropped reports.
void list_dropped_reports(cSys_vars& sys, const std::vector<DroppedReport>& reports);

// Watches a window for drops of files and folders.
class ReportDrop final : public QObject {
    Q_OBJECT
public:
    // convert runs the batch over the report list; say shows a status text;
    // accepting tells whether a drop can be taken now.
    ReportDrop(QWidget& window, cSys_vars& sys, std::function<void()> convert,
               std::function<void(const QString&)> say, std::function<bool()> accepting);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void take(const QList<QUrl>& urls);

    cSys_vars& sys_;
    std::function<void()> convert_;
    std::function<void(const QString&)> say_;
    std::function<bool()> accepting_;
};

}  // namespace quillet
