#pragma once
// The mail reader's view of its source, read as lines broken at CR LF, LF or
// CR. Lines have any length, and a last line without a line break is
// returned too. The stream reads the caller's bytes in place: they must stay
// unchanged while it is in use.

#include <cstddef>
#include <string>
#include <string_view>

class TLineStream {
public:
    explicit TLineStream(std::string_view source) : source_(source) {}
    // A temporary would be gone before the first line is read.
    explicit TLineStream(std::string&&) = delete;

    // The next line, a view into the source; false (and Eof) once every
    // line has been read.
    bool ReadLine(std::string_view& line);
    bool Eof() const { return position_ >= source_.size(); }
    void Restart() { Seek(0); }

    // Where the next line starts, to come back to it.
    std::size_t Position() const { return position_; }
    void Seek(std::size_t position);

    std::string_view Source() const { return source_; }
    // How many bytes follow the position before the text (all that follow
    // when it does not occur): room to make for what is read up to it.
    std::size_t BytesBefore(std::string_view text) const;

private:
    std::string_view source_;
    std::size_t position_ = 0;
    // The next LF at or after position_ (size when none): text with CR
    // breaks only must not be searched to its end for every line.
    std::size_t nextLineFeed_ = 0;
};
