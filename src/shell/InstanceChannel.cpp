#include "shell/InstanceChannel.h"

#include "settings/SettingsStore.h"

#include <QCryptographicHash>
#include <QLocalSocket>
#include <QTimer>

#include <memory>
#include <unistd.h>

namespace cvx {

namespace {

constexpr char kAcknowledged = '\x06';
// A client that connects and never completes its message is dropped after this long.
constexpr int kIdleClientMs = 5000;

} // namespace

InstanceChannel::InstanceChannel(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &InstanceChannel::Accept);
}

QString InstanceChannel::DefaultName() {
    const std::string location = SettingsStore().Location();
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(location), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return QStringLiteral("citavox-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

InstanceChannel::Role InstanceChannel::Claim(const HandOverMessage& message, int timeoutMs) {
    bool inUseWithoutAnswer = false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        switch (Send(name_, message, timeoutMs)) {
        case Delivery::Delivered:
            return Role::Second;
        case Delivery::NoAnswer:
            return Role::Unanswered;
        case Delivery::NoInstance:
            break;
        }
        // Twice nobody behind a name in use: the socket of an instance that is gone.
        if (inUseWithoutAnswer) {
            QLocalServer::removeServer(name_);
        }
        if (server_.listen(name_)) {
            return Role::First;
        }
        inUseWithoutAnswer = server_.serverError() == QAbstractSocket::AddressInUseError;
    }
    return Role::Unanswered;
}

InstanceChannel::Delivery InstanceChannel::Send(const QString& name, const HandOverMessage& message,
                                                int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs)) {
        return Delivery::NoInstance;
    }
    const std::string bytes = EncodeHandOver(message);
    socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return Delivery::NoAnswer;
    }
    if (socket.bytesAvailable() < 1 && !socket.waitForReadyRead(timeoutMs)) {
        return Delivery::NoAnswer;
    }
    char answer = 0;
    return socket.read(&answer, 1) == 1 && answer == kAcknowledged ? Delivery::Delivered
                                                                   : Delivery::NoAnswer;
}

void InstanceChannel::Accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kIdleClientMs, socket, [socket] { socket->abort(); });
        auto buffer = std::make_shared<std::string>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            const QByteArray bytes = socket->readAll();
            buffer->append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            bool malformed = false;
            const std::optional<HandOverMessage> message = TakeHandOver(*buffer, malformed);
            if (malformed) {
                socket->abort();
                return;
            }
            if (!message) {
                return;
            }
            // The sender is answered before the message is acted on, so a slow opening of a large
            // file never keeps the second start waiting.
            socket->write(&kAcknowledged, 1);
            socket->flush();
            socket->disconnectFromServer();
            emit Received(static_cast<int>(message->code), QString::fromStdString(message->text));
        });
    }
}

} // namespace cvx
