#include "tables/table_type.h"

#include "tables/text_util.h"

namespace tables {

std::string driverNameOf(TTableType type) {
    switch (type) {
    case ttDBase: return "DBASE";
    case ttASCII: return "ASCIIDRV";
    case ttSXNTX: return "SXNTX";
    case ttSXFOX: return "SXFOX";
    case ttSXNSX: return "SXNSX";
    case ttDefault:
    case ttParadox: break;
    }
    return "PARADOX";
}

TTableType effectiveTableType(TTableType type, std::string_view tableName) {
    if (type != ttDefault) return type;
    std::string ext = upperCase(extensionOf(tableName));
    if (ext == ".DBF") return ttSXFOX;
    if (ext == ".TXT") return ttASCII;
    return ttDefault;
}

bool isEngineType(TTableType type) {
    return type == ttSXNTX || type == ttSXFOX || type == ttSXNSX;
}

bool isXbaseTable(TTableType type, std::string_view tableName) {
    return type == ttDBase || isEngineType(type) || upperCase(extensionOf(tableName)) == ".DBF";
}

int driverCodeOf(std::string_view driverName) {
    std::string name = upperCase(driverName);
    if (name == "SXNTX") return kDriverNTX;
    if (name == "SXNSX") return kDriverNSX;
    return kDriverFOX;
}

int driverFromSignature(unsigned char firstByte, bool hasNsx, bool hasCdx) {
    switch (firstByte) {
    case 0x03:
    case 0x06:
        if (hasCdx) return kDriverFOX;
        return hasNsx ? kDriverNSX : kDriverFOX;
    case 0x83:
    case 0x86: return kDriverNTX;
    case 0xE5:
    case 0xE6: return kDriverNSX;
    default: return kDriverFOX;
    }
}

std::string_view driverNameOfCode(int driver) {
    switch (driver) {
    case kDriverNTX: return "SXNTX";
    case kDriverNSX: return "SXNSX";
    default: return "SXFOX";
    }
}

std::string indexExtensionOf(TTableType type) {
    switch (type) {
    case ttSXNTX: return ".NTX";
    case ttSXNSX: return ".NSX";
    default: return ".IDX";
    }
}

}  // namespace tables
