#include "lua/ui/lua_scripts.h"

#include "settings_profile.h"

namespace corvex {

LuaScripts::LuaScripts(SettingsProfile& record, EngineLuaHost::PortNames portNames)
    : record_(record), host_(0, std::move(portNames)), engine_(host_) {}

LuaScripts::~LuaScripts() {
    close();
}

void LuaScripts::open(uint64_t client, QWidget* owner) {
    if (window_ != nullptr) {
        if (window_->isMinimized()) {
            window_->showNormal();
        }
        window_->raise();
        window_->activateWindow();
        return;
    }
    host_.setClient(client);
    window_ = new LuaScriptWindow(engine_, client, record_, memory_, owner);
    window_->setAttribute(Qt::WA_DeleteOnClose);
    window_->show();
}

void LuaScripts::close() {
    delete window_.data();
}

} // namespace corvex
