#include "agents/core/received_lookup.h"

#include "retriever/core/message_keys.h"
#include "store/table_layouts.h"

namespace agents {

ReceivedLookup::ReceivedLookup(const std::string& databaseFolder)
{
    table_.DatabaseName = databaseFolder;
    table_.TableName = store::kReceivedTable;
    table_.TableType = ttSXFOX;
    table_.SetIndexName("MESSAGE_ID");
    table_.Open();
}

ReceivedLookup::~ReceivedLookup() { table_.Close(); }

std::optional<ReceivedLookup::Row> ReceivedLookup::Find(const std::string& key)
{
    // A whole-key seek: the key padded to the field's width.
    std::string padded = key;
    if (padded.size() < store::kReceivedKeyWidth)
        padded.resize(store::kReceivedKeyWidth, ' ');
    if (!table_.FindKey(padded))
        return std::nullopt;
    return Row{table_.FieldByName("LINK_ID").AsString(), table_.FieldByName("FILENAME").AsString()};
}

}  // namespace agents
