#include "instance_channel.h"

#include <QLocalSocket>

#include <memory>

namespace corvex {
namespace {

constexpr int kWaitMs = 3000;

QString serverName() {
    return QString::fromStdString(handoffServerName());
}

} // namespace

PlayerInstanceServer::PlayerInstanceServer(Receiver receiver, QObject* parent)
    : QObject(parent), receiver_(std::move(receiver)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] { accept(); });
}

bool PlayerInstanceServer::listen() {
    if (server_.listen(serverName())) {
        return true;
    }
    if (playerRunning()) {
        return false;
    }
    QLocalServer::removeServer(serverName());
    return server_.listen(serverName());
}

void PlayerInstanceServer::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() < static_cast<qint64>(kHandOffMessageBytes)) {
                return;
            }
            QByteArray bytes = socket->read(kHandOffMessageBytes);
            socket->write("\1", 1);
            socket->flush();
            socket->disconnectFromServer();
            auto handoff = decodePlayerHandOff(std::span<const uint8_t>(
                reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size()));
            if (handoff) {
                receiver_(*handoff);
            }
        });
    }
}

bool playerRunning() {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    return socket.waitForConnected(kWaitMs);
}

HandOffResult sendHandOff(const PlayerHandOff& handoff) {
    auto message = encodePlayerHandOff(handoff);
    if (!message) {
        return HandOffResult::TooLong;
    }
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(kWaitMs)) {
        return HandOffResult::NoPlayer;
    }
    socket.write(reinterpret_cast<const char*>(message->data()), message->size());
    if (!socket.waitForBytesWritten(kWaitMs) || !socket.waitForReadyRead(kWaitMs)) {
        return HandOffResult::NoPlayer;
    }
    return HandOffResult::Delivered;
}

} // namespace corvex
