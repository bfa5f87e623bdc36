#include "xbase/cdx/cdx_errors.h"

#include <cerrno>
#include <cstring>

namespace xbase::cdx {

void throwIo(const std::string& path, const std::string& what) {
    const int err = errno;
    throw XbaseError(kIoError, "Index file " + path + ": " + what + " (" + std::strerror(err) + ")",
                     systemFault(path, err));
}

void throwCorrupt(const std::string& path, const std::string& what) {
    throw XbaseError(kCorrupt, "Index file " + path + " is corrupt: " + what, FileFault{path, "index damaged: " + what});
}

void throwBadArgument(const std::string& what) { throw XbaseError(kBadArgument, what); }

}  // namespace xbase::cdx
