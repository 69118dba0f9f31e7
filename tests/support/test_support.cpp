#include "test_support.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

}  // namespace quillet::test
