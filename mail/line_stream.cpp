#include "mail/line_stream.h"

#include <cstring>

void TLineStream::Seek(std::size_t position)
{
    position_ = position < source_.size() ? position : source_.size();
    nextLineFeed_ = position_;  // looked up again at the next read
}

bool TLineStream::ReadLine(std::string_view& line)
{
    if (Eof())
        return false;
    const char* begin = source_.data() + position_;
    if (nextLineFeed_ < position_ || (nextLineFeed_ == position_ && source_[position_] != '\n')) {
        const void* lineFeed = std::memchr(begin, '\n', source_.size() - position_);
        nextLineFeed_ = lineFeed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lineFeed) - source_.data())
                                            : source_.size();
    }
    // A CR before that LF ends the line sooner.
    const std::size_t toLineFeed = nextLineFeed_ - position_;
    const void* carriageReturn = std::memchr(begin, '\r', toLineFeed);
    const std::size_t length =
        carriageReturn != nullptr ? static_cast<std::size_t>(static_cast<const char*>(carriageReturn) - begin)
                                  : toLineFeed;
    line = source_.substr(position_, length);
    std::size_t next = position_ + length;
    if (next < source_.size()) {
        const bool crLf = source_[next] == '\r' && next + 1 < source_.size() && source_[next + 1] == '\n';
        next += crLf ? 2 : 1;
    }
    position_ = next;
    return true;
}

std::size_t TLineStream::BytesBefore(std::string_view text) const
{
    const std::size_t left = source_.size() - position_;
    if (text.empty())
        return 0;
    const char* start = source_.data() + position_;
    const char* end = source_.data() + source_.size();
    // A delimiter's first character seldom occurs in coded content, and
    // looking for it alone is many times quicker than a general search;
    // that search takes over where it occurs often, so no text is slow.
    const char* from = start;
    for (int misses = 0; misses < 64; ++misses) {
        const void* first = std::memchr(from, text.front(), static_cast<std::size_t>(end - from));
        if (first == nullptr)
            return left;
        from = static_cast<const char*>(first);
        if (static_cast<std::size_t>(end - from) < text.size())
            return left;
        if (std::memcmp(from, text.data(), text.size()) == 0)
            return static_cast<std::size_t>(from - start);
        ++from;
    }
    const void* found = ::memmem(from, static_cast<std::size_t>(end - from), text.data(), text.size());
    return found == nullptr ? left : static_cast<std::size_t>(static_cast<const char*>(found) - start);
}
