#include "reset_messages.h"

#include "command_ids.h"

namespace corvex {
namespace {

constexpr uint8_t kGeneralMidiOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
constexpr uint8_t kGsReset[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
constexpr uint8_t kXgOn[] = {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};

} // namespace

std::span<const uint8_t> resetMessageFor(int id) {
    switch (id) {
    case cmd::kGmOn:
        return kGeneralMidiOn;
    case cmd::kGsOn:
        return kGsReset;
    case cmd::kXgOn:
        return kXgOn;
    default:
        return {};
    }
}

} // namespace corvex
