#pragma once
// The mail reader's view of its source: a private copy of the bytes read as
// lines broken at CR LF, LF or CR. Lines have any length, and a last line
// without a line break is returned too.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

class TLineStream {
public:
    explicit TLineStream(std::string source) : source_(std::move(source)) {}

    // The next line; false (and Eof) once every line has been read.
    bool ReadLine(std::string& line);
    bool Eof() const { return position_ >= source_.size(); }
    void Restart() { position_ = 0; }

    // Where the next line starts, to come back to it.
    std::size_t Position() const { return position_; }
    void Seek(std::size_t position) { position_ = position < source_.size() ? position : source_.size(); }

    const std::string& Source() const { return source_; }

private:
    std::string source_;
    std::size_t position_ = 0;
};
