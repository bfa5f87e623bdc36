#pragma once
// Finds a received row by its key through the received table's MESSAGE_ID
// tag, so that checking whether a pending message was already filed does
// not walk the account's received rows.

#include <optional>
#include <string>

#include "tables/table.h"

namespace agents {

class ReceivedLookup {
public:
    struct Row {
        std::string linkId;
        std::string fileName;
    };

    // Opens the received table of the data folder, shared, in key order.
    // Throws EDBEngineError when it cannot.
    explicit ReceivedLookup(const std::string& databaseFolder);
    ~ReceivedLookup();
    ReceivedLookup(const ReceivedLookup&) = delete;
    ReceivedLookup& operator=(const ReceivedLookup&) = delete;

    // The first row holding the key (the tag keeps one row per key).
    std::optional<Row> Find(const std::string& key);
    // The table looked in, for rows to be added where the next look-up
    // finds them without reading again what this program changed.
    TTable& table() { return table_; }

private:
    TTable table_;
};

}  // namespace agents
