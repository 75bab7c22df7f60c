#include "lua/ui/lua_script_window.h"

#include "lua/lua_script_engine.h"
#include "settings_profile.h"

#include "cvxlib.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace corvex {
namespace {

constexpr int kInputHeight = 24;
constexpr int kMinimumLogHeight = 40;

QFont scriptFont() {
    QFont font(QStringLiteral("Consolas"));
    font.setPixelSize(14);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

LuaScriptWindow::LuaScriptWindow(LuaScriptEngine& engine, uint64_t client, SettingsProfile& record,
                                 LuaWindowMemory& memory, QWidget* owner)
    : QMainWindow(owner, Qt::Window), engine_(engine), client_(client), record_(record),
      target_([this](uint32_t msg, uintptr_t, intptr_t) { onMessage(msg); }), memory_(memory) {
    setObjectName(QStringLiteral("CorvexLuaScriptWnd"));
    setWindowTitle(QStringLiteral("Corvex Lua Script"));
    buildMenus();
    buildControls();
    scriptTimer_.setTimerType(Qt::PreciseTimer);
    connect(&scriptTimer_, &QTimer::timeout, this, &LuaScriptWindow::timerTick);
    engine_.setOutputSink([this](std::string_view line) {
        appendLine(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
    });
    engine_.setTimerControl([this](int periodMs) { setScriptTimer(periodMs); });
    setWindowFlag(Qt::WindowStaysOnTopHint, memory_.alwaysOnTop);
    place();
    AttachLua(client_, target_.hwnd(), 0);
    appendLine(QStringLiteral("[INFO] Ready. Use Script > Load Script... to run a .lua file."));
    record_.display.luaWindowOpen = true;
    refresh();
}

LuaScriptWindow::~LuaScriptWindow() {
    rememberRectangle();
    DetachLua(client_);
    scriptTimer_.stop();
    engine_.setTimerControl(nullptr);
    engine_.unload(); // its lines still reach the log
    engine_.setOutputSink(nullptr);
}

void LuaScriptWindow::buildMenus() {
    struct Entry {
        int command;
        const char* caption;
        bool checkable;
    };
    const auto addEntries = [this](QMenu* menu, std::initializer_list<Entry> entries) {
        for (const Entry& entry : entries) {
            if (entry.command == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* item = menu->addAction(QString::fromUtf8(entry.caption));
            item->setData(entry.command);
            item->setCheckable(entry.checkable);
            connect(item, &QAction::triggered, this,
                    [this, command = entry.command] { runCommand(command); });
        }
    };
    addEntries(menuBar()->addMenu(tr("&Script")),
               {{kLoad, "&Load Script...\tCtrl+O", false},
                {kReload, "&Reload Script\tCtrl+R", false},
                {kEditExternally, "&Edit Externally\tCtrl+E", false},
                {kUnload, "&Unload Script", false},
                {0, nullptr, false},
                {kClearLog, "C&lear Log", false},
                {0, nullptr, false},
                {kClose, "&Close", false}});
    addEntries(menuBar()->addMenu(tr("&Options")),
               {{kEnable, "&Enable Script", true}, {kAlwaysOnTop, "Always on &Top", true}});
    action(kLoad)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    action(kReload)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    action(kEditExternally)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
}

void LuaScriptWindow::buildControls() {
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    log_ = new QPlainTextEdit(area);
    log_->setReadOnly(true);
    log_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log_->setMinimumHeight(kMinimumLogHeight);
    log_->setFont(scriptFont());
    input_ = new QLineEdit(area);
    input_->setFixedHeight(kInputHeight);
    input_->setFont(scriptFont());
    input_->setPlaceholderText(
        QStringLiteral("Enter Lua command or =expression (Up/Down for history)..."));
    input_->installEventFilter(this);
    layout->addWidget(log_, 1);
    layout->addWidget(input_);
    setCentralWidget(area);
    input_->setFocus();
}

void LuaScriptWindow::place() {
    const PlacementRect& stored = record_.display.luaWindowRect;
    const int width = stored.right - stored.left;
    const int height = stored.bottom - stored.top;
    if (width < 101 || height < 81) {
        resize(620, 340);
        return;
    }
    QRect rect(stored.left, stored.top, width, height);
    QScreen* screen = QGuiApplication::screenAt(rect.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        rect.setSize(rect.size().boundedTo(area.size()));
        rect.moveLeft(std::clamp(rect.left(), area.left(), area.right() - rect.width() + 1));
        rect.moveTop(std::clamp(rect.top(), area.top(), area.bottom() - rect.height() + 1));
    }
    setGeometry(rect);
}

void LuaScriptWindow::rememberRectangle() {
    if (isMinimized() || isMaximized() || !isVisible()) {
        return;
    }
    const QRect rect = geometry();
    record_.display.luaWindowRect = {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
}

QAction* LuaScriptWindow::action(int command) const {
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        for (QAction* item : menu->actions()) {
            if (item->data().toInt() == command) {
                return item;
            }
        }
    }
    return nullptr;
}

void LuaScriptWindow::refresh() {
    setWindowTitle(
        fromUtf8(scriptWindowTitle(engine_.hasState(), engine_.scriptPath(), engine_.active())));
    action(kReload)->setEnabled(engine_.hasState());
    action(kUnload)->setEnabled(engine_.hasState());
    action(kEditExternally)->setEnabled(!engine_.scriptPath().empty());
    action(kEnable)->setChecked(engine_.active());
    action(kAlwaysOnTop)->setChecked(memory_.alwaysOnTop);
    DetachLua(client_);
    AttachLua(client_, target_.hwnd(), engine_.wantsInput() ? 1 : 0);
}

void LuaScriptWindow::loadScript(const std::string& path) {
    record_.options.scriptFolder = QFileInfo(fromUtf8(path)).absolutePath().toStdString();
    if (engine_.load(path)) {
        appendLine(QStringLiteral("[INFO] Loaded: ") + fromUtf8(path));
        if (!engine_.active()) {
            appendLine(QStringLiteral("[WARN] Script is currently BYPASSED (use Options > "
                                      "Enable Script to activate)."));
        }
    }
    refresh();
}

void LuaScriptWindow::chooseScript() {
    QString start = fromUtf8(engine_.scriptPath());
    if (start.isEmpty()) {
        start = fromUtf8(record_.options.scriptFolder);
    }
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Load Script"), start, QStringLiteral("Lua Scripts (*.lua);;All Files (*.*)"));
    if (!path.isEmpty()) {
        loadScript(path.toStdString());
    }
}

void LuaScriptWindow::runCommand(int command) {
    switch (command) {
    case kLoad:
        chooseScript();
        return;
    case kReload:
        if (!engine_.scriptPath().empty()) {
            engine_.setActive(true);
            if (engine_.load(engine_.scriptPath())) {
                appendLine(QStringLiteral("[INFO] Reloaded: ") + fromUtf8(engine_.scriptPath()));
            }
        }
        break;
    case kEditExternally:
        if (!engine_.scriptPath().empty()) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(fromUtf8(engine_.scriptPath())));
        }
        return;
    case kUnload:
        scriptTimer_.stop();
        engine_.unload();
        appendLine(QStringLiteral("[INFO] Script unloaded."));
        break;
    case kClearLog:
        log_->clear();
        return;
    case kClose:
        close();
        return;
    case kEnable:
        engine_.setActive(!engine_.active());
        appendLine(engine_.active() ? QStringLiteral("[INFO] Script enabled.")
                                    : QStringLiteral("[INFO] Script bypassed."));
        break;
    case kAlwaysOnTop:
        memory_.alwaysOnTop = !memory_.alwaysOnTop;
        setWindowFlag(Qt::WindowStaysOnTopHint, memory_.alwaysOnTop);
        show();
        break;
    default:
        return;
    }
    refresh();
}

void LuaScriptWindow::appendLine(const QString& line) {
    QTextDocument* document = log_->document();
    const size_t drop =
        logCharactersToDrop(static_cast<size_t>(std::max(0, document->characterCount() - 1)));
    if (drop > 0) {
        QTextCursor cursor(document);
        cursor.setPosition(static_cast<int>(drop), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    log_->appendPlainText(line);
    log_->moveCursor(QTextCursor::End);
}

QString LuaScriptWindow::logText() const {
    return log_->toPlainText();
}

void LuaScriptWindow::enterCommand() {
    const QString text = input_->text();
    if (text.isEmpty()) {
        return;
    }
    appendLine(QStringLiteral("> ") + text);
    memory_.history.add(text.toStdString());
    input_->clear();
    const bool hadState = engine_.hasState();
    engine_.command(text.toStdString());
    if (engine_.hasState() != hadState) {
        refresh(); // the command made a bare state
    }
}

bool LuaScriptWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != input_ || event->type() != QEvent::KeyPress) {
        return QMainWindow::eventFilter(watched, event);
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        enterCommand();
        return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const std::optional<std::string> entry =
            key == Qt::Key_Up ? memory_.history.up() : memory_.history.down();
        if (entry) {
            input_->setText(fromUtf8(*entry));
            if (key == Qt::Key_Up) {
                input_->selectAll();
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void LuaScriptWindow::closeEvent(QCloseEvent* event) {
    record_.display.luaWindowOpen = false;
    QMainWindow::closeEvent(event);
}

void LuaScriptWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    rememberRectangle();
}

void LuaScriptWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    rememberRectangle();
}

void LuaScriptWindow::onMessage(uint32_t msg) {
    if (msg == WM_CVX_SCRIPTINPUT && engine_.pumpInput()) {
        refresh();
    }
}

void LuaScriptWindow::setScriptTimer(int periodMs) {
    if (periodMs <= 0) {
        scriptTimer_.stop();
    } else {
        scriptTimer_.start(periodMs);
    }
}

void LuaScriptWindow::timerTick() {
    const bool wasActive = engine_.active();
    engine_.timerTick();
    if (wasActive && !engine_.active()) {
        refresh();
    }
}

} // namespace corvex
