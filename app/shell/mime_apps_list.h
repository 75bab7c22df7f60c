// The user's default applications for file types, as the desktop keeps them in
// `mimeapps.list`: groups such as "[Default Applications]" holding "type=a.desktop;b.desktop;".
// The editor changes one key at a time and keeps every other line (comments, other groups,
// their order) as it was. Plain C++; callable from any thread on its own object.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvex {

class MimeAppsList {
public:
    // Reads the text of a mimeapps.list. Lines that are neither blank, a comment, a
    // "[group]" nor "key=value" make the list damaged; they are dropped from what text()
    // gives back, everything else is kept.
    explicit MimeAppsList(std::string_view text);

    // The first line that could not be read (1-based); 0 when the whole text was read.
    int damagedLine() const { return damagedLine_; }

    // The value of `mimeType` in "[Default Applications]", as written (a list of desktop
    // ids separated by ';'); nothing when the key is absent.
    std::optional<std::string> defaultFor(std::string_view mimeType) const;
    // The same for any group, e.g. "[MIME Cache]" of the desktop's mimeinfo.cache.
    std::optional<std::string> valueIn(std::string_view group, std::string_view key) const;

    // Sets the default (creating the group when it is missing) or removes the key.
    void setDefault(std::string_view mimeType, std::string_view value);
    void removeDefault(std::string_view mimeType);

    std::string text() const;

private:
    // The index of the group's header line, or lines_.size() when absent.
    size_t groupStart(std::string_view group) const;
    // The index of `key`'s line in that group, or nothing.
    std::optional<size_t> keyLine(std::string_view group, std::string_view key) const;

    std::vector<std::string> lines_;
    int damagedLine_ = 0;
};

// The first desktop id of a default's value ("a.desktop;b.desktop;" gives "a.desktop").
std::string firstDesktopId(std::string_view value);

} // namespace corvex
