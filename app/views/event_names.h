// Names of MIDI message kinds, controllers, notes and General MIDI programs as the monitors
// print them. Constant tables: any thread may read them.
#pragma once

#include <array>
#include <string_view>

namespace corvex::event_names {

// By note number mod 12; two characters each so the NOTE column keeps its width.
inline constexpr std::array<std::string_view, 12> notes = {"C ", "C#", "D ", "Eb", "E ", "F ",
                                                           "F#", "G ", "G#", "A ", "Bb", "B "};

// Channel messages by the high half of the status byte, 0x8..0xE.
inline constexpr std::array<std::string_view, 7> channelMessages = {
    "Note Off",       "Note On",     "Key Aftertouch", "Control Change",
    "Program Change", "Channel Aft", "Pitch Bend"};

// System messages by the low half of the status byte 0xF0..0xFF.
inline constexpr std::array<std::string_view, 16> systemMessages = {"System Exclusive",
                                                                    "MTC Quarter Frame",
                                                                    "Song Position Ptr",
                                                                    "Song Select",
                                                                    "Undefined",
                                                                    "SysEx Continue",
                                                                    "Tune Request",
                                                                    "SysEx End",
                                                                    "Timing Clock",
                                                                    "Undefined",
                                                                    "Start",
                                                                    "Continue",
                                                                    "Stop",
                                                                    "Undefined",
                                                                    "Active Sensing",
                                                                    "System Reset"};

inline constexpr std::string_view unknownEvent = "Unknown Event";
inline constexpr std::string_view drums = "Drums";

// Controller numbers with a name of their own; every other controller is "Control Change".
constexpr std::string_view controller(unsigned number) {
    switch (number) {
    case 0:
        return "CC: Bank MSB";
    case 1:
        return "CC: Modulation";
    case 2:
        return "CC: Breath";
    case 4:
        return "CC: Foot Controller";
    case 5:
        return "CC: Portamento Time";
    case 6:
        return "CC: Data Entry MSB";
    case 7:
        return "CC: Volume";
    case 8:
        return "CC: Balance";
    case 10:
        return "CC: PAN";
    case 11:
        return "CC: Expression";
    case 21:
        return "CC: 21 (Ext)";
    case 22:
        return "CC: 22 (Ext)";
    case 23:
        return "CC: 23 (Ext)";
    case 24:
        return "CC: 24 (Ext)";
    case 32:
        return "CC: Bank LSB";
    case 38:
        return "CC: Data Entry LSB";
    case 64:
        return "CC: Pedal (Sustain)";
    case 65:
        return "CC: Portamento";
    case 66:
        return "CC: Sostenuto-Thumby";
    case 67:
        return "CC: Pedal-Soft";
    case 69:
        return "CC: Hold 2";
    case 71:
        return "CC: Harmonic Content";
    case 72:
        return "CC: Release Time";
    case 73:
        return "CC: Attack Time";
    case 74:
        return "CC: Brightness";
    case 84:
        return "CC: Portamento Ctrl";
    case 91:
        return "CC: Reverb Depth";
    case 92:
        return "CC: Tremolo Depth";
    case 93:
        return "CC: Chorus Depth";
    case 94:
        return "CC: Celeste Depth";
    case 95:
        return "CC: Phaser Depth";
    case 96:
        return "CC: Data Increment";
    case 97:
        return "CC: Data Decrement";
    case 98:
        return "CC: NRPN LSB";
    case 99:
        return "CC: NRPN MSB";
    case 100:
        return "CC: RPN LSB";
    case 101:
        return "CC: RPN MSB";
    case 120:
        return "CC: All Sound Off";
    case 121:
        return "CC: Reset Cntrl";
    case 122:
        return "CC: Local Cntrl";
    case 123:
        return "CC: All Notes Off";
    case 124:
        return "CC: Omni Off";
    case 125:
        return "CC: Omni On";
    case 126:
        return "CC: Mono On";
    case 127:
        return "CC: Poly On";
    default:
        return "Control Change";
    }
}

// General MIDI program names, programs 0..127.
inline constexpr std::array<std::string_view, 128> generalMidiPrograms = {"Acc. Grand Piano",
                                                                          "Brite Acc. Piano",
                                                                          "Elec Grand Piano",
                                                                          "Honky-Tonk Piano",
                                                                          "Electric Piano 1",
                                                                          "Electric Piano 2",
                                                                          "Harpsichord",
                                                                          "Clavinet",
                                                                          "Celesta",
                                                                          "Glockenspiel",
                                                                          "Music Box",
                                                                          "Vibraphone",
                                                                          "Marimba",
                                                                          "Xylophone",
                                                                          "Tubular Bells",
                                                                          "Dulcimer",
                                                                          "Drawbar Organ",
                                                                          "Percussive Organ",
                                                                          "Rock Organ",
                                                                          "Church Organ",
                                                                          "Reed Organ",
                                                                          "Accordian",
                                                                          "Harmonica",
                                                                          "Tango Accordian",
                                                                          "Nylon Str Guitar",
                                                                          "Steel Str Guitar",
                                                                          "Elec Jazz Guitar",
                                                                          "Elec Cln Guitar",
                                                                          "Elec Mute Guitar",
                                                                          "Overdrive Guitar",
                                                                          "Distortn Guitar",
                                                                          "Guitar Harmonics",
                                                                          "Acoustic Bass",
                                                                          "Elec Bass-finger",
                                                                          "Elec Bass-pick",
                                                                          "Fretless Bass",
                                                                          "Slap Bass 1",
                                                                          "Slap Bass 2",
                                                                          "Synth Bass 1",
                                                                          "Synth Bass 2",
                                                                          "Violin",
                                                                          "Viola",
                                                                          "Cello",
                                                                          "Contrabass",
                                                                          "Tremolo Strings",
                                                                          "Pizz Strings",
                                                                          "Orchestral Harp",
                                                                          "Timpani",
                                                                          "String Ens 1",
                                                                          "String Ens 2",
                                                                          "SynthStrings 1",
                                                                          "SynthStrings 2",
                                                                          "Choir Aahs",
                                                                          "Voice Oohs",
                                                                          "Synth Voice",
                                                                          "Orchestra Hit",
                                                                          "Trumpet",
                                                                          "Trombone",
                                                                          "Tuba",
                                                                          "Muted Trumpet",
                                                                          "French Horn",
                                                                          "Brass Section",
                                                                          "SynthBrass 1",
                                                                          "SynthBrass 2",
                                                                          "Soprano Sax",
                                                                          "Alto Sax",
                                                                          "Tenor Sax",
                                                                          "Baritone Sax",
                                                                          "Oboe",
                                                                          "English Horn",
                                                                          "Bassoon",
                                                                          "Clarinet",
                                                                          "Piccolo",
                                                                          "Flute",
                                                                          "Recorder",
                                                                          "Pan Flute",
                                                                          "Blown Bottle",
                                                                          "Skakuhachi",
                                                                          "Whistle",
                                                                          "Ocarina",
                                                                          "Lead1(square)",
                                                                          "Lead2(sawtooth)",
                                                                          "Lead3(calliope)",
                                                                          "Lead4(chiff)",
                                                                          "Lead5(charang)",
                                                                          "Lead6(voice)",
                                                                          "Lead7(fifths)",
                                                                          "Lead8(bass+lead)",
                                                                          "Pad 1(new age)",
                                                                          "Pad 2(warm)",
                                                                          "Pad 3(polysynth)",
                                                                          "Pad 4(choir)",
                                                                          "Pad 5(bowed)",
                                                                          "Pad 6(metallic)",
                                                                          "Pad 7(halo)",
                                                                          "Pad 8(sweep)",
                                                                          "FX 1(rain)",
                                                                          "FX 2(soundtrack)",
                                                                          "FX 3(crystal)",
                                                                          "FX 4(atmosphere)",
                                                                          "FX 5(brightness)",
                                                                          "FX 6(goblins)",
                                                                          "FX 7(echoes)",
                                                                          "FX 8(sci-fi)",
                                                                          "Sitar",
                                                                          "Banjo",
                                                                          "Shamisen",
                                                                          "Koto",
                                                                          "Kalimba",
                                                                          "Bagpipe",
                                                                          "Fiddle",
                                                                          "Shanai",
                                                                          "Tinkle Bell",
                                                                          "Agogo",
                                                                          "Steel Drums",
                                                                          "Woodblock",
                                                                          "Taiko Drum",
                                                                          "Melodic Tom",
                                                                          "Synth Drum",
                                                                          "Reverse Cymbal",
                                                                          "Guit Fret Noise",
                                                                          "Breath Noise",
                                                                          "Seashore",
                                                                          "Bird Tweet",
                                                                          "Telephone Ring",
                                                                          "Helicopter",
                                                                          "Applause",
                                                                          "Gunshot"};

} // namespace corvex::event_names
