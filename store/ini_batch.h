#pragma once
// Several keys of one INI file gathered and then written in one
// read-modify-write, so that a reader sees the file with all of them or none
// (an agent is many keys; the agent processor reads agent files every
// second).

#include <string>
#include <vector>

#include "platform/ini_file.h"

namespace store {

class IniBatch {
public:
    // Queues "key=value" in section; later writes of the same key win.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);  // "1" / "0"
    bool empty() const { return writes_.empty(); }

    // Applies every queued write to the file (a name without "/" lies in the
    // settings folder; an existing file whose name differs only in case is
    // used), replacing it atomically; other lines stay. Throws
    // platform::IniFileError "Unable to write to <file>: ..." and writes
    // nothing when a name or value would break the file's lines.
    void Apply(const std::string& fileName) const;

private:
    std::vector<platform::IniWrite> writes_;
};

}  // namespace store
