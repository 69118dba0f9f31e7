#include "document_location.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "sys_vars.h"

namespace quillet {

namespace {

// The sub-folder name as it is on disk: a batch entry names the folder it
// was filed in, which may differ in letter case from the folder that exists.
QString folder_on_disk(const QString& root, const QString& name) {
    if (QFileInfo(root + name).isDir()) {
        return name;
    }
    const QStringList folders =
        QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString& folder : folders) {
        if (folder.compare(name, Qt::CaseInsensitive) == 0) {
            return folder;
        }
    }
    return name;
}

}  // namespace

QString document_path(const cSys_vars& sys, const ReportEntry& entry) {
    const QString root = sys.Path_HTMLReports();
    QString path = root;
    if (!entry.Rep_DestinationPath.isEmpty()) {
        path += folder_on_disk(root, entry.Rep_DestinationPath) + QLatin1Char('/');
    }
    if (!entry.destination_listed_name.isEmpty()) {
        return path + entry.destination_listed_name;
    }
    return path + entry.Rep_DestinationFilename + QLatin1Char('.') + sys.Extension(0);
}

}  // namespace quillet
