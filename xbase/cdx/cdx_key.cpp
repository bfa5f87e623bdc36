// Key encodings. Numbers are stored as their IEEE double in big-endian
// order, with the sign bit set for non-negative values and every bit
// inverted for negative ones, so that comparing the bytes compares the
// numbers.

#include <algorithm>
#include <bit>
#include <cstring>

#include "xbase/cdx/cdx_errors.h"
#include "xbase/cdx/cdx_index.h"

namespace xbase {

std::string encodeNumberKey(double d) {
    if (d == 0) d = 0;   // -0 sorts with 0
    uint64_t bits = std::bit_cast<uint64_t>(d);
    bits = (bits & (uint64_t(1) << 63)) ? ~bits : bits | (uint64_t(1) << 63);
    std::string out(8, '\0');
    for (int i = 7; i >= 0; --i, bits >>= 8) out[size_t(i)] = static_cast<char>(bits & 0xFF);
    return out;
}

double decodeNumberKey(std::string_view key) {
    if (key.size() != 8) cdx::throwBadArgument("A numeric index key must be 8 bytes long");
    uint64_t bits = 0;
    for (unsigned char c : key) bits = bits << 8 | c;
    bits = (bits & (uint64_t(1) << 63)) ? bits & ~(uint64_t(1) << 63) : ~bits;
    return std::bit_cast<double>(bits);
}

std::string encodeKey(const Value& v, const CdxTagSpec& tag) {
    switch (v.type) {
    case ValueType::Numeric:
        return encodeNumberKey(v.number);
    case ValueType::Date:
        return encodeNumberKey(double(v.julian));
    case ValueType::Logical:
        return std::string(1, v.logical ? 'T' : 'F').append(tag.keyLength > 1 ? size_t(tag.keyLength - 1) : 0, ' ');
    case ValueType::Character:
        break;
    }
    std::string key = v.text.substr(0, size_t(std::max(tag.keyLength, 0)));
    key.resize(size_t(std::max(tag.keyLength, 0)), ' ');
    return key;
}

}  // namespace xbase
