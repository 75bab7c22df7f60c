// The single-instance channel between players of one user: a QLocalServer named
// handoffServerName() that the running player listens on, and the hand-off a later start
// sends it (one 265-byte message, answered with one byte once taken).
//
// UI thread only.
#pragma once

#include "handoff_block.h"

#include <QLocalServer>
#include <QObject>

#include <functional>

namespace corvex {

class PlayerInstanceServer : public QObject {
public:
    using Receiver = std::function<void(const PlayerHandOff&)>;
    PlayerInstanceServer(Receiver receiver, QObject* parent = nullptr);
    // Listens unless another live player already does; a stale socket is replaced.
    bool listen();
    bool listening() const { return server_.isListening(); }

private:
    void accept();

    Receiver receiver_;
    QLocalServer server_;
};

// Whether a player is listening.
bool playerRunning();

enum class HandOffResult { Delivered, TooLong, NoPlayer };
// Sends the hand-off to the running player and waits (a few seconds at most) for its answer.
HandOffResult sendHandOff(const PlayerHandOff& handoff);

} // namespace corvex
