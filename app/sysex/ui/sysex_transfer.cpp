#include "sysex/ui/sysex_transfer.h"

#include "devices/open_errors.h"
#include "resources/string_table.h"
#include "sysex/sysex_files.h"
#include "sysex/ui/file_progress_dialog.h"
#include "sysex/ui/sysex_capture_runner.h"
#include "sysex/ui/sysex_configure_dialog.h"
#include "sysex/ui/sysex_receive_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace corvex {

namespace {

const char kSendFileFilter[] = "SysEx (*.syx *.cbk);;All Files (*)";
const char kDumpFileFilter[] =
    "SysEx (*.syx *.cbk);;Other Binary (*);;Text (*.txt *.ini *.cvx);;Other Text (*)";

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

// The dump file of a capture: written under a temporary name beside the chosen one and
// renamed over it when the capture ends, so a capture that fails early never destroys a
// file that was there.
struct SysExTransfer::DumpFile {
    std::string path;
    std::string temporary;
    int fd = -1;

    bool open(const std::string& target, std::string& error) {
        path = target;
        temporary = target + ".tmp-XXXXXX";
        fd = ::mkstemp(temporary.data());
        if (fd < 0) {
            error = std::strerror(errno);
        }
        return fd >= 0;
    }
    bool commit() {
        bool ok = ::fsync(fd) == 0;
        ok = ::close(fd) == 0 && ok;
        fd = -1;
        ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
        if (!ok) {
            ::unlink(temporary.c_str());
        }
        return ok;
    }
    ~DumpFile() {
        if (fd >= 0) {
            ::close(fd);
            ::unlink(temporary.c_str());
        }
    }
};

SysExTransfer::SysExTransfer(SettingsStore& store, SysExTransferHost host, SysExEngine* engine)
    : store_(store), host_(std::move(host)), injected_(engine),
      settings_(readSysExTransferSettings(store)) {}

SysExTransfer::~SysExTransfer() = default;

SysExPacing SysExTransfer::pacing() const {
    SysExPacing pacing;
    pacing.pieceSize = host_.buffers ? host_.buffers().outputSize : pacing.pieceSize;
    pacing.cutAfterF7 = settings_.delayAfterF7;
    pacing.afterF7DelayMs = settings_.afterF7DelayMs;
    pacing.bufferDelayMs = settings_.bufferDelayMs;
    return pacing;
}

SysExEngine& SysExTransfer::engine() {
    if (injected_ != nullptr) {
        return *injected_;
    }
    clientEngine_.setClient(host_.client ? host_.client() : 0);
    return clientEngine_;
}

void SysExTransfer::warn(QWidget* parent, const QString& text, const QString& caption) {
    if (host_.warn) {
        host_.warn(parent, caption, text);
        return;
    }
    QApplication::beep();
    auto* box = new QMessageBox(QMessageBox::Warning,
                                caption.isEmpty() ? qt(loadString(str::kProductCaption)) : caption,
                                text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool SysExTransfer::outputReady(QWidget* parent) {
    if (host_.passSysEx && host_.passSysEx() && host_.openOutputs && host_.openOutputs() > 0) {
        return true;
    }
    warn(parent, qt(loadString(str::kNoSysExOutput)));
    return false;
}

bool SysExTransfer::inputReady(QWidget* parent) {
    if (!host_.passSysEx || !host_.passSysEx() || !host_.openInputs || host_.openInputs() <= 0) {
        warn(parent, qt(loadString(str::kNoSysExInput)));
        return false;
    }
    if (!buffer_.valid()) {
        warn(parent, qt(loadString(str::kOutOfMemory)));
        return false;
    }
    return true;
}

void SysExTransfer::reportSendEnd(QWidget* parent, const SysExSendStep& end) {
    if (end.state != SysExSendState::Failed) {
        return;
    }
    const char* caption =
        end.result == kSysExNoFreeBuffer ? "SysEx: No Buffers Available" : "SysEx Output Devices";
    warn(parent, qt(openErrorText(end.result, PortDirection::Output)), caption);
}

FileProgressDialog* SysExTransfer::sendFile(const std::string& path, QWidget* parent) {
    if (!outputReady(parent)) {
        return nullptr;
    }
    std::string chosen = path;
    if (chosen.empty()) {
        QString picked = QFileDialog::getOpenFileName(
            parent, {}, host_.folder ? qt(host_.folder()) : QString(), kSendFileFilter);
        if (picked.isEmpty()) {
            return nullptr;
        }
        chosen = picked.toStdString();
        if (host_.setFolder) {
            host_.setFolder(QFileInfo(picked).absolutePath().toStdString());
        }
    } else if (!isUsableFilePath(chosen)) {
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readWholeFile(chosen, bytes, error)) {
        warn(parent, qt(error), "Error");
        return nullptr;
    }
    if (bytes.empty()) {
        return nullptr;
    }
    auto* dialog = new FileProgressDialog(
        SysExSendSession(std::move(bytes), pacing(), settings_.autoDelay), engine(), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &FileProgressDialog::sendEnded, dialog,
                     [this, parent](SysExSendStep end) { reportSendEnd(parent, end); });
    dialog->open();
    return dialog;
}

SysExSendRunner* SysExTransfer::sendBytes(std::vector<uint8_t> bytes, QWidget* parent,
                                          std::function<void(const SysExSendStep&)> done) {
    if (bytes.empty() || !outputReady(parent)) {
        return nullptr;
    }
    SysExPacing paced = pacing();
    bool withDialog = paneSendNeedsProgress(bytes.size(), paced.pieceSize);
    SysExSendSession session(std::move(bytes), paced, settings_.autoDelay);
    auto report = [this, parent, done](SysExSendStep end) {
        reportSendEnd(parent, end);
        if (done) {
            done(end);
        }
    };
    if (withDialog) {
        auto* dialog = new FileProgressDialog(std::move(session), engine(), parent);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(dialog, &FileProgressDialog::sendEnded, dialog, report);
        dialog->open();
        return &dialog->runner();
    }
    auto* runner = new SysExSendRunner(std::move(session), engine(), parent);
    QObject::connect(runner, &SysExSendRunner::finished, runner, [runner, report](auto end) {
        report(end);
        runner->deleteLater();
    });
    runner->start();
    return runner;
}

size_t SysExTransfer::sendScratchPad(std::string_view text, size_t selectionStart,
                                     size_t selectionEnd) {
    if (!host_.openOutputs || host_.openOutputs() <= 0 || !host_.client || host_.client() == 0) {
        return 0;
    }
    return corvex::sendScratchPad(engine(), text, selectionStart, selectionEnd);
}

SysExReceiveDialog* SysExTransfer::receive(QWidget* parent,
                                           std::optional<std::vector<uint8_t>> sendFirst,
                                           std::function<void(const QString&)> arrived,
                                           std::function<void(const SysExReceived&)> done) {
    if (capture_ && capture_->capturing()) {
        return nullptr; // one capture at a time
    }
    if (sendFirst && (sendFirst->empty() || !outputReady(parent))) {
        return nullptr;
    }
    if (!inputReady(parent)) {
        return nullptr;
    }
    if (injected_ == nullptr && (!host_.client || host_.client() == 0)) {
        warn(parent, "No Client Instance!");
        return nullptr;
    }
    SysExCaptureMode mode = SysExCaptureMode::KeepInBuffer;
    dump_.reset();
    if (settings_.saveDirectlyToFile) {
        std::string target =
            host_.chooseDumpFile
                ? host_.chooseDumpFile(parent)
                : QFileDialog::getSaveFileName(
                      parent, {}, host_.folder ? qt(host_.folder()) : QString(), kDumpFileFilter)
                      .toStdString();
        if (target.empty()) {
            return nullptr;
        }
        if (QFileInfo(qt(target)).suffix().isEmpty()) {
            target += ".syx";
        }
        dump_ = std::make_unique<DumpFile>();
        std::string error;
        if (!dump_->open(target, error)) {
            dump_.reset();
            warn(parent, qt(error), "Error");
            return nullptr;
        }
        mode = SysExCaptureMode::DumpToFile;
    } else if (settings_.fillDisplay) {
        mode = SysExCaptureMode::FillAsReceived;
    }
    capture_ = std::make_unique<SysExCaptureRunner>(engine(), buffer_);
    if (!capture_->start(mode, dump_ ? dump_->fd : -1)) {
        capture_.reset();
        dump_.reset();
        warn(parent, "Error Starting Sysex Receive.");
        return nullptr;
    }
    if (arrived) {
        QObject::connect(capture_.get(), &SysExCaptureRunner::arrived, capture_.get(), arrived);
    }
    std::optional<SysExSendSession> send;
    if (sendFirst) {
        send.emplace(std::move(*sendFirst), pacing(), settings_.autoDelay);
    }
    auto* dialog = new SysExReceiveDialog(*capture_, std::move(send), engine(), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(
        dialog, &SysExReceiveDialog::received, dialog,
        [this, parent, done](const QString& shortfall, std::optional<SysExSendStep> failedSend) {
            if (failedSend) {
                reportSendEnd(parent, *failedSend);
            }
            finishCapture(parent, shortfall, failedSend.has_value(), done);
        });
    dialog->open();
    return dialog;
}

void SysExTransfer::finishCapture(QWidget* parent, const QString& shortfall, bool sendFailed,
                                  const std::function<void(const SysExReceived&)>& done) {
    if (!shortfall.isEmpty()) {
        warn(parent, shortfall);
        // The engine lost buffers on the way: give the device layer its buffers again.
        if (host_.setBuffers && host_.buffers) {
            host_.setBuffers(host_.buffers());
        }
    }
    SysExReceived received;
    received.bytesCopied = capture_->bytesCopied();
    received.sendFailed = sendFailed;
    if (dump_) {
        received.dumpPath = dump_->path;
        received.dumpWritten = dump_->commit();
        if (!received.dumpWritten) {
            warn(parent, "Error Saving File");
        }
        dump_.reset();
    } else {
        auto bytes = buffer_.bytes();
        received.bytes.assign(bytes.begin(), bytes.end());
        buffer_.reset();
    }
    capture_.reset();
    if (done) {
        done(received);
    }
}

void SysExTransfer::configure(QWidget* parent) {
    SysExBufferNumbers numbers = host_.buffers ? host_.buffers() : SysExBufferNumbers{};
    auto* dialog = new SysExConfigureDialog(settings_, append_, numbers, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, dialog,
                     [this, dialog, parent] { applyConfigure(dialog->result(), parent); });
    dialog->open();
}

void SysExTransfer::applyConfigure(const SysExConfigureResult& result, QWidget* parent) {
    settings_ = result.settings;
    append_ = result.append;
    writeSysExTransferSettings(store_, settings_);
    if (result.buffersChanged) {
        bool engineTook =
            engine().setCaptureBuffers(result.buffers.inputCount, result.buffers.inputSize);
        bool deviceTook = host_.setBuffers && host_.setBuffers(result.buffers);
        if (!engineTook || !deviceTook) {
            warn(parent, "Could not SetBuffer Sizes.");
        }
    }
    if (result.adjusted) {
        warn(parent, "Out of Range Values Adjusted.");
    }
}

} // namespace corvex
