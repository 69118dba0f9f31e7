#include "document_handoff.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

#include "browser_launcher.h"

namespace quillet {

namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");

bool ask_file_manager(const QString& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        return false;
    }
    const QStringList activatable = bus.interface()->activatableServiceNames().value();
    if (!bus.interface()->isServiceRegistered(kService).value() &&
        !activatable.contains(kService)) {
        return false;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/FileManager1"),
                                       kService, QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace

bool DesktopFileManager::show_item(const QString& path) {
    if (ask_file_manager(path)) {
        return true;
    }
    return opener_.open(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

void copy_path(const QString& path) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(path);
    if (clipboard->supportsSelection()) {
        clipboard->setText(path, QClipboard::Selection);
    }
}

}  // namespace quillet
