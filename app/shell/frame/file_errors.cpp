#include "file_errors.h"

#include "string_table.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace corvex {

std::string fileOpenError(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    const int error = errno;
    return std::string(loadString(str::kOpenFileFailed)) + ": " + std::strerror(error) + "\n'" +
           path + "'";
}

} // namespace corvex
