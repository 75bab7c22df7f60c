#include "platform/backend_registry.h"

#include "platform/backend_factories.h"

#include <cctype>

namespace cvx::platform {

namespace {

// One entry per backend, in device order. The ALSA and JACK entries are added by their
// area: {"alsa", makeAlsaBackend}, {"jack", makeJackBackend}.
const BackendEntry kBackends[] = {
    {"virtual", makeVirtualBackend},
    {"alsa", makeAlsaBackend},
    {"jack", makeJackBackend},
};

constexpr const char* kDefaultSelection = "virtual,alsa,jack";

std::string lowerTrimmed(const std::string& word) {
    size_t begin = 0;
    size_t end = word.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(word[begin])) != 0) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(word[end - 1])) != 0) {
        --end;
    }
    std::string out;
    for (size_t i = begin; i < end; ++i) {
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(word[i])));
    }
    return out;
}

bool selected(const std::string& list, const char* name) {
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) {
            comma = list.size();
        }
        if (lowerTrimmed(list.substr(start, comma - start)) == name) {
            return true;
        }
        start = comma + 1;
    }
    return false;
}

} // namespace

std::span<const BackendEntry> backendRegistry() {
    return kBackends;
}

std::vector<std::unique_ptr<MidiBackend>> makeSelectedBackends(const char* selection) {
    std::string list = selection != nullptr && *selection != '\0' ? selection : kDefaultSelection;
    std::vector<std::unique_ptr<MidiBackend>> backends;
    for (const BackendEntry& entry : backendRegistry()) {
        if (selected(list, entry.name)) {
            if (auto backend = entry.make()) {
                backends.push_back(std::move(backend));
            }
        }
    }
    return backends;
}

} // namespace cvx::platform
