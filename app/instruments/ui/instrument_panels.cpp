#include "instruments/ui/instrument_panels.h"

#include "devices/patch_name_table.h"
#include "instruments/default_instruments.h"
#include "settings/settings_profile.h"

#include "cvxlib.h"

namespace corvex {

InstrumentPanels::InstrumentPanels(GlobalOptions& options, SettingsStore& store)
    : panel_(options, store) {
    provideDefaultInstruments(options.instrumentFolder, installedInstrumentFolder());
    panel_.setSender([this](uint8_t status, uint8_t channel, uint8_t data1, uint8_t data2) {
        if (client_ != 0) {
            corvexEvent(client_, status, channel, data1, data2, 0);
        }
    });
    panel_.setNameSink([this](int channel, const CPatchList& patches) {
        for (int program = 0; names_ != nullptr && program < 128; ++program) {
            names_->setName(channel, program, patches.names[program]);
        }
    });
    panel_.readFavourites();
}

InstrumentPanels::~InstrumentPanels() {
    close();
}

void InstrumentPanels::open(uint64_t client, QWidget* owner) {
    client_ = client;
    if (window_ == nullptr) {
        window_ = new InstrumentPanelWindow(panel_, owner);
        window_->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(window_, &QDialog::finished, window_, [this] {
            placement_ = window_->geometry();
            if (closed_) {
                closed_();
            }
        });
        if (placement_.isValid()) {
            window_->setGeometry(placement_);
        }
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void InstrumentPanels::close() {
    if (window_ != nullptr) {
        placement_ = window_->geometry();
        delete window_;
    }
}

void InstrumentPanels::patchSeen(uintptr_t wParam, intptr_t lParam) {
    int bankWord = static_cast<int>(lParam >> 8);
    panel_.patchSeen(static_cast<int>(wParam), bankWord, static_cast<int>(lParam & 0x7F));
    if (window_ != nullptr) {
        window_->refreshLabels();
    }
}

} // namespace corvex
