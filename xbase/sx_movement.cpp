// The sx_ calls that move the cursor and the record calls.

#include "xbase/sx.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "xbase/sx_engine.h"

using namespace xbase;
using namespace xbase::sx_detail;

namespace {

int appendFailure(int code) {
    switch (code) {
    case kErrLocked: return SX_APPEND_LOCKED;
    case kErrReadOnly: return SX_APPEND_READONLY;
    case kErrIo: return SX_APPEND_WRITE;
    case kErrNoTable: return SX_APPEND_NO_AREA;
    default: return SX_APPEND_KEY;
    }
}

// Appends a blank record, or the raw record given.
int appendWith(const char* buffer, bool keepLock) {
    beginCall();
    try {
        WorkArea& a = area();
        if (buffer)
            a.appendRecord(std::string(buffer, a.bufferRecord().size()), keepLock);
        else
            a.append();
        return SX_APPEND_OK;
    } catch (const XbaseError& e) {
        fail(e.code(), e.what(), e.fault());
        return appendFailure(e.code());
    } catch (const std::exception& e) {
        fail(kErrIo, e.what());
        return SX_APPEND_WRITE;
    }
}

}  // namespace

void sx_GoTop() { guardedVoid([] { area().goTop(); }); }
void sx_GoBottom() { guardedVoid([] { area().goBottom(); }); }
void sx_Skip(int32_t n) { guardedVoid([&] { area().skip(n); }); }
void sx_Go(int32_t recNo) { guardedVoid([&] { area().go(recNo < 0 ? 0u : static_cast<uint32_t>(recNo)); }); }
bool sx_Bof() { return guarded(true, [] { return area().bof(); }); }
bool sx_Eof() { return guarded(true, [] { return area().eof(); }); }
int32_t sx_RecNo() { return guarded(0, [] { return static_cast<int32_t>(area().recNo()); }); }
int32_t sx_RecCount() { return guarded(0, [] { return static_cast<int32_t>(area().table().dbf().recordCount()); }); }
int32_t sx_Count() { return guarded(0, [] { return static_cast<int32_t>(area().count()); }); }
bool sx_Deleted() { return guarded(false, [] { return area().onRecord() && area().readRecord()[0] == '*'; }); }
int32_t sx_OrderRecNo() { return guarded(0, [] { return static_cast<int32_t>(area().orderPosition()); }); }


void sx_GetRecord(char* buffer) {
    guardedVoid([&] {
        if (!buffer) throw XbaseError(kErrArgument, "no buffer given");
        const std::string& r = area().readRecord();
        std::memcpy(buffer, r.data(), r.size());
    });
}

bool sx_PutRecord(const char* buffer) {
    return guarded(false, [&] {
        if (!buffer) throw XbaseError(kErrArgument, "no record given");
        WorkArea& a = area();
        a.putRecord(std::string(buffer, a.bufferRecord().size()));
        return true;
    });
}

int sx_AppendEx() { return appendWith(nullptr, true); }

int sx_AppendRecord(const char* buffer, bool keepLock) {
    if (!buffer) {
        beginCall();
        fail(kErrArgument, "no record given");
        return SX_APPEND_KEY;
    }
    return appendWith(buffer, keepLock);
}

bool sx_Delete() {
    return guarded(false, [] {
        area().deleteRecord();
        return true;
    });
}

bool sx_Commit() {
    return guarded(false, [] {
        area().table().commitRow();
        return true;
    });
}

bool sx_Rlock(int32_t recNo) {
    return guarded(false, [&] { return recNo > 0 && area().lock(static_cast<uint32_t>(recNo)); });
}

bool sx_Unlock(int32_t recNo) {
    return guarded(false, [&] {
        area().unlock(recNo < 0 ? 0u : static_cast<uint32_t>(recNo));
        return true;
    });
}

int sx_RecSize() { return guarded(0, [] { return area().table().dbf().recordLength(); }); }

bool sx_Pack() {
    return guarded(false, [] {
        WorkArea& a = area();
        a.unlockAll();
        a.table().pack();
        a.goTop();
        return true;
    });
}

bool sx_Zap() {
    return guarded(false, [] {
        WorkArea& a = area();
        a.unlockAll();
        a.table().zap();
        a.goTop();
        return true;
    });
}
