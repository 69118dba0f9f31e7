// Helpers shared by the Qt-based test suites.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class QProcess;

namespace quillet::test {

// Writes bytes to a file, creating parent folders. Fails the test on error.
void write_file(const QString& path, const QByteArray& bytes);
// Reads a whole file; empty when it cannot be read.
QByteArray read_file(const QString& path);
// A file from examples/ or tests/data/.
QString example_path(const QString& name);
QString testdata_path(const QString& name);
// Waits up to limit_ms for a started program to end. Its exit code; -1 when
// it crashed, or when it is still running (a failure of the test then).
int wait_for_exit(QProcess& process, int limit_ms);

}  // namespace quillet::test
