// Text of the string table and menus as Qt strings. Any thread.
#pragma once

#include <QString>

#include <string_view>

namespace corvex {

inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Menu text without the accelerator shown after the tab; the shortcut shows it instead.
inline QString menuText(std::string_view text) {
    return qs(text.substr(0, text.find('\t')));
}

} // namespace corvex
