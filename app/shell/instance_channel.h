// The channel between instances: each instance listens on a per-user local socket named
// "corvex-<uid>-slot-N" in the instance lock folder (a private folder, see
// instance_slots.h) and answers WM_CVX_PING and WM_CVX_HANDOFF there.
//
// On the wire a request is the message number (4 bytes, little-endian), for WM_CVX_HANDOFF
// followed by the 528-byte hand-off block; the reply is one little-endian int32.
//
// Threads: InstanceServer lives on the user-interface thread and never blocks it; the
// client functions block for at most their time-out and are meant for a second start,
// before it has any window.
#pragma once

#include "shell/handoff_block.h"

#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace corvex {

// "<folder>/corvex-<uid>-slot-<slot>".
QString instanceSocketPath(const QString& folder, int slot);

class InstanceServer : public QObject {
    Q_OBJECT

public:
    // Called on the user-interface thread once per received block, one block at a time, in
    // the order the blocks arrived: a block that arrives while the handler runs (in a dialog
    // it opened) waits until the handler has returned.
    using HandOffHandler = std::function<void(const HandOff&)>;

    explicit InstanceServer(HandOffHandler handler, QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens for the slot this process holds (a socket file left by a crashed holder of the
    // slot is removed first). False when the socket cannot be made.
    bool listen(const QString& folder, int slot);

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);
    void reply(QLocalSocket* socket, int32_t value);
    void deliverPending();

    HandOffHandler handler_;
    std::deque<HandOff> pending_;
    bool delivering_ = false;
    QLocalServer* server_ = nullptr;
};

// Sends one message to the instance of `slot` and returns its reply; nothing when no
// instance answers within `timeoutMs`.
std::optional<int32_t> sendInstanceMessage(const QString& folder, int slot, uint32_t message,
                                           const HandOffBytes* block, int timeoutMs);

// The lowest slot whose holder answers WM_CVX_PING with 1; nothing when none does.
std::optional<int> findLiveInstance(const QString& folder, int timeoutMs);

} // namespace corvex
