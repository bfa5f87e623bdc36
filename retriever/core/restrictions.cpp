#include "retriever/core/restrictions.h"

#include "mail/net/remote_info.h"
#include "retriever/core/conversion.h"
#include "tables/table.h"

namespace retriever {

namespace {

bool yes(const std::string& text) { return UpperCase(Trim(text)) == "Y"; }

std::string field(TTable& table, const char* name) { return TrimRight(table.FieldByName(name).AsString()); }

// The restriction dialogs offer "(Any field)" and "(the entire header)" for
// the whole header, spell the reply field "ReplyTo" and add a colon to the
// names of length rules; taken literally, such rules could never match.
std::string restrictedText(const TmsHeaders& headers, std::string name)
{
    name = Trim(name);
    const std::string upper = UpperCase(name);
    if (upper == "(ANY FIELD)" || upper == "(THE ENTIRE HEADER)") {
        std::string whole;
        for (const std::string& line : headers.lines()) {
            if (!whole.empty())
                whole += "\r\n";
            whole += line;
        }
        return whole;
    }
    if (!name.empty() && name.back() == ':')
        name.pop_back();
    if (UpperCase(name) == "REPLYTO")
        name = "Reply-To";
    return headers.GetFieldValue(name);
}

bool matches(const Restriction& row, const TmsRemoteInfoItem& message)
{
    switch (row.cond) {
    case 'A':
        return true;
    case 'C': {
        const std::string wanted = UpperCase(row.condVal2);
        return !wanted.empty() &&
               UpperCase(restrictedText(message.Headers(), row.condVal1)).find(wanted) != std::string::npos;
    }
    case 'L':
        return static_cast<long long>(restrictedText(message.Headers(), row.condVal1).size()) > row.limit;
    case 'G':
        return static_cast<long long>(message.Size) > row.limit;
    default:
        return false;
    }
}

}  // namespace

std::vector<Restriction> ReadRestrictions(TTable& rules)
{
    std::vector<Restriction> rows;
    for (rules.First(); !rules.Eof(); rules.Next()) {
        Restriction row;
        row.rule = field(rules, "RULE");
        const std::string cond = UpperCase(Trim(field(rules, "COND")));
        row.cond = cond.size() == 1 ? cond[0] : '?';
        row.condVal1 = field(rules, "CONDVAL1");
        row.condVal2 = field(rules, "CONDVAL2");
        if (row.cond == 'L' || row.cond == 'G')
            row.limit = WholeNumber(row.condVal2);
        row.fetch = yes(field(rules, "ACT1"));
        row.remove = yes(field(rules, "ACT2"));
        rows.push_back(std::move(row));
    }
    return rows;
}

RestrictionOutcome ApplyRestrictions(const std::vector<Restriction>& rows, const TmsRemoteInfoItem& message)
{
    RestrictionOutcome outcome;
    for (const Restriction& row : rows) {
        if (!matches(row, message))
            continue;
        if (row.cond != 'A')
            outcome.fetch = outcome.remove = false;
        outcome.fetch = outcome.fetch || row.fetch;
        outcome.remove = outcome.remove || row.remove;
        outcome.activated.push_back(row.rule);
    }
    return outcome;
}

}  // namespace retriever
