#include "shell/instance_channel.h"

#include "shell/instance_slots.h"
#include "window_messages.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <unistd.h>

namespace corvex {
namespace {

constexpr int kMessageSize = 4;
// A peer that does not finish its request in this time is dropped, so a stuck or hostile
// client cannot hold a connection open.
constexpr int kRequestTimeoutMs = 5000;

QByteArray int32Bytes(uint32_t value) {
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
    }
    return bytes;
}

uint32_t uint32Of(const QByteArray& bytes) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << (8 * i);
    }
    return value;
}

qsizetype requestSize(uint32_t message) {
    return message == WM_CVX_HANDOFF ? kMessageSize + static_cast<qsizetype>(kHandOffBlockSize)
                                     : kMessageSize;
}

} // namespace

QString instanceSocketPath(const QString& folder, int slot) {
    return QStringLiteral("%1/corvex-%2-slot-%3").arg(folder).arg(::getuid()).arg(slot);
}

InstanceServer::InstanceServer(HandOffHandler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString& folder, int slot) {
    const QString path = instanceSocketPath(folder, slot);
    QLocalServer::removeServer(path); // the slot's lock is ours, so any old socket is stale
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::onNewConnection);
    return server_->listen(path);
}

void InstanceServer::onNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        QTimer::singleShot(kRequestTimeoutMs, socket, [socket] { socket->abort(); });
        if (socket->bytesAvailable() > 0) {
            onReadyRead(socket);
        }
    }
}

void InstanceServer::onReadyRead(QLocalSocket* socket) {
    if (socket->bytesAvailable() < kMessageSize) {
        return;
    }
    const uint32_t message = uint32Of(socket->peek(kMessageSize));
    const qsizetype size = requestSize(message);
    if (socket->bytesAvailable() < size) {
        return;
    }
    const QByteArray request = socket->read(size);
    socket->readAll(); // nothing may follow a request
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    if (message == WM_CVX_PING) {
        reply(socket, 1);
        return;
    }
    if (message != WM_CVX_HANDOFF) {
        reply(socket, 0);
        return;
    }
    const auto* data = reinterpret_cast<const uint8_t*>(request.constData()) + kMessageSize;
    const std::optional<HandOff> handOff = decodeHandOff({data, kHandOffBlockSize});
    reply(socket, handOff ? 0 : -1);
    if (handOff) {
        pending_.push_back(*handOff);
        deliverPending();
    }
}

void InstanceServer::deliverPending() {
    if (delivering_ || !handler_) {
        return; // the delivery running further down the stack takes the new block too
    }
    delivering_ = true;
    while (!pending_.empty()) {
        const HandOff handOff = pending_.front();
        pending_.pop_front();
        handler_(handOff);
    }
    delivering_ = false;
}

void InstanceServer::reply(QLocalSocket* socket, int32_t value) {
    socket->write(int32Bytes(static_cast<uint32_t>(value)));
    socket->flush();
    socket->disconnectFromServer();
}

std::optional<int32_t> sendInstanceMessage(const QString& folder, int slot, uint32_t message,
                                           const HandOffBytes* block, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(instanceSocketPath(folder, slot));
    if (!socket.waitForConnected(timeoutMs)) {
        return std::nullopt;
    }
    QByteArray request = int32Bytes(message);
    if (block != nullptr) {
        request.append(reinterpret_cast<const char*>(block->data()),
                       static_cast<qsizetype>(block->size()));
    }
    socket.write(request);
    socket.flush();
    if (socket.bytesToWrite() > 0 && !socket.waitForBytesWritten(timeoutMs)) {
        return std::nullopt;
    }
    while (socket.bytesAvailable() < 4) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            return std::nullopt;
        }
    }
    return static_cast<int32_t>(uint32Of(socket.read(4)));
}

std::optional<int> findLiveInstance(const QString& folder, int timeoutMs) {
    for (const int slot : heldInstanceSlots(folder.toStdString())) {
        if (sendInstanceMessage(folder, slot, WM_CVX_PING, nullptr, timeoutMs) == 1) {
            return slot;
        }
    }
    return std::nullopt;
}

} // namespace corvex
