#pragma once
// TApolloEnv: the engine-wide settings of one program (deleted records,
// exact comparison, soft seek, century, epoch, date format, lock time-out,
// memo block size). Each setter hands its value to the engine at once; the
// defaults are not sent. A program holds exactly one: creating a second
// raises "Removing extra TApolloEnv component" and leaves the first in force.

#include <string>

enum TApolloDateFrmt { dfAmerican, dfAnsi, dfBritish, dfFrench, dfGerman, dfItalian, dfSpanish, dfWinDefault };

class TApolloEnv {
public:
    TApolloEnv();
    ~TApolloEnv();
    TApolloEnv(const TApolloEnv&) = delete;
    TApolloEnv& operator=(const TApolloEnv&) = delete;

    // The program's instance, or null when none exists.
    static TApolloEnv* Instance();

    bool Exact() const { return exact_; }
    void SetExact(bool on);
    bool Century() const { return century_; }
    void SetCentury(bool on);
    int Epoch() const { return epoch_; }
    void SetEpoch(int year);
    TApolloDateFrmt DateFormat() const { return dateFormat_; }
    void SetDateFormat(TApolloDateFrmt format);
    int LockTimeout() const { return lockTimeout_; }
    void SetLockTimeout(int seconds);
    int MemoBlockSize() const { return memoBlockSize_; }
    void SetMemoBlockSize(int bytes);
    bool SoftSeek() const { return softSeek_; }
    void SetSoftSeek(bool on);
    bool Deleted() const { return deleted_; }
    void SetDeleted(bool on);

private:
    void applyCenturyToFormat();

    bool exact_ = false;
    bool century_ = false;
    int epoch_ = 1900;
    TApolloDateFrmt dateFormat_ = dfWinDefault;
    int lockTimeout_ = 1;
    int memoBlockSize_ = 64;
    bool softSeek_ = false;
    bool deleted_ = false;
};
