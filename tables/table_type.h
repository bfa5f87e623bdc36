#pragma once
// The table class's table types, the driver names handed to OpenTable and
// which tables count as xBase tables.

#include <string>
#include <string_view>

enum TTableType { ttDefault, ttParadox, ttDBase, ttASCII, ttSXNTX, ttSXFOX, ttSXNSX };

namespace tables {

// Engine drivers as the work areas know them.
inline constexpr int kDriverNTX = 1;
inline constexpr int kDriverFOX = 2;
inline constexpr int kDriverNSX = 3;

// "PARADOX", "DBASE", "ASCIIDRV", "SXNTX", "SXFOX", "SXNSX".
std::string driverNameOf(TTableType type);
// ttDefault takes its type from the extension: ".DBF" FOX, ".TXT" ASCII.
TTableType effectiveTableType(TTableType type, std::string_view tableName);
bool isEngineType(TTableType type);
bool isXbaseTable(TTableType type, std::string_view tableName);
// Driver code for a driver name; unknown names open with the FOX driver.
int driverCodeOf(std::string_view driverName);
// Driver chosen from the first byte of a table file when no name is given.
int driverFromSignature(unsigned char firstByte, bool hasNsx, bool hasCdx);
std::string_view driverNameOfCode(int driver);
// ".NTX", ".IDX" or ".NSX": the index file extension of an engine type.
std::string indexExtensionOf(TTableType type);

}  // namespace tables
