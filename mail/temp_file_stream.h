#pragma once
// A read-write stream over a fresh temporary file ("ms" prefix, in $TMPDIR or
// /tmp) that deletes its file when the stream goes. A nameless one takes the
// name away as soon as the file is open, so the file goes with the process
// however it ends, a kill included.

#include <fstream>
#include <string>

enum class TempFileName { Kept, Dropped };

class TTempFileStream : public std::fstream {
public:
    // Throws mail::EFCreateError when the file cannot be made; no file is left.
    explicit TTempFileStream(TempFileName name = TempFileName::Kept);
    // Closes and deletes the file; a failed delete is ignored.
    ~TTempFileStream() override;

    TTempFileStream(const TTempFileStream&) = delete;
    TTempFileStream& operator=(const TTempFileStream&) = delete;

    // The file's name; "" once the name is dropped.
    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
};
