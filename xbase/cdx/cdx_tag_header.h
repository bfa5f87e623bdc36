#pragma once
// The 1024-byte header in front of every tag's B-tree (the file's own
// header is the same record, describing the tree of tag names).

#include <cstdint>
#include <string>

#include "xbase/cdx/cdx_node.h"

namespace xbase::cdx {

constexpr uint32_t kHeaderSize = 1024;
constexpr uint8_t kOptUnique = 0x01;
constexpr uint8_t kOptFor = 0x08;
constexpr uint8_t kOptCompact = 0x20;
constexpr uint8_t kOptCompound = 0x40;
constexpr uint8_t kOptStructure = 0x80;   // seen on the tag directory's header

struct TagHeader {
    uint32_t root = 0;
    uint32_t freeList = 0;        // file-wide free page list; used in the file header only
    uint32_t changeCounter = 0;   // a reserved field other readers ignore; file header only
    int keyLength = 10;
    uint8_t options = kOptCompact | kOptCompound;
    bool descending = false;
    std::string keyExpression;
    std::string forExpression;
};

// Reads the two pages of a header. Throws a corrupt-file error naming `path`.
TagHeader decodeTagHeader(const Page& first, const Page& second, uint32_t offset, const std::string& path);
void encodeTagHeader(const TagHeader& h, Page& first, Page& second);

}  // namespace xbase::cdx
