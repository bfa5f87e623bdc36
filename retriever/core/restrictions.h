#pragma once
// An account's restrictions: which waiting messages to fetch and which to
// delete from the server. Rows are read once per poll and checked before
// the session opens, so a bad row stops that account only, with nothing
// left open on the server.

#include <string>
#include <vector>

class TTable;
class TmsRemoteInfoItem;

namespace retriever {

// One row of the restrictions table as the retriever applies it.
struct Restriction {
    std::string rule;       // name, for the log
    char cond = ' ';        // 'A' all, 'C' contains, 'L' longer than, 'G' greater than (upper case)
    std::string condVal1;   // header name for C and L
    std::string condVal2;   // text for C
    long long limit = 0;    // the number of CONDVAL2 for L and G
    bool fetch = false;     // ACT1 "Y"
    bool remove = false;    // ACT2 "Y"
};

// The rows of the rules table as it stands (the current account's rows, in
// index order). A non-numeric CONDVAL2 in an "L" or "G" row raises
// ConversionError.
std::vector<Restriction> ReadRestrictions(TTable& rules);

// What the rows decide for one message.
struct RestrictionOutcome {
    bool fetch = false;
    bool remove = false;
    std::vector<std::string> activated;  // names of the rows that matched, in order
};

// Applies the rows in order: an "A" row adds its marks, a matching "C", "L"
// or "G" row replaces them, so the last of those decides.
RestrictionOutcome ApplyRestrictions(const std::vector<Restriction>& rows, const TmsRemoteInfoItem& message);

}  // namespace retriever
