#include "table_fixture.h"

#include "tables/cursor_interface.h"
#include "xbase/create_table.h"
#include "xbase/sx.h"

namespace tabletest {

xbase::FieldDef field(const std::string& name, char type, int width, int decimals) {
    xbase::FieldDef f;
    f.name = name;
    f.type = type;
    f.width = width;
    f.decimals = decimals;
    if (type == 'D') f.width = 8;
    if (type == 'L') f.width = 1;
    if (type == 'M') f.width = 10;
    return f;
}

void TablesTest::SetUp() {
    previous_ = tables::setErrorReporter([this](const std::string& text) { reports.push_back(text); });
    tables::cursors();
    sx_SysProp(SX_SP_ERROR_LEVEL, 0);
    sx_SetLockTimeout(0);
    sx_SetDeleted(0);
    sx_SetEpoch(1900);
    sx_SetCentury(0);
}

void TablesTest::TearDown() {
    sx_SetDeleted(0);
    sx_SetEpoch(1900);
    tables::setErrorReporter(previous_);
}

std::string TablesTest::makeTable(const std::string& name, const std::vector<xbase::FieldDef>& fields,
                                  const std::vector<TagDef>& tags) {
    const std::string path = folder + name;
    xbase::createTable(path, fields);
    if (!tags.empty()) {
        const int previous = sx_WorkArea("");
        const int area = sx_Use(path.c_str(), "MAKETAGS", SX_EXCLUSIVE, SX_DRIVER_FOX);
        EXPECT_NE(area, 0) << xbase::lastErrorText();
        const std::string stem = path.substr(0, path.rfind('.'));
        for (const TagDef& tag : tags)
            EXPECT_NE(sx_IndexTag(nullptr, tag.name.c_str(), tag.expression.c_str(), tag.unique ? 1 : 0,
                                  tag.descending ? -1 : 0, ""),
                      0)
                << xbase::lastErrorText();
        sx_Close();
        if (previous) sx_Select(previous);
    }
    return path;
}

void TablesTest::addRows(const std::string& name, const std::vector<std::vector<std::string>>& rows) {
    const std::string path = folder + name;
    const int previous = sx_WorkArea("");
    const int area = sx_Use(path.c_str(), "ADDROWS", SX_SHARED, SX_DRIVER_FOX);
    ASSERT_NE(area, 0) << xbase::lastErrorText();
    for (const auto& row : rows) {
        ASSERT_NE(sx_AppendEx(), SX_APPEND_LOCKED);
        bool deleted = false;
        for (size_t i = 0; i < row.size(); ++i) {
            std::string value = row[i];
            if (i == 0 && !value.empty() && value[0] == '*') {
                deleted = true;
                value.erase(0, 1);
            }
            const std::string fieldName = sx_FieldName(static_cast<int>(i) + 1);
            const char type = sx_FieldType(fieldName.c_str());
            if (type == 'M') {
                sx_Replace(fieldName.c_str(), SX_R_MEMO, value.c_str());
            } else {
                // Raw field text written straight into the record buffer.
                std::string record(static_cast<size_t>(sx_RecSize()), ' ');
                sx_GetRecord(record.data());
                const int offset = sx_FieldOffset(fieldName.c_str());
                const int width = sx_FieldWidth(fieldName.c_str());
                std::string text = value.substr(0, static_cast<size_t>(width));
                if (type == 'N') text = std::string(static_cast<size_t>(width) - text.size(), ' ') + text;
                else text.resize(static_cast<size_t>(width), ' ');
                record.replace(static_cast<size_t>(offset), static_cast<size_t>(width), text);
                sx_PutRecord(record.data());
            }
        }
        if (deleted) sx_Delete();
        sx_Unlock(0);
    }
    sx_Close();
    if (previous) sx_Select(previous);
}

std::vector<xbase::FieldDef> nodeFields() {
    return {field("UNIQUE_ID", 'C', 20), field("LINK_ID", 'C', 20), field("NODE", 'C', 40),
            field("FREQVAL", 'N', 4), field("NEXTDATE", 'D'), field("NOTES", 'M')};
}

std::vector<xbase::FieldDef> ruleFields() {
    return {field("UNIQUE_ID", 'C', 20), field("LINK_ID", 'C', 20), field("RULE", 'C', 49)};
}

}  // namespace tabletest
