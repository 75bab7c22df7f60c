// The program-wide colour scheme: 55 indexed colours used by the monitors, the status views,
// the status bar, the transports, the SysEx view and the routing view; their names (the
// names of the settings values and of the colour dialog's list) and the two default sets.
// Colours are 32-bit RGB values with red in the low byte (0x00BBGGRR).
//
// Constants and pure functions, callable from any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvex {

inline constexpr size_t kColourCount = 55;

using Colour = uint32_t;
using ColourScheme = std::array<Colour, kColourCount>;

constexpr Colour rgbColour(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 |
           static_cast<Colour>(blue) << 16;
}
constexpr uint8_t redOf(Colour colour) {
    return static_cast<uint8_t>(colour);
}
constexpr uint8_t greenOf(Colour colour) {
    return static_cast<uint8_t>(colour >> 8);
}
constexpr uint8_t blueOf(Colour colour) {
    return static_cast<uint8_t>(colour >> 16);
}

// Indices of the scheme.
enum ColourIndex : size_t {
    kMonitorBackground = 0,
    kMonitorText = 1,
    kLabelBackground = 2,
    kLabelText = 3,
    kStatusBackground = 4,
    kStatusText = 5,
    kNoteOnColour = 6,
    kNoteOffColour = 7,
    kAftertouchColour = 8,
    kControllerColour = 9,
    kProgramChangeColour = 10,
    kPitchBendColour = 11,
    kSystemExclusiveColour = 12,
    kMtcBackground = 13,
    kMtcText = 14,
    kSyncBackground = 15,
    kSyncText = 16,
    kStatusBarActiveBackground = 17,
    kStatusBarActiveText = 18,
    kSysexViewF0 = 19,
    kSysexViewF7 = 20,
    kFirstChannelColour = 21, // "Channel 1" .. "Channel 16": 21..36
    kRoutingBackground = 37,
    kRoutingText = 38,
    kFirstRoutePortColour = 39, // "Route Port 1" .. "Route Port 16": 39..54
};

// The names in index order, as the settings and the colour dialog spell them (index 19,
// "SysEx View F0 ", has its trailing space).
extern const std::array<std::string_view, kColourCount> kColourNames;

// The desktop colours that four entries follow ("system" in the default sets). The user
// interface fills them from its palette; the values here are used without one.
struct SystemColours {
    Colour activeCaption = rgbColour(153, 180, 209);
    Colour captionText = rgbColour(0, 0, 0);
    Colour window = rgbColour(255, 255, 255);
    Colour windowText = rgbColour(0, 0, 0);
};

// The first default set serves displays of at least 16 bits per pixel, the second others.
enum class ColourDepth { AtLeast16Bits, Fewer };

ColourScheme defaultColours(ColourDepth depth = ColourDepth::AtLeast16Bits,
                            const SystemColours& system = {});

// A colour as profiles write it, "red,green,blue" in decimal, and its reading: nothing
// unless three numbers 0..255 lead the text.
std::string colourText(Colour colour);
std::optional<Colour> parseColourText(std::string_view text);

} // namespace corvex
