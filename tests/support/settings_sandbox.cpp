#include "settings_sandbox.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QSettings>

#include "test_support.h"

namespace quillet::test {

SettingsSandbox::SettingsSandbox() {
    EXPECT_TRUE(dir_.isValid());
    QDir().mkpath(program_folder());
    environment["TEMP"] = path(QStringLiteral("tmp"));
    environment["HOME"] = path(QStringLiteral("home"));
    environment["XDG_DATA_HOME"] = path(QStringLiteral("data"));
    environment["XDG_CONFIG_DIRS"] = path(QStringLiteral("etc/xdg"));
}

QString SettingsSandbox::path(const QString& relative) const {
    return dir_.path() + QLatin1Char('/') + relative;
}

QString SettingsSandbox::make_folder(const QString& relative) const {
    QString folder = path(relative);
    EXPECT_TRUE(QDir().mkpath(folder)) << folder.toStdString();
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return folder;
}

void SettingsSandbox::write_ini(const QByteArray& bytes) const {
    write_file(ini_file(), bytes);
}

void SettingsSandbox::write_dorrant(const QByteArray& bytes) const {
    write_file(program_folder() + QStringLiteral("/dorrant.ini"), bytes);
}

QString SettingsSandbox::stored(const QString& key, const QString& missing) const {
    QSettings store(ini_file(), QSettings::IniFormat);
    return store.value(key, missing).toString();
}

cSys_vars::Options SettingsSandbox::options() const {
    cSys_vars::Options options;
    options.settings_file = ini_file();
    options.program_folder = program_folder();
    options.environment = [env = environment](const char* name) {
        const auto found = env.find(name);
        return found == env.end() ? QString() : found->second;
    };
    return options;
}

std::unique_ptr<cSys_vars> SettingsSandbox::make() const {
    return std::make_unique<cSys_vars>(options());
}

}  // namespace quillet::test
