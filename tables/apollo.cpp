#include "tables/apollo.h"

#include "tables/data_source.h"
#include "tables/db_errors.h"
#include "tables/table.h"
#include "tables/text_util.h"
#include "xbase/sx.h"

namespace {

// Texts handed to the engine are at most 255 characters; a longer one is
// refused, never cut.
const char* engineText(const std::string& text) {
    if (text.size() > 255) throw EDBEngineError(tables::kTextTooLong);
    return text.c_str();
}

}  // namespace

class TApollo::DataLink : public TDataLink {
public:
    explicit DataLink(TApollo& owner) : owner_(owner) {}

protected:
    void ActiveChanged() override { owner_.activeChanged(); }

private:
    TApollo& owner_;
};

// Makes the bound table's area current for one operation and puts the
// previous current area back afterwards.
class TApollo::Selection {
public:
    explicit Selection(TApollo& owner) {
        TTable* table = owner.boundTable();
        if (!table && !owner.DataSource()) return;
        if (table && table->Active()) {
            area_ = table->CursorHandle();
            previous_ = sx_Select(area_);
        } else {
            previous_ = sx_WorkArea("");
        }
    }
    ~Selection() {
        if (previous_ != 0 && previous_ != area_ && !sx_Alias(previous_).empty()) sx_Select(previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    int area_ = 0;
    int previous_ = 0;
};

TApollo::TApollo() : link_(std::make_unique<DataLink>(*this)) { sx_SetStringType(1); }

TApollo::~TApollo() = default;

TDataSource* TApollo::DataSource() const { return link_->DataSource(); }

void TApollo::SetDataSource(TDataSource* source) {
    link_->SetDataSource(source);
    table_ = source ? source->DataSet() : nullptr;
}

// Always the data source's current data set, so a table that went away
// is never used.
TTable* TApollo::boundTable() {
    table_ = DataSource() ? DataSource()->DataSet() : nullptr;
    return table_;
}

bool TApollo::tableOpen() {
    TTable* table = boundTable();
    return table && table->Active();
}

void TApollo::activeChanged() {
    table_ = DataSource() ? DataSource()->DataSet() : nullptr;
    if (!tableOpen()) return;
    if (!filter_.empty()) Query(filter_);
    if (!extraIndexes_.empty()) applyExtraIndexes();
}

// An operation that moves the engine: on the table's current record, with
// its pending edit posted, and the table re-reading its position after.
// On a closed table it does nothing, rather than act on whatever area
// happens to be current.
template <typename Op>
void TApollo::move(Op op) {
    if (!tableOpen()) return;
    table_->CheckBrowseMode();
    Selection selection(*this);
    table_->positionEngine();
    op();
    table_->resyncFromEngine();
}

int TApollo::Count() {
    Selection selection(*this);
    return sx_Count();
}

void TApollo::Delete() {
    if (tableOpen()) table_->Delete();
}

void TApollo::GoToRecord(int32_t recNo) {
    move([&] { sx_Go(recNo); });
}

int TApollo::IndexOpen(const std::string& file) {
    if (!tableOpen()) return 0;
    Selection selection(*this);
    const int order = sx_IndexOpen(engineText(file));
    if (order != 0) table_->takeIndexName(sx_TagName(order));
    table_->resyncFromEngine();
    return order;
}

int TApollo::IndexOrd() {
    Selection selection(*this);
    return sx_IndexOrd();
}

int TApollo::IndexTag(const std::string& file, const std::string& tag, const std::string& expression,
                      int option, bool descending, const std::string& condition) {
    for (const std::string* text : {&file, &tag, &expression, &condition}) engineText(*text);
    int order = 0;
    move([&] {
        order = sx_IndexTag(file.c_str(), tag.c_str(), expression.c_str(), option, descending ? -1 : 0,
                            condition.c_str());
    });
    if (order != 0 && tableOpen()) table_->takeIndexName(tag);
    return order;
}

void TApollo::Pack() {
    move([] { sx_Pack(); });
}

bool TApollo::Query(const std::string& expression) {
    engineText(expression);
    filter_ = expression;
    bool accepted = false;
    move([&] { accepted = sx_Query(expression.c_str()); });
    return accepted;
}

int TApollo::RecNo() { return tableOpen() ? table_->RecNo() : 0; }

int TApollo::RecSize() {
    Selection selection(*this);
    return sx_RecSize();
}

bool TApollo::Seek(const std::string& key) {
    engineText(key);
    if (!tableOpen()) return false;
    bool found = false;
    table_->CheckBrowseMode();
    {
        Selection selection(*this);
        table_->positionEngine();
        found = sx_Seek(key.c_str());
        if (found) table_->resyncFromEngine();
    }
    if (!found) {
        table_->Last();
        table_->Next();
    }
    return found;
}

bool TApollo::SetOrder(int order) {
    if (!tableOpen()) return false;
    Selection selection(*this);
    const bool done = sx_SetOrder(order);
    if (done) table_->takeIndexName(sx_TagName(order));
    return done;
}

std::intptr_t TApollo::SysProp(int code, std::intptr_t value) {
    Selection selection(*this);
    return sx_SysProp(code, value);
}

std::string TApollo::TagName(int order) {
    Selection selection(*this);
    return sx_TagName(order);
}

void TApollo::SetTurboRead(bool on) {
    sx_SetTurboRead(on ? -1 : 0);
    turboRead_ = on;
}

void TApollo::Zap() {
    move([] { sx_Zap(); });
}

void TApollo::SetExtraIndexes(const std::vector<std::string>& files) {
    extraIndexes_ = files;
    if (tableOpen()) applyExtraIndexes();
}

void TApollo::applyExtraIndexes() {
    const int remembered = IndexOrd();
    SetOrder(0);
    int firstOrder = 0;
    for (const std::string& name : extraIndexes_) {
        std::string file = name;
        if (tables::extensionOf(file).empty()) file += tables::indexExtensionOf(table_->TableType);
        const int order = IndexOpen(file);
        if (firstOrder == 0) firstOrder = order;
    }
    SetOrder(remembered != 0 ? remembered : firstOrder);
}
