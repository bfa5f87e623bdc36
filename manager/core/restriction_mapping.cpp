#include "manager/core/restriction_mapping.h"

#include "manager/core/field_limits.h"
#include "manager/core/manager_error.h"

namespace manager {

namespace {

// The byte count must stay a number the retriever reads: at most 15 digits
// of kilobytes and their "000".
constexpr std::size_t kMostDigits = 15;

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

void checkWholeNumber(const std::string& what, const std::string& text)
{
    const std::string digits = trimmed(text);
    if (digits.empty() || digits.size() > kMostDigits || digits.find_first_not_of("0123456789") != std::string::npos)
        throw ManagerError("The " + what + " \"" + text + "\" is not a whole number of 0 or more.");
}

bool yes(const std::string& flag) { return upper(trimmed(flag)) == "Y"; }

void setCondition(store::RestrictionRow& row, const RestrictionChoice& choice)
{
    switch (choice.condition) {
    case kContains:
        row.cond = "C";
        row.condVal1 = choice.field;
        row.condVal2 = choice.value;
        break;
    case kLongerThan:
        row.cond = "L";
        row.condVal1 = choice.lengthField;
        row.condVal2 = trimmed(choice.length);
        break;
    case kGreaterThan:
        row.cond = "G";
        row.condVal1.clear();
        row.condVal2 = trimmed(choice.kilobytes) + "000";
        break;
    default:
        break;
    }
}

}  // namespace

void CheckChoice(const RestrictionChoice& choice)
{
    CheckFits("restriction name", choice.name, kRuleWidth);
    CheckConditionNumber(choice);
}

void CheckConditionNumber(const RestrictionChoice& choice)
{
    if (choice.condition == kLongerThan)
        checkWholeNumber("character count", choice.length);
    if (choice.condition == kGreaterThan)
        checkWholeNumber("size in Kb", choice.kilobytes);
}

store::RestrictionRow RowFromChoice(const RestrictionChoice& choice, const std::string& uniqueId,
                                    const std::string& linkId)
{
    CheckChoice(choice);
    store::RestrictionRow row;
    row.uniqueId = uniqueId;
    row.linkId = linkId;
    row.cond = "A";
    ApplyChoice(row, choice);
    if (choice.condition == kAllMessages || choice.condition == kNoCondition) {
        row.condVal1.clear();
        row.condVal2.clear();
    }
    return row;
}

void ApplyChoice(store::RestrictionRow& row, const RestrictionChoice& choice)
{
    CheckChoice(choice);
    row.rule = choice.name;
    if (choice.condition == kAllMessages)
        row.cond = "A";
    setCondition(row, choice);
    row.act1 = choice.retrieve ? "Y" : "N";
    row.act2 = choice.remove ? "Y" : "N";
}

RestrictionChoice ChoiceFromRow(const store::RestrictionRow& row)
{
    RestrictionChoice choice;
    choice.name = trimmed(row.rule);
    choice.retrieve = yes(row.act1);
    choice.remove = yes(row.act2);
    const std::string cond = upper(trimmed(row.cond));
    const char letter = cond.empty() ? ' ' : cond[0];
    const std::string value2 = trimmed(row.condVal2);
    switch (letter) {
    case 'C':
        choice.condition = kContains;
        choice.field = trimmed(row.condVal1);
        choice.value = value2;
        break;
    case 'L':
        choice.condition = kLongerThan;
        choice.lengthField = trimmed(row.condVal1);
        choice.length = value2;
        break;
    case 'G':
        choice.condition = kGreaterThan;
        // Only a byte count that was written as kilobytes loses its "000".
        choice.kilobytes = value2.size() >= 3 && value2.ends_with("000") ? value2.substr(0, value2.size() - 3) : value2;
        break;
    case 'A':
        choice.condition = kAllMessages;
        break;
    default:
        break;
    }
    return choice;
}

}  // namespace manager
