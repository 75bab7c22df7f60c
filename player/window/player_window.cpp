#include "player_window.h"

#include "button_bar.h"
#include "output_ports.h"
#include "port_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QShortcut>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QWindow>

#include <cstdio>

namespace corvex {
namespace {

constexpr int kTimerMs = 1000;
constexpr int kDisplayGap = 8;

QLabel* makeDisplay(QWidget* parent, int id) {
    auto* label = new QLabel("00 : 00", parent);
    label->setObjectName(QString::number(id));
    label->setAlignment(Qt::AlignCenter);
    label->setMargin(3);
    label->setStyleSheet("QLabel { color: rgb(128, 255, 255); background: black; "
                         "font-family: monospace; font-weight: bold; }");
    return label;
}

} // namespace

PlayerWindow::PlayerWindow(SettingsStore& store, PlayerSettings settings,
                           std::vector<std::string> ports, QWidget* parent)
    : QWidget(parent), store_(store), settings_(std::move(settings)), ports_(std::move(ports)),
      endNotice_([this] { controller_.endOfPlay(); }),
      controller_(*this, &EndNotice::notify, &endNotice_),
      server_([this](const PlayerHandOff& handoff) {
          controller_.receiveHandOff(handoff);
          if (tray_->isVisible()) {
              tray_->setToolTip(windowTitle());
          }
      }) {
    setObjectName("Tunelet");
    setWindowTitle(kPlayerCaption);
    // The installed icon of the theme; the style's loudspeaker when Tunelet is not installed.
    setWindowIcon(
        QIcon::fromTheme(QStringLiteral("tunelet"), style()->standardIcon(QStyle::SP_MediaVolume)));
    setAcceptDrops(true);
    bar_ = new ButtonBar(this);
    position_ = makeDisplay(this, 1001);
    length_ = makeDisplay(this, 1002);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(bar_);
    layout->addSpacing(kDisplayGap);
    layout->addWidget(position_);
    layout->addSpacing(kDisplayGap);
    layout->addWidget(length_);
    connect(bar_, &ButtonBar::command, this, [this](int id, int code) { command(id, code); });
    buildMenu();
    buildShortcuts();
    buildTray();
    controller_.choosePort(resolveStoredPort(ports_, settings_.outputPort));
    bar_->apply(controller_.buttons());
    bar_->setChecked(kRepeatButton, false);
    connect(&timer_, &QTimer::timeout, this, [this] { controller_.timerTick(); });
    timer_.start(kTimerMs);
    server_.listen();
    place();
}

PlayerWindow::~PlayerWindow() {
    saveSettings();
    controller_.closeFile();
}

void PlayerWindow::place() {
    layout()->activate();
    setFixedSize(sizeHint());
    const PlacementRect& normal = settings_.windowPos.normal;
    move(normal.left, normal.top);
}

void PlayerWindow::buildMenu() {
    menu_ = new QMenu(this);
    auto add = [this](int id, const QString& text, bool checkable) {
        QAction* action = menu_->addAction(text);
        action->setData(id);
        action->setCheckable(checkable);
        connect(action, &QAction::triggered, this, [this, id] { command(id); });
    };
    add(kOnTopCommand, tr("&On Top"), true);
    add(kUseTrayCommand, tr("&Use Tray"), true);
    add(kSingleInstanceCommand, tr("&Single Instance"), true);
    menu_->addSeparator();
    add(kAboutCommand, tr("&About"), false);
}

QAction* PlayerWindow::menuAction(int id) const {
    for (QAction* action : menu_->actions()) {
        if (action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
}

void PlayerWindow::buildShortcuts() {
    const std::pair<QKeySequence, int> keys[] = {
        {QKeySequence(Qt::Key_R), kRepeatButton},
        {QKeySequence(Qt::Key_M), kPortButton},
        {QKeySequence(Qt::Key_O), kOpenButton},
        {QKeySequence(Qt::Key_P), kPlayButton},
        {QKeySequence(Qt::Key_BracketLeft), kPauseButton},
        {QKeySequence(Qt::Key_BracketRight), kStopButton},
        {QKeySequence(Qt::ALT | Qt::Key_BracketLeft), kToStartButton},
        {QKeySequence(Qt::ALT | Qt::Key_BracketRight), kToEndButton},
    };
    for (const auto& [sequence, id] : keys) {
        auto* shortcut = new QShortcut(sequence, this);
        connect(shortcut, &QShortcut::activated, this, [this, id = id] { accelerator(id); });
    }
}

void PlayerWindow::accelerator(int id) {
    if (!bar_->isEnabled(id)) {
        return;
    }
    if (id == kRepeatButton || id == kPauseButton) {
        bar_->setChecked(id, !bar_->isChecked(id));
    }
    command(id);
}

void PlayerWindow::keyPressEvent(QKeyEvent* event) {
    int id = event->key() == Qt::Key_Less      ? kRewindButton
             : event->key() == Qt::Key_Greater ? kForwardButton
                                               : 0;
    if (id == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat() && bar_->isEnabled(id)) {
        command(id, kButtonPressed);
    }
}

void PlayerWindow::keyReleaseEvent(QKeyEvent* event) {
    bool seekKey = event->key() == Qt::Key_Less || event->key() == Qt::Key_Greater;
    if (!seekKey) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) {
        command(event->key() == Qt::Key_Less ? kRewindButton : kForwardButton, kButtonReleased);
    }
}

void PlayerWindow::command(int id, int notification) {
    if (id == kRewindButton || id == kForwardButton) {
        auto direction =
            id == kRewindButton ? SeekStepper::Direction::Back : SeekStepper::Direction::Forward;
        if (notification == kButtonPressed) {
            controller_.pressSeek(direction);
        } else if (notification == kButtonReleased) {
            controller_.releaseSeek();
        }
        return;
    }
    if (notification != 0) {
        return;
    }
    switch (id) {
    case kRepeatButton:
        controller_.toggleRepeat();
        bar_->setChecked(kRepeatButton, controller_.repeat());
        break;
    case kPortButton:
        choosePort();
        break;
    case kOpenButton:
        openWithDialog();
        break;
    case kPlayButton:
        controller_.play();
        break;
    case kPauseButton:
        controller_.pauseOrResume();
        bar_->setChecked(kPauseButton, controller_.buttons().pauseChecked);
        break;
    case kStopButton:
        controller_.stop();
        break;
    case kToStartButton:
        controller_.toStart();
        break;
    case kToEndButton:
        controller_.toEnd();
        break;
    case kOnTopCommand:
        toggleOnTop();
        break;
    case kUseTrayCommand:
        toggleUseTray();
        break;
    case kSingleInstanceCommand:
        toggleSingleInstance();
        break;
    case kAboutCommand:
        QMessageBox::about(this, tr("About Tunelet"),
                           tr("Tunelet -- x64\nMIDI Player Companion to Corvex"));
        break;
    default:
        break;
    }
}

void PlayerWindow::openFromCommandLine(const std::string& path, bool play) {
    if (controller_.openFile(path) && play) {
        controller_.play();
    }
}

void PlayerWindow::openWithDialog() {
    QString path = QFileDialog::getOpenFileName(
        this, tr("Open"), QString::fromStdString(settings_.midiDir), tr("MIDI (*.mid)"));
    if (path.isEmpty()) {
        return;
    }
    settings_.midiDir = QFileInfo(path).absolutePath().toStdString();
    controller_.openFile(path.toStdString());
}

void PlayerWindow::choosePort() {
    PortDialog dialog(ports_, controller_.port(), this);
    if (dialog.exec() != QDialog::Accepted || dialog.choice() == controller_.port()) {
        return;
    }
    controller_.choosePort(dialog.choice());
}

void PlayerWindow::toggleOnTop() {
    onTop_ = !onTop_;
    menuAction(kOnTopCommand)->setChecked(onTop_);
    bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop_);
    if (visible) {
        show(); // changing the flag hides the window
    }
}

void PlayerWindow::toggleUseTray() {
    useTray_ = !useTray_;
    menuAction(kUseTrayCommand)->setChecked(useTray_);
    if (useTray_ && isMinimized()) {
        hideToTray();
    } else if (useTray_ && !isVisible()) {
        tray_->setToolTip(windowTitle());
    }
}

void PlayerWindow::toggleSingleInstance() {
    singleInstance_ = !singleInstance_;
    menuAction(kSingleInstanceCommand)->setChecked(singleInstance_);
    settings_.singleInstance = singleInstance_;
    writeSingleInstance(store_, singleInstance_);
}

void PlayerWindow::applySavedOptions() {
    if (settings_.inTray) {
        command(kUseTrayCommand);
    }
    if (settings_.onTop) {
        command(kOnTopCommand);
    }
    if (settings_.singleInstance) {
        singleInstance_ = true; // already stored: turn it on without writing again
        menuAction(kSingleInstanceCommand)->setChecked(true);
    }
}

void PlayerWindow::buildTray() {
    tray_ = new QSystemTrayIcon(windowIcon(), this);
    trayMenu_ = new QMenu(this);
    QAction* open = trayMenu_->addAction(tr("&Open"));
    QFont bold = open->font();
    bold.setBold(true);
    open->setFont(bold);
    QAction* exit = trayMenu_->addAction(tr("E&xit"));
    connect(open, &QAction::triggered, this, [this] { restoreFromTray(); });
    connect(exit, &QAction::triggered, this, [this] {
        tray_->hide();
        close();
    });
    tray_->setContextMenu(trayMenu_);
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) {
                    restoreFromTray();
                } else if (reason == QSystemTrayIcon::Trigger) {
                    trayMenu_->popup(QCursor::pos());
                }
            });
}

void PlayerWindow::hideToTray() {
    tray_->setToolTip(windowTitle());
    tray_->show();
    hide();
}

void PlayerWindow::restoreFromTray() {
    tray_->hide();
    showNormal();
    raise();
    activateWindow();
}

void PlayerWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && useTray_) {
        QTimer::singleShot(0, this, [this] { hideToTray(); });
    }
}

void PlayerWindow::contextMenuEvent(QContextMenuEvent* event) {
    menu_->popup(event->globalPos());
}

void PlayerWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void PlayerWindow::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths.push_back(url.toLocalFile().toStdString());
        }
    }
    if (paths.empty()) {
        return;
    }
    event->acceptProposedAction();
    controller_.dropFiles(std::move(paths));
    if (!isVisible()) {
        tray_->setToolTip(windowTitle());
    }
    raise();
    activateWindow();
}

void PlayerWindow::showTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
    if (tray_ != nullptr && tray_->isVisible()) {
        tray_->setToolTip(windowTitle());
    }
}

void PlayerWindow::showButtons(const ButtonStates& states) {
    bar_->apply(states);
}

void PlayerWindow::showPosition(const std::string& text) {
    position_->setText(QString::fromStdString(text));
}

void PlayerWindow::showLength(const std::string& text) {
    length_->setText(QString::fromStdString(text));
}

void PlayerWindow::errorBox(const std::string& message) {
    if (errorSink) {
        errorSink(message);
        return;
    }
    std::fprintf(stderr, "tunelet: %s\n", message.c_str());
    QApplication::beep();
    // Shown without a nested event loop: playing, the timer and signals go on meanwhile.
    auto* box =
        new QMessageBox(QMessageBox::Warning, kPlayerCaption, QString::fromStdString(message),
                        QMessageBox::Ok, isVisible() ? this : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void PlayerWindow::saveSettings() {
    if (saved_) {
        return;
    }
    saved_ = true;
    // pos() is the frame's position, which move() restores.
    QRect frame(pos(), frameGeometry().size());
    settings_.windowPos =
        normalPlacement({frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1});
    settings_.onTop = onTop_;
    settings_.inTray = useTray_;
    settings_.singleInstance = singleInstance_;
    settings_.outputPort = storedPortName(ports_, controller_.port());
    writePlayerSettings(store_, settings_);
}

void PlayerWindow::closeEvent(QCloseEvent* event) {
    controller_.closeFile();
    timer_.stop();
    saveSettings();
    tray_->hide();
    event->accept();
    QCoreApplication::quit();
}

} // namespace corvex
