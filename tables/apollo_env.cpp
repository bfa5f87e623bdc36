#include "tables/apollo_env.h"

#include "tables/db_errors.h"
#include "tables/short_date.h"
#include "xbase/sx.h"

namespace {

TApolloEnv* instance = nullptr;

struct DateFormatEntry {
    const char* format;
    char separator;
};

// The short date format of each setting; the system default is the fixed
// "mm/dd/yy", whatever the locale says.
DateFormatEntry entryOf(TApolloDateFrmt format) {
    switch (format) {
    case dfAmerican: return {"mm/dd/yy", '/'};
    case dfAnsi: return {"yy.mm.dd", '.'};
    case dfBritish:
    case dfFrench: return {"dd/mm/yy", '/'};
    case dfGerman: return {"dd.mm.yy", '.'};
    case dfItalian:
    case dfSpanish: return {"dd-mm-yy", '-'};
    case dfWinDefault: break;
    }
    return {"mm/dd/yy", '/'};
}

}  // namespace

TApolloEnv::TApolloEnv() {
    if (instance) throw EDatabaseError("Removing extra TApolloEnv component");
    instance = this;
}

TApolloEnv::~TApolloEnv() {
    if (instance == this) instance = nullptr;
}

TApolloEnv* TApolloEnv::Instance() { return instance; }

void TApolloEnv::SetExact(bool on) {
    sx_SetExact(on ? -1 : 0);
    exact_ = on;
}

void TApolloEnv::SetCentury(bool on) {
    sx_SetCentury(on ? -1 : 0);
    century_ = on;
    applyCenturyToFormat();
}

void TApolloEnv::applyCenturyToFormat() {
    std::string format = tables::shortDateFormat();
    if (century_) {
        const size_t yy = format.find("yy");
        if (yy != std::string::npos && format.find("yyyy") == std::string::npos) format.replace(yy, 2, "yyyy");
    } else {
        const size_t yyyy = format.find("yyyy");
        if (yyyy != std::string::npos) format.replace(yyyy, 4, "yy");
    }
    tables::setShortDateFormat(format, tables::dateSeparator());
}

void TApolloEnv::SetEpoch(int year) {
    if (year == 0) year = 1900;
    else if (year < 100) year = 100;
    else if (year >= 3000) year = 2999;
    epoch_ = year;
    sx_SetEpoch(year);
}

void TApolloEnv::SetDateFormat(TApolloDateFrmt format) {
    dateFormat_ = format;
    sx_SetDateFormat(format == dfWinDefault ? SX_DATE_DEFAULT : static_cast<int>(format));
    const DateFormatEntry entry = entryOf(format);
    tables::setShortDateFormat(entry.format, entry.separator);
    if (century_) applyCenturyToFormat();
}

void TApolloEnv::SetLockTimeout(int seconds) {
    sx_SetLockTimeout(seconds);
    lockTimeout_ = seconds;
}

void TApolloEnv::SetMemoBlockSize(int bytes) {
    sx_SetMemoBlockSize(bytes);
    memoBlockSize_ = bytes;
}

void TApolloEnv::SetSoftSeek(bool on) {
    sx_SetSoftSeek(on ? -1 : 0);
    softSeek_ = on;
}

void TApolloEnv::SetDeleted(bool on) {
    sx_SetDeleted(on ? -1 : 0);
    deleted_ = on;
}
