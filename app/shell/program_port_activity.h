// The program side of the port activity view: the open ports of the device manager and the
// engine's port status.
//
// User-interface thread only.
#pragma once

#include "views/port_activity_window.h"

#include <QPointer>

namespace corvex {

class CMidi;

class ProgramPortActivity : public PortActivitySource {
public:
    explicit ProgramPortActivity(CMidi& midi) : midi_(midi) {}

    // The view for the frame to show; the frame owns it.
    QWidget* createView(QWidget* parent);
    // The ports or their names changed.
    void refreshView();

    std::vector<ActivityPort> openPorts(bool inputs) const override;
    void portStatus(CPortStatus& status) override;
    uint32_t now() const override;

private:
    CMidi& midi_;
    QPointer<PortActivityWindow> view_;
};

} // namespace corvex
