#pragma once
// What the restriction windows hold and the row of the restrictions table
// it stands for, both ways, in one place: contains "C", longer than "L",
// greater than "G" (the size in kilobytes followed by "000") and all "A";
// the two YES/NO choices as "Y"/"N". Rows read back compare as the
// retriever reads them (trimmed, any case).

#include <string>

#include "store/restriction_row.h"

namespace manager {

enum RestrictionCondition { kNoCondition = -1, kContains = 0, kLongerThan = 1, kGreaterThan = 2, kAllMessages = 3 };

struct RestrictionChoice {
    int condition = kNoCondition;  // position in the condition list
    std::string field;             // cmbField
    std::string value;             // edtValue
    std::string lengthField;       // cmbSField
    std::string length;            // edtSValue, characters
    std::string kilobytes;         // edtNumber
    bool retrieve = true;          // cmbAction1 "YES"
    bool remove = true;            // cmbAction2 "YES"
    std::string name;              // edtName
    bool operator==(const RestrictionChoice&) const = default;
};

// Throws ManagerError when the retriever could not apply the row: a length
// or size that is not a whole number of 0 or more, or a name longer than
// the RULE field.
void CheckChoice(const RestrictionChoice& choice);
// The number half of that check: the chosen condition's length or size.
void CheckConditionNumber(const RestrictionChoice& choice);

// A new row from the windows (checked first).
store::RestrictionRow RowFromChoice(const RestrictionChoice& choice, const std::string& uniqueId,
                                    const std::string& linkId);
// An edited row: "All messages" keeps the condition values read, no
// condition keeps the condition and its values; the identifiers stay.
void ApplyChoice(store::RestrictionRow& row, const RestrictionChoice& choice);
// What the properties window shows for a row.
RestrictionChoice ChoiceFromRow(const store::RestrictionRow& row);

}  // namespace manager
