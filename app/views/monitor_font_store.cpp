#include "views/monitor_font_store.h"

#include <algorithm>

namespace corvex {

namespace {

constexpr std::string_view monitorKey = "Monitor";
constexpr int largestSize = 1000;

} // namespace

MonitorFont loadMonitorFont(SettingsStore& store) {
    const SettingsTree tree = store.read();
    MonitorFont font;
    if (auto face = tree.string(monitorKey, "Face Name"); face && !face->empty()) {
        font.faceName = *face;
    }
    if (auto size = tree.dword(monitorKey, "Size"); size && *size > 0) {
        font.size = static_cast<int>(std::min<uint32_t>(*size, largestSize));
    }
    font.bold = tree.dword(monitorKey, "Bold").value_or(0) != 0;
    font.italic = tree.dword(monitorKey, "Italic").value_or(0) != 0;
    return font;
}

bool saveMonitorFont(SettingsStore& store, const MonitorFont& font) {
    return store.update([&](SettingsTree& tree) {
        return tree.setString(monitorKey, "Face Name", font.faceName) &&
               tree.setDword(monitorKey, "Size",
                             static_cast<uint32_t>(std::clamp(font.size, 1, largestSize))) &&
               tree.setDword(monitorKey, "Bold", font.bold ? 1 : 0) &&
               tree.setDword(monitorKey, "Italic", font.italic ? 1 : 0);
    });
}

} // namespace corvex
