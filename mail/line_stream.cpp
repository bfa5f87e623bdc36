#include "mail/line_stream.h"

bool TLineStream::ReadLine(std::string& line)
{
    if (Eof())
        return false;
    const std::size_t end = source_.find_first_of("\r\n", position_);
    if (end == std::string::npos) {
        line.assign(source_, position_, std::string::npos);
        position_ = source_.size();
        return true;
    }
    line.assign(source_, position_, end - position_);
    position_ = end + 1;
    if (source_[end] == '\r' && position_ < source_.size() && source_[position_] == '\n')
        ++position_;
    return true;
}
