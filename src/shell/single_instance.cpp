#include "single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

namespace quillet {

namespace {

// Lines of the hand-over: the later start writes "activate TOKEN\n", the
// first answers "ok\n" once its window is at the front.
constexpr QByteArrayView kRequest = "activate ";
constexpr QByteArrayView kAnswer = "ok\n";
constexpr int kAnswerWithinMs = 5000;

QString instance_path(const QString& settings_file, const QString& suffix) {
    // The per-user runtime folder when the session has one, else the temporary
    // folder; the key holds the user's home so that users never share a lock.
    QString folder;
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    const QString identity =
        QDir::homePath() + QLatin1Char('\n') + QFileInfo(settings_file).absoluteFilePath();
    const QByteArray key =
        QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return folder + QStringLiteral("/quillet-") + QString::fromLatin1(key) + suffix;
}

}  // namespace

QString SingleInstance::lock_path(const QString& settings_file) {
    return instance_path(settings_file, QStringLiteral(".lock"));
}

QString SingleInstance::socket_path(const QString& settings_file) {
    return instance_path(settings_file, QStringLiteral(".socket"));
}

SingleInstance::SingleInstance(const QString& settings_file)
    : socket_path_(socket_path(settings_file)),
      lock_(std::make_unique<QLockFile>(lock_path(settings_file))) {
    // Held for hours: only a lock whose process has gone is stale.
    lock_->setStaleLockTime(0);
    acquired_ = lock_->tryLock(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::listen(std::function<void(const QByteArray& token)> on_hand_over) {
    // The lock is ours, so a socket left there is a dead instance's.
    QLocalServer::removeServer(socket_path_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Each later start: one request line, answered once the window is at the front.
    auto answer = [on_hand_over = std::move(on_hand_over)](QLocalSocket* socket) {
        if (!socket->canReadLine()) {
            return;
        }
        const QByteArray line = socket->readLine().trimmed();
        if (line.startsWith(kRequest.trimmed())) {
            on_hand_over(line.mid(kRequest.size()).trimmed());
            socket->write(kAnswer.data(), kAnswer.size());
        }
        socket->disconnectFromServer();
    };
    QLocalServer* server = server_.get();
    QObject::connect(server, &QLocalServer::newConnection, server, [server, answer] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QTimer::singleShot(kAnswerWithinMs, socket, &QLocalSocket::abort);
            QObject::connect(socket, &QLocalSocket::readyRead, socket,
                             [socket, answer] { answer(socket); });
        }
    });
    return server_->listen(socket_path_);
}

bool SingleInstance::hand_over(const QByteArray& token) const {
    QLocalSocket socket;
    socket.connectToServer(socket_path_);
    if (!socket.waitForConnected(kAnswerWithinMs)) {
        return false;
    }
    // A token is one word; anything else in it is not passed on.
    const QByteArray word = token.contains(' ') || token.contains('\n') ? QByteArray() : token;
    socket.write(kRequest.toByteArray() + word + '\n');
    QByteArray answer;
    while (!answer.endsWith('\n') && socket.waitForReadyRead(kAnswerWithinMs)) {
        answer += socket.readAll();
    }
    return answer == kAnswer;
}

}  // namespace quillet
