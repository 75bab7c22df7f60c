#include "colour_table.h"

#include "number_list.h"

#include <algorithm>

namespace corvex {

const std::array<std::string_view, kColourCount> kColourNames = {
    "Monitor Background",
    "Monitor Text",
    "Label Background",
    "Label Text",
    "Status Background",
    "Status Text",
    "MIDI Note On",
    "MIDI Note Off",
    "MIDI Aftertouch",
    "MIDI Controller",
    "MIDI Program Change",
    "MIDI Pitch Bend",
    "MIDI System Exclusive",
    "MTC Background",
    "MTC Text",
    "MIDI Sync Background",
    "MIDI Sync Text",
    "StatusBar Active Bkgd",
    "StatusBar Active Text",
    "SysEx View F0 ",
    "SysEx View F7",
    "Channel 1",
    "Channel 2",
    "Channel 3",
    "Channel 4",
    "Channel 5",
    "Channel 6",
    "Channel 7",
    "Channel 8",
    "Channel 9",
    "Channel 10",
    "Channel 11",
    "Channel 12",
    "Channel 13",
    "Channel 14",
    "Channel 15",
    "Channel 16",
    "Routing Background",
    "Routing Text",
    "Route Port 1",
    "Route Port 2",
    "Route Port 3",
    "Route Port 4",
    "Route Port 5",
    "Route Port 6",
    "Route Port 7",
    "Route Port 8",
    "Route Port 9",
    "Route Port 10",
    "Route Port 11",
    "Route Port 12",
    "Route Port 13",
    "Route Port 14",
    "Route Port 15",
    "Route Port 16",
};

namespace {

constexpr std::array<Colour, 16> kChannelColours = {
    rgbColour(128, 0, 0),     rgbColour(255, 0, 0),     rgbColour(0, 128, 0),
    rgbColour(0, 255, 0),     rgbColour(0, 0, 128),     rgbColour(0, 0, 255),
    rgbColour(128, 128, 0),   rgbColour(255, 255, 0),   rgbColour(128, 0, 128),
    rgbColour(255, 0, 255),   rgbColour(128, 255, 255), rgbColour(255, 128, 255),
    rgbColour(255, 128, 0),   rgbColour(0, 255, 128),   rgbColour(255, 128, 128),
    rgbColour(128, 128, 255),
};

constexpr std::array<Colour, 16> kRoutePortColours = {
    rgbColour(250, 253, 255), rgbColour(195, 248, 240), rgbColour(115, 238, 215),
    rgbColour(0, 205, 185),   rgbColour(0, 168, 178),   rgbColour(25, 145, 235),
    rgbColour(45, 105, 230),  rgbColour(65, 72, 210),   rgbColour(155, 230, 255),
    rgbColour(55, 220, 248),  rgbColour(45, 195, 155),  rgbColour(0, 145, 145),
    rgbColour(85, 160, 250),  rgbColour(115, 120, 245), rgbColour(30, 115, 195),
    rgbColour(95, 85, 195),
};

// Indices 6..12 and 14, 18: the entries whose defaults differ between the two sets.
struct DepthColours {
    Colour noteOn, noteOff, aftertouch, controller, programChange, pitchBend, sysex;
    Colour mtcText, statusBarActiveText;
};

constexpr DepthColours kHighColour = {
    rgbColour(6, 255, 6),     rgbColour(0, 151, 151),   rgbColour(50, 214, 218),
    rgbColour(11, 164, 255),  rgbColour(181, 67, 204),  rgbColour(255, 6, 131),
    rgbColour(255, 255, 142), rgbColour(255, 255, 128), rgbColour(255, 255, 128),
};

constexpr DepthColours kLowColour = {
    rgbColour(0, 255, 0),   rgbColour(0, 128, 0),   rgbColour(128, 0, 128),
    rgbColour(0, 0, 255),   rgbColour(255, 0, 255), rgbColour(255, 0, 0),
    rgbColour(255, 255, 0), rgbColour(255, 255, 0), rgbColour(255, 255, 0),
};

} // namespace

ColourScheme defaultColours(ColourDepth depth, const SystemColours& system) {
    const bool high = depth == ColourDepth::AtLeast16Bits;
    const DepthColours& set = high ? kHighColour : kLowColour;
    ColourScheme scheme{};
    scheme[kMonitorBackground] = rgbColour(0, 0, 0);
    scheme[kMonitorText] = rgbColour(192, 192, 192);
    scheme[kLabelBackground] = system.activeCaption;
    scheme[kLabelText] = system.captionText;
    scheme[kStatusBackground] = high ? rgbColour(244, 244, 210) : system.window;
    scheme[kStatusText] = system.windowText;
    scheme[kNoteOnColour] = set.noteOn;
    scheme[kNoteOffColour] = set.noteOff;
    scheme[kAftertouchColour] = set.aftertouch;
    scheme[kControllerColour] = set.controller;
    scheme[kProgramChangeColour] = set.programChange;
    scheme[kPitchBendColour] = set.pitchBend;
    scheme[kSystemExclusiveColour] = set.sysex;
    scheme[kMtcBackground] = rgbColour(0, 0, 128);
    scheme[kMtcText] = set.mtcText;
    scheme[kSyncBackground] = rgbColour(0, 0, 0);
    scheme[kSyncText] = rgbColour(0, 255, 0);
    scheme[kStatusBarActiveBackground] = rgbColour(0, 0, 128);
    scheme[kStatusBarActiveText] = set.statusBarActiveText;
    scheme[kSysexViewF0] = rgbColour(255, 0, 0);
    scheme[kSysexViewF7] = rgbColour(255, 0, 0);
    for (size_t i = 0; i < 16; ++i) {
        scheme[kFirstChannelColour + i] = kChannelColours[i];
        scheme[kFirstRoutePortColour + i] = kRoutePortColours[i];
    }
    scheme[kRoutingBackground] = rgbColour(126, 135, 156);
    scheme[kRoutingText] = rgbColour(255, 255, 255);
    return scheme;
}

std::string colourText(Colour colour) {
    return std::to_string(redOf(colour)) + "," + std::to_string(greenOf(colour)) + "," +
           std::to_string(blueOf(colour));
}

std::optional<Colour> parseColourText(std::string_view text) {
    std::vector<long long> parts = leadingNumbers(text, 3);
    if (parts.size() != 3 ||
        std::any_of(parts.begin(), parts.end(), [](long long v) { return v < 0 || v > 255; })) {
        return std::nullopt;
    }
    return rgbColour(static_cast<uint8_t>(parts[0]), static_cast<uint8_t>(parts[1]),
                     static_cast<uint8_t>(parts[2]));
}

} // namespace corvex
