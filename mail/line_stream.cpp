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
    const void* found = ::memmem(source_.data() + position_, left, text.data(), text.size());
    return found == nullptr ? left : static_cast<std::size_t>(static_cast<const char*>(found) - source_.data()) - position_;
}
