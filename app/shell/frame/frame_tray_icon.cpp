#include "frame_tray_icon.h"

#include "frame_text.h"
#include "image_names.h"

#include <QDateTime>
#include <QMenu>
#include <QSystemTrayIcon>

namespace corvex {

FrameTrayIcon::FrameTrayIcon(const std::vector<std::string>& framePaths, MenuItems items, Run run,
                             QObject* parent)
    : QObject(parent), items_(std::move(items)), run_(std::move(run)), menu_(new QMenu) {
    for (const std::string& path : framePaths) {
        frames_.emplace_back(QString::fromStdString(path));
    }
    if (frames_.empty()) {
        for (const char* builtIn : image::kTrayFrames) {
            frames_.emplace_back(QString::fromUtf8(builtIn));
        }
    }
    animation_ = TrayAnimation(static_cast<int>(frames_.size()));
    menu_->setObjectName(QStringLiteral("TrayMenu"));
    connect(menu_, &QMenu::aboutToShow, this, &FrameTrayIcon::fillMenu);
    if (desktopHasTray()) {
        icon_ = new QSystemTrayIcon(this);
        icon_->setContextMenu(menu_);
        connect(icon_, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger) {
                        emit clicked();
                    }
                });
    }
}

FrameTrayIcon::~FrameTrayIcon() {
    delete icon_; // before the menu it shows
    icon_ = nullptr;
    delete menu_;
}

bool FrameTrayIcon::desktopHasTray() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void FrameTrayIcon::show(bool shown) {
    if (shown == shown_) {
        return;
    }
    shown_ = shown;
    if (shown) {
        animation_.advance();
        showFrame();
    }
    if (icon_ != nullptr) {
        icon_->setVisible(shown);
    }
}

void FrameTrayIcon::setTip(const QString& tip) {
    tip_ = tip;
    if (icon_ != nullptr) {
        icon_->setToolTip(tip);
    }
}

void FrameTrayIcon::activity() {
    if (shown_ && animation_.activity(QDateTime::currentMSecsSinceEpoch())) {
        showFrame();
    }
}

void FrameTrayIcon::popupMenu(QPoint globalPos) {
    menu_->popup(globalPos);
}

void FrameTrayIcon::showFrame() {
    if (icon_ != nullptr) {
        icon_->setIcon(frames_[static_cast<size_t>(animation_.current())]);
    }
}

void FrameTrayIcon::fillMenu() {
    menu_->clear();
    for (const TrayMenuItem& item : items_()) {
        if (item.command == 0) {
            menu_->addSeparator();
            continue;
        }
        QAction* entry = menu_->addAction(qs(item.text));
        entry->setObjectName(QStringLiteral("tray%1").arg(item.command));
        entry->setData(item.command);
        entry->setCheckable(item.checked);
        entry->setChecked(item.checked);
        entry->setEnabled(item.enabled);
        if (item.isDefault) {
            QFont bold = entry->font();
            bold.setBold(true);
            entry->setFont(bold);
        }
        const int command = item.command;
        // Queued: an item may hide or close the frame, which must not happen inside the menu.
        connect(entry, &QAction::triggered, this, [this, command] {
            QMetaObject::invokeMethod(
                this, [this, command] { run_(command); }, Qt::QueuedConnection);
        });
    }
}

} // namespace corvex
