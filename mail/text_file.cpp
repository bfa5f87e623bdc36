#include "mail/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "mail/mail_error.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void fail(const std::string& path, int error)
{
    throw mail::EInOutError("Cannot write file \"" + path + "\". " + std::strerror(error));
}

}  // namespace

void SaveListToFile(const std::vector<std::string>& list, const std::string& path)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        fail(path, errno);
    for (const std::string& line : list) {
        if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size() ||
            std::fwrite("\r\n", 1, 2, file.get()) != 2)
            fail(path, errno);
    }
    // Closing flushes; a full disk shows up here.
    std::FILE* raw = file.release();
    if (std::fclose(raw) != 0)
        fail(path, errno);
}
