#include "views/snapshot_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace corvex {

namespace {

constexpr uint16_t kVersion = 1;

void putU16(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

unsigned getU16(const uint8_t* in) {
    return static_cast<unsigned>(in[0] | in[1] << 8);
}

} // namespace

std::vector<uint8_t> encodeSnapshot(const StatusValues& values) {
    std::vector<uint8_t> out = {'S', 'N', 'A', 'P'};
    out.reserve(kSnapshotBytes);
    putU16(out, kVersion);
    putU16(out, kStatusChannels * kStatusItems);
    for (size_t channel = 0; channel < kStatusChannels; ++channel) {
        for (size_t item = 0; item < kStatusItems; ++item) {
            out.push_back(static_cast<uint8_t>(channel));
            out.push_back(static_cast<uint8_t>(item));
            putU16(out, static_cast<uint16_t>(values[channel][item]));
        }
    }
    return out;
}

std::variant<StatusValues, std::string> decodeSnapshot(std::span<const uint8_t> bytes) {
    if (bytes.size() < 8 || std::memcmp(bytes.data(), "SNAP", 4) != 0) {
        return std::string("This is not a status snapshot file.");
    }
    const unsigned version = getU16(&bytes[4]);
    if (version > kVersion) {
        return "The snapshot file has version " + std::to_string(version) +
               "; this program reads version 1.";
    }
    const size_t count = getU16(&bytes[6]);
    if (count > (bytes.size() - 8) / 4) {
        return "The snapshot file is damaged: it names " + std::to_string(count) +
               " entries but holds " + std::to_string((bytes.size() - 8) / 4) + ".";
    }
    StatusValues values;
    for (auto& channel : values) {
        channel.fill(-1);
    }
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = &bytes[8 + 4 * i];
        if (entry[0] < kStatusChannels && entry[1] < kStatusItems) {
            values[entry[0]][entry[1]] = static_cast<int16_t>(getU16(entry + 2));
        }
    }
    return values;
}

std::variant<StatusValues, std::string> loadSnapshotFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "Cannot open " + path + ": " + std::strerror(errno);
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return "Cannot read " + path + ".";
    }
    auto result = decodeSnapshot(bytes);
    if (auto* message = std::get_if<std::string>(&result)) {
        *message = path + ": " + *message;
    }
    return result;
}

std::string saveSnapshotFile(const std::string& path, const StatusValues& values) {
    const std::vector<uint8_t> bytes = encodeSnapshot(values);
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return "Cannot write " + path + ".";
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(temporary.c_str());
        return "Cannot write " + path + ": " + reason;
    }
    return {};
}

} // namespace corvex
