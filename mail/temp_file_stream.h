#pragma once
// A read-write stream over a fresh temporary file ("ms" prefix, in $TMPDIR or
// /tmp) that deletes its file when the stream goes.

#include <fstream>
#include <string>

class TTempFileStream : public std::fstream {
public:
    // Throws mail::EFCreateError when the file cannot be made; no file is left.
    TTempFileStream();
    // Closes and deletes the file; a failed delete is ignored.
    ~TTempFileStream() override;

    TTempFileStream(const TTempFileStream&) = delete;
    TTempFileStream& operator=(const TTempFileStream&) = delete;

    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
};
