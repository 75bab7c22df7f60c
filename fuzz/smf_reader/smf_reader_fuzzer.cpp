// Any bytes as a MIDI file: the reader either refuses them with an SmfError or reads them,
// and whatever it reads turns into a play list whose events are in time order and whose
// bytes lie inside its pool.
#include "smf/play_list.h"
#include "smf/smf_reader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    corvex::smf::MidiFile file;
    try {
        file = corvex::smf::readMidiFile({data, size});
    } catch (const corvex::smf::SmfError&) {
        return 0;
    }
    for (const auto& track : file.tracks) {
        for (const auto& event : track.events) {
            if (size_t{event.offset} + event.length > file.pool.size()) {
                std::abort();
            }
        }
    }
    auto list = corvex::smf::PlayList::fromFile(file);
    int64_t previous = 0;
    for (const auto& event : list.events()) {
        if (event.timeMicroseconds < previous || event.length == 0 ||
            event.timeMicroseconds > list.lengthMicroseconds()) {
            std::abort();
        }
        previous = event.timeMicroseconds;
        (void)list.bytes(event);
    }
    return 0;
}
