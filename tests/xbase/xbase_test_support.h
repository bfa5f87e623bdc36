#pragma once
// Helpers the engine's test folders share: field layouts for new tables, a
// private temporary folder, the engine's settings reset, walks over the
// current order, and a step run in another process.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <vector>

#include "xbase/create_table.h"
#include "xbase/sx.h"

namespace xbasetest {

inline xbase::FieldDef fieldDef(const std::string& name, char type, int width, int decimals = 0) {
    xbase::FieldDef f;
    f.name = name;
    f.type = type;
    f.width = width;
    f.decimals = decimals;
    return f;
}

struct TagDef {
    const char* name;
    const char* expression;
    bool unique = false;
};

// Makes the table with its structural index holding these tags, and closes
// it again; false when the engine refused a step.
inline bool createIndexedTable(const std::string& path, const std::vector<xbase::FieldDef>& fields,
                               const std::vector<TagDef>& tags) {
    xbase::createTable(path, fields);
    if (sx_Use(path.c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX) <= 0) return false;
    for (const TagDef& tag : tags)
        if (sx_IndexTag(nullptr, tag.name, tag.expression, 0, tag.unique ? 1 : 0, nullptr) <= 0) return false;
    sx_CloseAll();
    return true;
}

// Runs child in a forked process that ends with _exit(child()): no close
// and no exit handlers, as a killed program leaves its files. Answers the
// exit status, or -1 when the child did not end by itself.
inline int exitStatusOfChild(const std::function<int()>& child) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) _exit(child());
    int status = -1;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// A fresh folder "/tmp/<prefix>_XXXXXX"; the caller removes it.
inline std::string makeTempFolder(const std::string& prefix) {
    std::string pattern = "/tmp/" + prefix + "_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder for " + prefix);
    return pattern;
}

// Closes every area and puts the engine's settings back where the tests
// expect them (errors returned, not shown); lock waits last lockTimeout.
inline void resetEngine(int lockTimeout) {
    sx_CloseAll();
    sx_SysProp(SX_SP_ERROR_LEVEL, 0);
    sx_SetDeleted(0);
    sx_SetExact(0);
    sx_SetSoftSeek(0);
    sx_SetCentury(0);
    sx_SetEpoch(1900);
    sx_SetDateFormat(SX_DATE_AMERICAN);
    sx_SetLockTimeout(lockTimeout);
}

// Record numbers met walking the current order from the top, or from the
// bottom; the guard stops a walk that never ends.
inline std::vector<int> walkForward() {
    std::vector<int> out;
    sx_GoTop();
    for (int guard = 0; !sx_Eof() && guard < 100000; ++guard) {
        out.push_back(sx_RecNo());
        sx_Skip(1);
    }
    return out;
}

inline std::vector<int> walkBackward() {
    std::vector<int> out;
    sx_GoBottom();
    for (int guard = 0; !sx_Bof() && !sx_Eof() && guard < 100000; ++guard) {
        out.push_back(sx_RecNo());
        sx_Skip(-1);
    }
    return out;
}

}  // namespace xbasetest
