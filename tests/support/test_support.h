// Helpers shared by the Qt-based test suites.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace quillet::test {

// Writes bytes to a file, creating parent folders. Fails the test on error.
void write_file(const QString& path, const QByteArray& bytes);
// Reads a whole file; empty when it cannot be read.
QByteArray read_file(const QString& path);
// A file from examples/ or tests/data/.
QString example_path(const QString& name);
QString testdata_path(const QString& name);

}  // namespace quillet::test
