#include "xbase/cdx/cdx_tag_header.h"

#include <algorithm>
#include <cstring>

#include "xbase/cdx/cdx_bytes.h"
#include "xbase/cdx/cdx_errors.h"

namespace xbase::cdx {
namespace {

constexpr size_t kPoolSize = 512;

std::string poolText(const Page& pool, size_t start, size_t length) {
    if (start >= kPoolSize || length == 0) return {};
    length = std::min(length, kPoolSize - start);
    const char* s = reinterpret_cast<const char*>(&pool[start]);
    return std::string(s, strnlen(s, length));
}

}  // namespace

TagHeader decodeTagHeader(const Page& p, const Page& pool, uint32_t offset, const std::string& path) {
    TagHeader h;
    h.root = readLe32(&p[0]);
    h.freeList = readLe32(&p[4]);
    h.changeCounter = readLe32(&p[8]);
    h.keyLength = readLe16(&p[12]);
    h.options = p[14];
    h.descending = readLe16(&p[502]) != 0;
    const size_t forLength = readLe16(&p[506]);
    const size_t keyLength = readLe16(&p[510]);
    const std::string where = "tag header at " + std::to_string(offset);
    if (h.keyLength < 1 || h.keyLength > kMaxKeyLength)
        throwCorrupt(path, where + " has an impossible key length " + std::to_string(h.keyLength));
    if (h.root == 0 || h.root == kNoPage || h.root % kPageSize != 0)
        throwCorrupt(path, where + " has an invalid root page " + std::to_string(h.root));
    h.keyExpression = poolText(pool, 0, keyLength);
    // The condition follows the key expression and its terminating zero.
    if (h.options & kOptFor) h.forExpression = poolText(pool, keyLength, forLength);
    return h;
}

void encodeTagHeader(const TagHeader& h, Page& p, Page& pool) {
    p.fill(0);
    pool.fill(0);
    writeLe32(&p[0], h.root);
    writeLe32(&p[4], h.freeList);
    writeLe32(&p[8], h.changeCounter);
    writeLe16(&p[12], uint16_t(h.keyLength));
    p[14] = h.options;
    p[15] = 1;   // signature
    // Header and page sizes, as other writers record them here.
    writeLe16(&p[16], uint16_t(kHeaderSize));
    writeLe16(&p[18], uint16_t(kPageSize));
    writeLe16(&p[502], h.descending ? 1 : 0);
    const size_t keyLen = std::min(h.keyExpression.size(), kPoolSize - 2);
    const size_t forLen = std::min(h.forExpression.size(), kPoolSize - keyLen - 2);
    std::memcpy(&pool[0], h.keyExpression.data(), keyLen);
    std::memcpy(&pool[keyLen + 1], h.forExpression.data(), forLen);
    writeLe16(&p[504], uint16_t(keyLen + 1));
    writeLe16(&p[506], uint16_t(forLen + 1));
    writeLe16(&p[510], uint16_t(keyLen + 1));
}

}  // namespace xbase::cdx
