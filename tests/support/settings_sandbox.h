// A throw-away world for one settings object: its INI file, the program
// folder (where dorrant.ini lies) and an environment whose temporary and user
// data folders point inside a temporary folder.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>

#include "sys_vars.h"

namespace quillet::test {

class SettingsSandbox {
public:
    SettingsSandbox();

    // root() + "/" + relative.
    QString path(const QString& relative) const;
    QString ini_file() const { return path(QStringLiteral("store/quillet.ini")); }
    QString program_folder() const { return path(QStringLiteral("program")); }
    // The default folders the environment below leads to (ending with "/").
    QString temp_folder() const { return path(QStringLiteral("tmp/")); }
    QString default_fennick() const {
        return path(QStringLiteral("data/orvella suite/orvella/db/"));
    }
    QString default_html() const {
        return path(QStringLiteral("data/orvella suite/dorrant/reports/"));
    }

    // Makes a folder (with parents) below the root and returns it with "/" at the end.
    QString make_folder(const QString& relative) const;
    // Replaces the INI file's bytes and dorrant.ini's bytes.
    void write_ini(const QByteArray& bytes) const;
    void write_dorrant(const QByteArray& bytes) const;
    // A key as the store holds it now (read through a fresh QSettings);
    // missing when absent.
    QString stored(const QString& key, const QString& missing = QStringLiteral("<absent>")) const;

    cSys_vars::Options options() const;
    std::unique_ptr<cSys_vars> make() const;

    // The injected environment: TEMP, HOME, XDG_DATA_HOME and XDG_CONFIG_DIRS by default.
    std::map<std::string, QString> environment;

private:
    QTemporaryDir dir_;
};

}  // namespace quillet::test
