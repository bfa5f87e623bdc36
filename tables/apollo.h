#pragma once
// TApollo: single engine operations on the work area of the table bound
// through its data source, for what the table class does not offer: going
// to a physical record, seeking a key, counting, packing and erasing,
// creating index tags, opening extra index files, an engine filter, and
// engine properties. Operations that move the engine post the table's
// pending edit first and have the table re-read its position afterwards.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TTable;
class TDataSource;

class TApollo {
public:
    TApollo();
    ~TApollo();
    TApollo(const TApollo&) = delete;
    TApollo& operator=(const TApollo&) = delete;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);
    const std::vector<std::string>& ExtraIndexes() const { return extraIndexes_; }
    void SetExtraIndexes(const std::vector<std::string>& files);
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& expression) { Query(expression); }
    bool TurboRead() const { return turboRead_; }
    void SetTurboRead(bool on);

    int Count();
    void Delete();
    void GoToRecord(int32_t recNo);
    int IndexOpen(const std::string& file);
    int IndexOrd();
    int IndexTag(const std::string& file, const std::string& tag, const std::string& expression, int option,
                 bool descending, const std::string& condition);
    void Pack();
    bool Query(const std::string& expression);
    int RecNo();
    int RecSize();
    bool Seek(const std::string& key);
    bool SetOrder(int order);
    std::intptr_t SysProp(int code, std::intptr_t value);
    std::string TagName(int order);
    void Zap();

private:
    class DataLink;
    class Selection;
    friend class DataLink;
    friend class Selection;

    TTable* boundTable();
    bool tableOpen();
    void applyExtraIndexes();
    void activeChanged();
    template <typename Op> void move(Op op);

    std::unique_ptr<DataLink> link_;
    TTable* table_ = nullptr;
    std::vector<std::string> extraIndexes_;
    std::string filter_;
    bool turboRead_ = false;
};
