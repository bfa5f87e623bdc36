#pragma once
// Byte-order helpers for the index file: headers and leaf pages are
// little-endian, record numbers and child pointers in interior pages
// big-endian.

#include <cstdint>

namespace xbase::cdx {

inline uint32_t readLe32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t readLe16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t readBe32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
inline void writeLe32(unsigned char* p, uint32_t v) {
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}
inline void writeLe16(unsigned char* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void writeBe32(unsigned char* p, uint32_t v) {
    p[0] = uint8_t(v >> 24); p[1] = uint8_t(v >> 16); p[2] = uint8_t(v >> 8); p[3] = uint8_t(v);
}

}  // namespace xbase::cdx
