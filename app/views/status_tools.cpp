#include "views/status_tools.h"

#include "command_ids.h"
#include "views/snapshot_file.h"
#include "views/status_columns_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace corvex {

namespace {

constexpr const char* kSnapshotFilter = "Corvex Snapshot (*.mxs);;All Files (*)";

} // namespace

StatusTools::StatusTools(DisplaySettings& display, Sender send)
    : display_(display), send_(std::move(send)) {
    timer_.setInterval(kSnapshotMessageGapMs);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { sendNext(); });
}

StatusTools::~StatusTools() {
    stopSending();
    delete window_.data();
}

bool StatusTools::handles(int command) {
    return command == cmd::kClearStatus || command == cmd::kConfigureStatus ||
           command == cmd::kLoadSnapshot || command == cmd::kSaveSnapshot ||
           command == cmd::kSendSnapshot;
}

bool StatusTools::runCommand(int command, QWidget* owner) {
    switch (command) {
    case cmd::kClearStatus:
        clear();
        return true;
    case cmd::kConfigureStatus:
        editConfiguration(owner);
        return true;
    case cmd::kSendSnapshot:
        sendSnapshot(owner);
        return true;
    case cmd::kLoadSnapshot:
        askLoad(owner);
        return true;
    case cmd::kSaveSnapshot:
        askSave(owner);
        return true;
    default:
        return false;
    }
}

QString StatusTools::startFolder() const {
    return folder_ ? QString::fromStdString(folder_()) : QString();
}

void StatusTools::rememberFolder(const QString& path) {
    if (setFolder_) {
        setFolder_(QFileInfo(path).absolutePath().toStdString());
    }
}

void StatusTools::askLoad(QWidget* owner) {
    const QString path =
        QFileDialog::getOpenFileName(owner, "Load Snapshot", startFolder(), kSnapshotFilter);
    if (path.isEmpty()) {
        return;
    }
    rememberFolder(path);
    if (const std::string message = loadSnapshot(path.toStdString()); !message.empty()) {
        QMessageBox::warning(owner, "Load Snapshot", QString::fromStdString(message));
    }
}

void StatusTools::askSave(QWidget* owner) {
    QString path =
        QFileDialog::getSaveFileName(owner, "Save Snapshot", startFolder(), kSnapshotFilter);
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += ".mxs";
    }
    rememberFolder(path);
    if (const std::string message = saveSnapshot(path.toStdString()); !message.empty()) {
        QMessageBox::warning(owner, "Save Snapshot", QString::fromStdString(message));
    }
}

void StatusTools::editConfiguration(QWidget* owner) {
    StatusColumnsDialog dialog(
        display_.statusColumns,
        {display_.snapshotControllers, display_.snapshotMode, display_.snapshotExtra}, owner);
    if (dialog.exec() == QDialog::Accepted) {
        configure(dialog.columns(), dialog.options());
    }
}

void StatusTools::configure(const StatusColumns& columns, const SnapshotOptions& options) {
    if (isValidStatusColumns(columns)) {
        display_.statusColumns = columns;
    }
    display_.snapshotControllers = options.controllers;
    display_.snapshotMode = options.channelMode;
    display_.snapshotExtra = options.extra;
    if (window_ != nullptr) {
        window_->setColumns(display_.statusColumns);
    }
}

StatusWindow* StatusTools::createWindow() {
    if (window_ == nullptr) {
        window_ = new StatusWindow(status_, [this](int command) { runCommand(command, window_); });
        window_->setColumns(display_.statusColumns);
        window_->setLook(text_, background_, font_);
    }
    return window_;
}

void StatusTools::follow(const MonitorLine& line) {
    if (const auto* event = std::get_if<EVENT>(&line)) {
        if (status_.update(event->message)) {
            refresh();
        }
        if (const auto patch = status_.lastPatchSeen(); patch && patchSeen_) {
            patchSeen_(*patch);
        }
    }
}

std::string StatusTools::loadSnapshot(const std::string& path) {
    auto result = loadSnapshotFile(path);
    if (auto* message = std::get_if<std::string>(&result)) {
        return *message;
    }
    status_.assign(std::get<StatusValues>(result));
    refresh();
    return {};
}

std::string StatusTools::saveSnapshot(const std::string& path) const {
    return saveSnapshotFile(path, status_.values());
}

void StatusTools::clear() {
    status_.clear();
    refresh();
}

void StatusTools::sendSnapshot(QWidget* owner) {
    stopSending();
    pending_ = snapshotMessages(status_.values(), {display_.snapshotControllers,
                                                   display_.snapshotMode, display_.snapshotExtra});
    next_ = 0;
    if (pending_.empty()) {
        return;
    }
    progress_ = new QProgressDialog("Sending snapshot...", "Cancel", 0,
                                    static_cast<int>(pending_.size()), owner);
    progress_->setAttribute(Qt::WA_DeleteOnClose);
    progress_->setMinimumDuration(300);
    QObject::connect(progress_, &QProgressDialog::canceled, [this] { stopSending(); });
    timer_.start();
}

void StatusTools::sendNext() {
    if (next_ >= pending_.size()) {
        stopSending();
        return;
    }
    send_(pending_[next_++]);
    if (progress_ != nullptr) {
        progress_->setValue(static_cast<int>(next_));
    }
}

void StatusTools::stopSending() {
    timer_.stop();
    pending_.clear();
    next_ = 0;
    // Closing the dialog reports a cancel, which comes back here: forget it first.
    if (QProgressDialog* progress = progress_.data()) {
        progress_ = nullptr;
        QObject::disconnect(progress, &QProgressDialog::canceled, nullptr, nullptr);
        progress->close();
    }
}

void StatusTools::setLook(const QColor& text, const QColor& background, const QFont& font) {
    text_ = text;
    background_ = background;
    font_ = font;
    if (window_ != nullptr) {
        window_->setLook(text, background, font);
    }
}

void StatusTools::refresh() {
    if (window_ != nullptr) {
        window_->update();
    }
}

} // namespace corvex
