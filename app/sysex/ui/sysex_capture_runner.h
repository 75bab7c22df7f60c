// One capture of incoming SysEx on the user-interface thread: the engine posts
// WM_CVX_SYSEX_CAPTURED to the runner's message target for every buffer it keeps, and the
// runner reads the bytes into the receive buffer by the capture mode (kept, handed on as
// plain hex, or written to the dump file). stop() reads what is still waiting, ends the
// capture and gives the shortfall message, if any.
// User-interface thread only.
#pragma once

#include "sysex/sysex_capture.h"
#include "sysex/sysex_engine.h"
#include "views/message_target.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace corvex {

class SysExCaptureRunner : public QObject {
    Q_OBJECT

public:
    // The engine and the buffer must outlive the runner.
    SysExCaptureRunner(SysExEngine& engine, SysExReceiveBuffer& buffer, QObject* parent = nullptr);
    ~SysExCaptureRunner() override; // stops a running capture

    // Starts capturing; false when the engine refused ("Error Starting Sysex Receive.").
    bool start(SysExCaptureMode mode, int dumpFd = -1);
    // Ends the capture; returns the shortfall warning (empty when every byte was taken).
    std::string stop();
    bool capturing() const { return capture_.has_value() && capturing_; }
    uint64_t bytesCopied() const { return capture_ ? capture_->bytesCopied() : 0; }
    SysExReceiveBuffer& buffer() { return buffer_; }

signals:
    // After each batch of notifications: the bytes taken so far.
    void counted(quint64 bytesCopied);
    // Fill-as-received: the plain hex of the bytes just read.
    void arrived(const QString& plainHex);
    // The capture cannot go on: the receive buffer is full or the dump file cannot be
    // written. Every byte taken before is kept; stop() gives the message.
    void cannotContinue();

private:
    void handle(uint32_t msg, intptr_t lParam);
    void take(size_t announced);
    void emitHex(const std::string& hex);
    SysExReceiveBuffer::Copy copier();

    SysExEngine& engine_;
    SysExReceiveBuffer& buffer_;
    std::unique_ptr<MessageTarget> target_;
    std::optional<SysExCapture> capture_;
    bool capturing_ = false;
};

} // namespace corvex
