// The program side of the routing view: the routing it shows comes from the device manager,
// its edits go to the engine (UpdatePortMap, the port data maps), the device manager and the
// settings record, and the one open view is refreshed whenever the ports or maps change.
//
// User-interface thread only.
#pragma once

#include "routing/ui/routing_view.h"
#include "settings/settings_profile.h"

#include <QPointer>

namespace corvex {

class CMidi;

class ProgramRouting : public RoutingViewHost, private RoutingEffects {
public:
    ProgramRouting(CMidi& midi, SettingsProfile& record) : midi_(midi), record_(record) {}

    // The view for the frame to show; the frame owns it.
    QWidget* createView(QWidget* parent);
    // The ports, their names or the maps changed elsewhere.
    void refreshView();
    // The colours or the zoom of the settings changed.
    void restyleView();

    RoutingState routing() const override;
    std::vector<std::string> portNames(bool inputs) const override;
    void applyRouting(const RoutingState& state, const RoutingChange& change) override;
    void zoomChanged(int percent) override;
    std::string mapFolder() const override;

private:
    void updatePortMap(int output, const CPortMap& map) override;
    void storeAndResendPortDataMaps(const CPortDataMap& maps) override;
    void copyToSettings(const RoutingState& state) override;
    void redrawViews() override;
    RoutingViewLook look() const;

    CMidi& midi_;
    SettingsProfile& record_;
    QPointer<RoutingView> view_;
};

} // namespace corvex
