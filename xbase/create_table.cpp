#include "xbase/create_table.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "xbase/engine_errors.h"
#include "xbase/engine_settings.h"
#include "xbase/error.h"
#include "xbase/file_names.h"
#include "xbase/fpt_file.h"

namespace xbase {

namespace {

void putLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

void createTable(const std::string& path, const std::vector<FieldDef>& fields, int memoBlockSize) {
    if (memoBlockSize <= 0) memoBlockSize = settings().memoBlockSize;
    if (fields.empty() || fields.size() > 255) throw XbaseError(kErrArgument, "a table needs 1 to 255 fields");
    const std::size_t headerLength = 32 + 32 * fields.size() + 2;
    std::string h(headerLength, '\0');
    int recordLength = 1;
    bool memo = false;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        if (f.name.empty() || f.name.size() > 10 || f.width < 1 || f.width > 254) {
            throw XbaseError(kErrArgument, "bad field definition: " + f.name);
        }
        char* d = h.data() + 32 + 32 * i;
        std::memcpy(d, upperCase(f.name).data(), f.name.size());
        d[11] = f.type;
        putLe32(reinterpret_cast<unsigned char*>(d + 12), static_cast<uint32_t>(recordLength));
        d[16] = static_cast<char>(f.width);
        d[17] = static_cast<char>(f.decimals);
        recordLength += f.width;
        memo = memo || f.type == 'M';
    }
    auto* u = reinterpret_cast<unsigned char*>(h.data());
    u[0] = memo ? 0xF5 : 0x03;
    std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_r(&now, &tm);
    u[1] = static_cast<unsigned char>(tm.tm_year);
    u[2] = static_cast<unsigned char>(tm.tm_mon + 1);
    u[3] = static_cast<unsigned char>(tm.tm_mday);
    u[8] = static_cast<unsigned char>(headerLength & 0xFF);
    u[9] = static_cast<unsigned char>(headerLength >> 8);
    u[10] = static_cast<unsigned char>(recordLength & 0xFF);
    u[11] = static_cast<unsigned char>(recordLength >> 8);
    u[29] = 0x03;
    h[headerLength - 2] = '\x0D';
    h += '\x1A';
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) throw XbaseError(kErrOpen, "cannot create " + path + ": " + std::strerror(errno));
    const bool ok = ::write(fd, h.data(), h.size()) == static_cast<ssize_t>(h.size());
    ::close(fd);
    if (!ok) throw XbaseError(kErrIo, "cannot write " + path);
    if (memo) {
        FptFile::create(siblingPath(path, ".fpt"), memoBlockSize);
    }
}

}  // namespace xbase
