#include "test_support.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace quillet::test {

void write_file(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
    file.close();
}

QByteArray read_file(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

QString example_path(const QString& name) {
    return QStringLiteral(QUILLET_EXAMPLES_DIR "/") + name;
}

QString testdata_path(const QString& name) {
    return QStringLiteral(QUILLET_TESTDATA_DIR "/") + name;
}

int wait_for_exit(QProcess& process, int limit_ms) {
    if (!process.waitForFinished(limit_ms)) {
        ADD_FAILURE() << process.program().toStdString() << " still running after " << limit_ms
                      << " ms";
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace quillet::test
