#include "shell/program_port_activity.h"

#include "devices/midi.h"

#include "cvx_platform.h"

namespace corvex {

QWidget* ProgramPortActivity::createView(QWidget* parent) {
    view_ = new PortActivityWindow(*this, parent);
    return view_;
}

void ProgramPortActivity::refreshView() {
    if (view_ != nullptr) {
        view_->refresh();
    }
}

std::vector<ActivityPort> ProgramPortActivity::openPorts(bool inputs) const {
    std::vector<ActivityPort> ports;
    const int count = inputs ? midi_.inputCount() : midi_.outputCount();
    for (int slot = 0; slot < count; ++slot) {
        const CMidiPort& port = inputs ? static_cast<const CMidiPort&>(midi_.input(slot))
                                       : static_cast<const CMidiPort&>(midi_.output(slot));
        if (port.IsOpen() != 0) {
            ports.push_back({port.deviceIndex(), port.displayName()});
        }
    }
    return ports;
}

void ProgramPortActivity::portStatus(CPortStatus& status) {
    midi_.engine().getPortStatus(status);
}

uint32_t ProgramPortActivity::now() const {
    return timeGetTime();
}

} // namespace corvex
