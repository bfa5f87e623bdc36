#include "store/table_layouts.h"

#include "store/store_error.h"
#include "tables/text_util.h"

namespace store {

namespace {

xbase::FieldDef text(const char* name, int width = kIdWidth)
{
    return {name, 'C', width, 0, 0};
}
xbase::FieldDef date(const char* name) { return {name, 'D', 8, 0, 0}; }
xbase::FieldDef memo(const char* name) { return {name, 'M', 10, 0, 0}; }
// Small whole numbers: fewer than five digits, no decimals.
xbase::FieldDef number(const char* name) { return {name, 'N', 4, 0, 0}; }

// Organisations and folders share their sixteen fields; only the name differs.
std::vector<xbase::FieldDef> hierarchyFields(const char* nameField)
{
    return {text("UNIQUE_ID"), text(nameField, 40), text("LINK_ID"), number("POSITION"),
            text("REF", 40),   text("KEY1"),        text("KEY2"),    text("KEY3"),
            text("KEY4"),      text("KEY5"),        text("STATUS", 3), memo("NOTES"),
            text("CREATEBY", 8), text("OWNER", 8),  text("LASTUSER", 8), date("CREATEON")};
}

std::vector<xbase::FieldDef> nodeFields()
{
    return {text("UNIQUE_ID"),        text("LINK_ID"),        text("NODE", 40),
            number("POSITION"),       text("REF", 40),        text("ADDRESS", 75),
            text("LOGIN", 25),        text("PASSWORD", 25),   text("POPADDRESS", 50),
            text("SMTPADDRES", 50),   text("KEY1"),           text("KEY2"),
            text("KEY3"),             text("KEY4"),           text("KEY5"),
            text("STATUS", 3),        memo("NOTES"),          text("CREATEBY", 8),
            text("OWNER", 8),         text("LASTUSER", 8),    date("LASTDATE"),
            text("LASTTIME", 6),      date("NEXTDATE"),       text("NEXTTIME", 5),
            text("FREQTYPE", 1),      number("FREQVAL"),      text("LASTRESULT")};
}

std::vector<xbase::FieldDef> messageFields()
{
    return {text("MESSAGE_ID", kReceivedKeyWidth), text("LINK_ID"), date("RECDATE"),
            text("STATUS", 5), text("FROM", 40), text("SUBJECT", 80),
            text("FILENAME", kFileNameWidth), date("CREATEON"), text("CREATEAT", 6),
            text("LASTUSER", 10), date("LASTDATE"), text("LASTTIME", 6)};
}

std::vector<xbase::FieldDef> outgoingFields()
{
    return {text("UNIQUE_ID"), text("LINK_ID"), date("DATE"), text("STATUS", 5),
            text("TONAME", 40), text("TOADDRESS", 50), text("SUBJECT", 80),
            text("FILENAME", 30), date("CREATEON"), text("CREATEAT", 6),
            text("LASTUSER", 10), date("LASTDATE"), text("LASTTIME", 6)};
}

// Condition values are typed freely (a header name, a text to look for),
// so they get the widest text field.
std::vector<xbase::FieldDef> ruleFields()
{
    return {text("UNIQUE_ID"), text("LINK_ID"), text("RULE", kRuleNameWidth), text("COND", 1),
            text("CONDVAL1", 254), text("CONDVAL2", 254), text("ACT1", 1), text("ACT2", 1)};
}

std::vector<xbase::FieldDef> agentFields()
{
    return {text("UNIQUE_ID"), text("LINK_ID"), text("AGENT", kAgentNameWidth), text("TYPE", 30),
            date("CREATEON"), text("CREATEAT", 6), text("LASTUSER", 10), date("LASTDATE")};
}

std::vector<xbase::FieldDef> actionFields()
{
    return {text("UNIQUE_ID"), text("MESSAGE_ID", kMessageIdWidth), text("NODE_ID"),
            text("AGENT_ID"), text("ACTION", kActionTextWidth), date("CREATEON"),
            text("CREATEAT", 6)};
}

std::vector<xbase::FieldDef> withOffsets(std::vector<xbase::FieldDef> fields)
{
    int offset = 1;  // byte 0 is the deletion flag
    for (auto& f : fields) {
        f.offset = offset;
        offset += f.width;
    }
    return fields;
}

std::vector<TableLayout> makeTables()
{
    const std::vector<TagLayout> idTags{{"UNIQUE_ID", true}, {"LINK_ID", false}};
    auto with = [](std::vector<TagLayout> tags, std::initializer_list<TagLayout> more) {
        tags.insert(tags.end(), more);
        return tags;
    };
    const std::vector<TagLayout> messageTags{{"MESSAGE_ID", true}, {"LINK_ID", false}, {"FROM", false}};
    std::vector<TableLayout> tables{
        {kNodesTable, "nodes", nodeFields(), with(idTags, {{"NODE", false}})},
        {kGroupsTable, "groups", hierarchyFields("GROUP"), with(idTags, {{"GROUP", false}})},
        {kReceivedTable, "received", messageFields(), messageTags},
        {kActionsTable, "actions", actionFields(),
         {{"MESSAGE_ID", false}, {"UNIQUE_ID", false}, {"AGENT_ID", false}, {"NODE_ID", false}}},
        {kPendingTable, "pending", messageFields(), messageTags},
        {kSentTable, "Sent", outgoingFields(), with(idTags, {{"SUBJECT", false}, {"TONAME", false}})},
        {kOutboxTable, "OutBox", outgoingFields(), with(idTags, {{"SUBJECT", false}, {"TONAME", false}})},
        {kRulesTable, "rules", ruleFields(), with(idTags, {{"RULE", false}})},
        {kAgentsTable, "Agents", agentFields(), with(idTags, {{"AGENT", false}})},
        {kOrgsTable, "", hierarchyFields("ORG"), {}},
    };
    for (auto& t : tables)
        t.fields = withOffsets(std::move(t.fields));
    return tables;
}

}  // namespace

const xbase::FieldDef* TableLayout::field(std::string_view name) const
{
    for (const auto& f : fields)
        if (tables::sameText(f.name, name))
            return &f;
    return nullptr;
}

const std::vector<TableLayout>& SystemTables()
{
    static const std::vector<TableLayout> tables = makeTables();
    return tables;
}

const TableLayout& LayoutOf(std::string_view fileName)
{
    for (const auto& t : SystemTables())
        if (tables::sameText(t.fileName, fileName))
            return t;
    throw StoreError("Not a table of the data folder: " + std::string(fileName));
}

}  // namespace store
