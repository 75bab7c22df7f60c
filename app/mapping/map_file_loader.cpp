#include "mapping/map_file_loader.h"

#include "mapping/ascii_map_file.h"
#include "mapping/binary_map_file.h"
#include "mapping/printf_text.h"
#include "mapping/text_compare.h"

namespace corvex {

namespace {

bool hasExtension(const std::string& path, std::string_view extension) {
    return path.size() >= extension.size() &&
           equalsIgnoringCase(std::string_view(path).substr(path.size() - extension.size()),
                              extension);
}

MapFileResult probe(DataMap& map, const std::string& path, bool append, bool quiet) {
    MapFileResult binary = readBinaryMap(map, path, append, true);
    if (binary.ok) {
        return binary;
    }
    MapFileResult ascii = readAsciiMap(map, path, append, true);
    if (ascii.ok) {
        return ascii;
    }
    if (!binary.message.empty()) {
        ascii.message = binary.message;
    }
    if (!quiet) {
        std::string unknown = printfText("Unknown Map file type: '%s'", path.c_str());
        ascii.message = ascii.message.empty() ? unknown : ascii.message + "\n" + unknown;
    }
    return ascii;
}

} // namespace

MapFileResult loadMapFile(DataMap& map, const std::string& path, MapFileFormat format, bool append,
                          bool quiet) {
    if (format == MapFileFormat::ByExtension) {
        if (hasExtension(path, ".vxm")) {
            format = MapFileFormat::Binary;
        } else if (hasExtension(path, ".txm")) {
            format = MapFileFormat::Ascii;
        } else {
            return probe(map, path, append, quiet);
        }
    }
    return format == MapFileFormat::Binary ? readBinaryMap(map, path, append, quiet)
                                           : readAsciiMap(map, path, append, quiet);
}

} // namespace corvex
