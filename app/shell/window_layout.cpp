#include "shell/window_layout.h"

#include <algorithm>

namespace corvex {
namespace {

bool listed(const std::vector<ChildKind>& kinds, ChildKind kind) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

} // namespace

std::vector<ChildKind> decodeLayout(uint32_t value) {
    const int count = std::min<int>(static_cast<int>(value & 0xFu), kMaxLayoutEntries);
    std::vector<ChildKind> kinds;
    for (int entry = 1; entry <= count; ++entry) {
        const uint32_t code = (value >> (4 * entry)) & 0xFu;
        if (code >= static_cast<uint32_t>(kChildKindCount)) {
            continue;
        }
        const auto kind = static_cast<ChildKind>(code);
        if (!listed(kinds, kind)) {
            kinds.push_back(kind);
        }
    }
    return kinds;
}

uint32_t encodeLayout(const std::vector<ChildKind>& bottomFirst) {
    std::vector<ChildKind> kept;
    for (const ChildKind kind : bottomFirst) {
        if (kept.size() < static_cast<size_t>(kMaxLayoutEntries) && !listed(kept, kind)) {
            kept.push_back(kind);
        }
    }
    uint32_t value = static_cast<uint32_t>(kept.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        value |= static_cast<uint32_t>(kept[i]) << (4 * (i + 1));
    }
    return value;
}

} // namespace corvex
