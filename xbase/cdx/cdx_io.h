#pragma once
// Whole-buffer reads and writes at an offset, retried on interruption;
// failures raise the index's I/O error naming `path`.

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace xbase::cdx {

void writeAll(int fd, const unsigned char* data, size_t n, off_t at, const std::string& path);
// The same for pages that follow one another in the file from `at`, in one
// call where the system allows (every call costs far more than the copy).
void writeRun(int fd, const unsigned char* const* pages, size_t count, size_t pageSize, off_t at,
              const std::string& path);
// Gives the bytes read: fewer than n only at the end of the file.
size_t readUpTo(int fd, unsigned char* data, size_t n, off_t at, const std::string& path);

}  // namespace xbase::cdx
