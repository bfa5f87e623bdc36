// The sx_ calls on index orders and tags.

#include "xbase/sx.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "xbase/sx_engine.h"
#include "xbase/expr/julian.h"
#include "xbase/file_names.h"

using namespace xbase;
using namespace xbase::sx_detail;

int sx_IndexOpen(const char* file) {
    return guarded(0, [&] {
        WorkArea& a = area();
        std::string p = text(file, kMaxPathLength, "index path");
        if (p.empty()) throw XbaseError(kErrArgument, "no index file given");
        if (p.find('/') == std::string::npos) p = a.path().substr(0, a.path().rfind('/') + 1) + p;
        if (baseNameOf(p) == p.substr(p.rfind('/') + 1)) p += ".cdx";
        const int order = a.table().openIndex(p);
        if (order > 0) a.setOrder(order);
        return order;
    });
}

int sx_IndexTag(const char* file, const char* tag, const char* expression, int option, int descending, const char* condition) {
    return guarded(0, [&] {
        WorkArea& a = area();
        CdxTagSpec spec;
        spec.name = upperCase(text(tag, 10, "tag name"));
        spec.keyExpression = text(expression, kMaxExpressionLength, "key expression");
        spec.forExpression = text(condition, kMaxExpressionLength, "condition");
        if (spec.forExpression.find_first_not_of(' ') == std::string::npos) spec.forExpression.clear();
        if (spec.name.empty() || spec.keyExpression.empty()) throw XbaseError(kErrArgument, "a tag needs a name and a key expression");
        spec.unique = option == 1;
        spec.descending = descending != 0;
        const int order = a.table().createTag(text(file, kMaxPathLength, "index path"), spec);
        a.setOrder(order);
        a.goTop();
        return order;
    });
}

bool sx_SetOrder(int order) {
    return guarded(false, [&] {
        area().setOrder(order);
        return true;
    });
}

int sx_IndexOrd() { return guarded(0, [] { return area().order(); }); }

int sx_TagArea(const char* tag) {
    return guarded(0, [&] {
        const std::string name = upperCase(baseNameOf(text(tag, kMaxPathLength, "tag name")));
        const auto& ts = area().table().tags();
        for (std::size_t i = 0; i < ts.size(); ++i) if (ts[i].spec.name == name) return int(i) + 1;
        // Setting an order by a name the index lacks is an error, not "no order".
        throw XbaseError(kErrNoOrder, "tag " + name + " is not in the index");
    });
}

std::string sx_TagName(int order) {
    return guarded(std::string(), [&] {
        WorkArea& a = area();
        if (order == 0) {
            const OpenTag* t = a.activeTag();
            return t ? t->spec.name : std::string();
        }
        const auto& ts = a.table().tags();
        if (order < 0 || static_cast<std::size_t>(order) > ts.size()) return std::string();
        return ts[static_cast<std::size_t>(order) - 1].spec.name;
    });
}

std::string sx_IndexName(int order) { return guarded(std::string(), [&] { return tagAt(order).index->path(); }); }
std::string sx_IndexKey(int order) { return guarded(std::string(), [&] { return tagAt(order).spec.keyExpression; }); }
std::string sx_IndexCondition(int order) { return guarded(std::string(), [&] { return tagAt(order).spec.forExpression; }); }

std::string sx_IndexKeyField(int order) {
    return guarded(std::string(), [&] {
        const std::string key = upperCase(tagAt(order).spec.keyExpression);
        std::string out;
        std::size_t i = 0;
        while (i < key.size()) {
            if (std::isalpha(static_cast<unsigned char>(key[i])) || key[i] == '_') {
                std::size_t j = i;
                while (j < key.size() && (std::isalnum(static_cast<unsigned char>(key[j])) || key[j] == '_')) ++j;
                const std::string word = key.substr(i, j - i);
                std::size_t k = j;
                while (k < key.size() && key[k] == ' ') ++k;
                const bool call = k < key.size() && key[k] == '(';
                if (!call) {
                    for (const auto& f : area().table().fields()) {
                        if (f.name == word) out += (out.empty() ? "" : "+") + word;
                    }
                }
                i = j;
            } else if (key[i] == '"' || key[i] == '\'') {
                const std::size_t end = key.find(key[i], i + 1);
                i = end == std::string::npos ? key.size() : end + 1;
            } else {
                ++i;
            }
        }
        return out;
    });
}

int sx_IndexType(int order) {
    return guarded(0, [&] {
        const OpenTag& t = tagAt(order);
        const bool cond = !t.spec.forExpression.empty();
        if (t.spec.unique) return cond ? SX_INDEX_UNIQUE_CONDITIONAL : SX_INDEX_UNIQUE;
        return cond ? SX_INDEX_CONDITIONAL : SX_INDEX_PLAIN;
    });
}

std::string sx_KeyData() {
    return guarded(std::string(), [] {
        WorkArea& a = area();
        const OpenTag* t = a.activeTag();
        if (!t) throw XbaseError(kErrNoOrder, "no index order is active");
        const Value v = a.table().evaluate(t->key, a.readRecord(), a.onRecord() ? a.recNo() : 0);
        switch (v.type) {
        case ValueType::Numeric: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.*f", t->key.decimals(), v.number);
            return std::string(buf);
        }
        case ValueType::Date: return dateTextFromJulian(v.julian);
        case ValueType::Logical: return std::string(v.logical ? "T" : "F");
        default: return encodeKey(v, t->spec);
        }
    });
}
