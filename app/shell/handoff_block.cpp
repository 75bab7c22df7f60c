#include "shell/handoff_block.h"

#include <algorithm>
#include <cstring>

namespace corvex {
namespace {

constexpr size_t kMapVerbOffset = 0;
constexpr size_t kSysexVerbOffset = 4;
constexpr size_t kMapPathOffset = 8;
constexpr size_t kSysexPathOffset = kMapPathOffset + kHandOffPathSize;
static_assert(kSysexPathOffset + kHandOffPathSize == kHandOffBlockSize);

void putInt32(HandOffBytes& bytes, size_t offset, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
    }
}

int32_t getInt32(std::span<const uint8_t> bytes, size_t offset) {
    uint32_t bits = 0;
    for (size_t i = 0; i < 4; ++i) {
        bits |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return static_cast<int32_t>(bits);
}

bool putPath(HandOffBytes& bytes, size_t offset, const std::string& path) {
    if (path.size() > kHandOffMaxPathLength || path.find('\0') != std::string::npos) {
        return false;
    }
    std::copy(path.begin(), path.end(), bytes.begin() + static_cast<ptrdiff_t>(offset));
    return true;
}

std::optional<std::string> getPath(std::span<const uint8_t> bytes, size_t offset) {
    const auto field = bytes.subspan(offset, kHandOffPathSize);
    const auto end = std::find(field.begin(), field.end(), uint8_t{0});
    if (end == field.end()) {
        return std::nullopt;
    }
    return std::string(field.begin(), end);
}

std::optional<FileVerb> verbOf(int32_t value) {
    if (value < 0 || value > static_cast<int32_t>(FileVerb::Send)) {
        return std::nullopt;
    }
    return static_cast<FileVerb>(value);
}

// A file is handed over only with both a verb and a path.
void normalise(FileVerb& verb, std::string& path) {
    if (verb == FileVerb::None || path.empty()) {
        verb = FileVerb::None;
        path.clear();
    }
}

} // namespace

HandOff handOffOf(const CommandLine& line) {
    HandOff handOff{line.mapVerb, line.mapPath, line.sysexVerb, line.sysexPath};
    normalise(handOff.mapVerb, handOff.mapPath);
    normalise(handOff.sysexVerb, handOff.sysexPath);
    return handOff;
}

std::optional<HandOffBytes> encodeHandOff(const HandOff& handOff) {
    HandOffBytes bytes{};
    putInt32(bytes, kMapVerbOffset, static_cast<int32_t>(handOff.mapVerb));
    putInt32(bytes, kSysexVerbOffset, static_cast<int32_t>(handOff.sysexVerb));
    if (!putPath(bytes, kMapPathOffset, handOff.mapPath) ||
        !putPath(bytes, kSysexPathOffset, handOff.sysexPath)) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<HandOff> decodeHandOff(std::span<const uint8_t> bytes) {
    if (bytes.size() != kHandOffBlockSize) {
        return std::nullopt;
    }
    const std::optional<FileVerb> mapVerb = verbOf(getInt32(bytes, kMapVerbOffset));
    const std::optional<FileVerb> sysexVerb = verbOf(getInt32(bytes, kSysexVerbOffset));
    std::optional<std::string> mapPath = getPath(bytes, kMapPathOffset);
    std::optional<std::string> sysexPath = getPath(bytes, kSysexPathOffset);
    if (!mapVerb || !sysexVerb || !mapPath || !sysexPath) {
        return std::nullopt;
    }
    HandOff handOff{*mapVerb, std::move(*mapPath), *sysexVerb, std::move(*sysexPath)};
    normalise(handOff.mapVerb, handOff.mapPath);
    normalise(handOff.sysexVerb, handOff.sysexPath);
    return handOff;
}

} // namespace corvex
