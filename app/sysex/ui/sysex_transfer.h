// The SysEx transfers of the program: sending a file unseen ("Send Sysex File") or a pane's
// bytes, capturing ("Receive Manual Dump", "Send/Receive Sysex") into the receive buffer, the
// display pane or a dump file, and the "Configure" dialog with the stored transfer
// settings. The SysEx view and the frame's hand-offs call this; it asks the rest of the
// program for the engine client, the ports and the device layer's SysEx buffers through
// SysExTransferHost.
//
// Every transfer runs on timers and modal, non-blocking dialogs: nothing here waits.
// User-interface thread only.
#pragma once

#include "settings/settings_store.h"
#include "sysex/sysex_configure_form.h"
#include "sysex/sysex_engine.h"
#include "sysex/sysex_pacer.h"
#include "sysex/sysex_receive_buffer.h"
#include "sysex/sysex_transfer_settings.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace corvex {

class FileProgressDialog;
class SysExCaptureRunner;
class SysExReceiveDialog;
class SysExSendRunner;
struct SysExSendStep;

struct SysExTransferHost {
    std::function<uint64_t()> client;
    std::function<bool()> passSysEx;
    std::function<int()> openOutputs;
    std::function<int()> openInputs;
    // The device layer's SysEx buffers, and setting them (false when refused).
    std::function<SysExBufferNumbers()> buffers;
    std::function<bool(const SysExBufferNumbers&)> setBuffers;
    // The SysEx folder the file dialogs start in, and the folder of a chosen file.
    std::function<std::string()> folder;
    std::function<void(const std::string&)> setFolder;
    // A warning box with a beep (an empty caption: the product caption); empty: a
    // non-blocking message box over the parent.
    std::function<void(QWidget* parent, const QString& caption, const QString& text)> warn;
    // Chooses the dump file of a capture; empty: the save-file dialog. "" cancels.
    std::function<std::string(QWidget* parent)> chooseDumpFile;
};

// How a capture ended, for the display pane.
struct SysExReceived {
    std::vector<uint8_t> bytes; // kept in the buffer (not fill-as-received, not dumped)
    uint64_t bytesCopied = 0;
    std::string dumpPath; // the file written when dumping
    bool dumpWritten = false;
    bool sendFailed = false;
};

class SysExTransfer {
public:
    // `engine` replaces the engine client's (tests); the store keeps the transfer settings.
    SysExTransfer(SettingsStore& store, SysExTransferHost host, SysExEngine* engine = nullptr);
    ~SysExTransfer();

    const SysExTransferSettings& settings() const { return settings_; }
    bool append() const { return append_; }
    SysExPacing pacing() const;

    // "Send Sysex File": the file at `path` (a path that names no file ends the command
    // silently), or one chosen in the open-file dialog when `path` is empty, always inside
    // "File Progress". Null when nothing is sent.
    FileProgressDialog* sendFile(const std::string& path, QWidget* parent);
    // A pane's bytes: inside "File Progress" when they are more than one piece, else without
    // a dialog. `done` gets the end. Null when nothing is sent.
    SysExSendRunner* sendBytes(std::vector<uint8_t> bytes, QWidget* parent,
                               std::function<void(const SysExSendStep&)> done = {});
    // "Send Scratch Pad": each line of the range as one short message.
    size_t sendScratchPad(std::string_view text, size_t selectionStart, size_t selectionEnd);

    // "Receive Manual Dump" (no bytes) or "Send/Receive Sysex" (the pane's bytes first).
    // `arrived` gets the plain hex of each read when "FillDisplay" is on; `done` gets the end.
    // Null when the capture could not start (the reason was shown).
    SysExReceiveDialog* receive(QWidget* parent, std::optional<std::vector<uint8_t>> sendFirst,
                                std::function<void(const QString&)> arrived,
                                std::function<void(const SysExReceived&)> done);

    // "Configure": the dialog; on OK the settings are stored and changed buffers applied.
    void configure(QWidget* parent);
    // OK of the dialog with `result` (also the tests' way in).
    void applyConfigure(const SysExConfigureResult& result, QWidget* parent);

private:
    SysExEngine& engine();
    bool outputReady(QWidget* parent);
    bool inputReady(QWidget* parent);
    void warn(QWidget* parent, const QString& text, const QString& caption = {});
    void reportSendEnd(QWidget* parent, const SysExSendStep& end);
    void finishCapture(QWidget* parent, const QString& shortfall, bool sendFailed,
                       const std::function<void(const SysExReceived&)>& done);

    SettingsStore& store_;
    SysExTransferHost host_;
    SysExEngine* injected_;
    EngineSysEx clientEngine_{0};
    SysExTransferSettings settings_;
    bool append_ = false;
    SysExReceiveBuffer buffer_;
    std::unique_ptr<SysExCaptureRunner> capture_;
    struct DumpFile;
    std::unique_ptr<DumpFile> dump_;
};

} // namespace corvex
