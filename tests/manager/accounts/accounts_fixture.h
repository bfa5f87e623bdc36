#pragma once
// The manager's tables open on a data folder made as tarsel-mkdata makes
// one, for the account commands without a window; rows read back through a
// table object of their own.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "manager/core/account_commands.h"
#include "manager/core/manager_tables.h"
#include "store/data_folder.h"
#include "store/record_ids.h"
#include "tables/table.h"
#include "table_rows.h"
#include "tests/support/temp_dir.h"

namespace accountstest {


class AccountsCoreTest : public ::testing::Test {
protected:
    test_support::TempDir dir{"acc"};
    std::string data = dir.path() + "/data/";
    std::unique_ptr<manager::ManagerTables> tables;
    store::RecordIds ids;

    void SetUp() override
    {
        store::CreateDataFolder(data, false);
        tables = std::make_unique<manager::ManagerTables>();
        tables->SetDatabaseFolder(data);
        tables->OpenInStartupOrder();
    }

    manager::AccountCommands accounts() { return {*tables, ids, data}; }

    static manager::NewAccountFields sampleAccount(const std::string& name = "Sales")
    {
        manager::NewAccountFields fields;
        fields.name = name;
        fields.smtp = "smtp.example.org";
        fields.pop = "pop.example.org";
        fields.login = "sales";
        fields.password = "s3cret";
        fields.address = "sales@example.org";
        fields.minutes = "15";
        fields.nextDate = "12/09/26";
        fields.nextTime = "12:30AM";
        fields.retrieve = true;
        fields.remove = false;
        return fields;
    }

    // Every row not deleted's fields, trimmed, in record order.
    Rows rows(const char* file, const std::vector<std::string>& fields) const
    {
        return TableRows(data, file, fields);
    }
    std::string field(const char* file, const char* name, std::size_t row = 0) const
    {
        return rows(file, {name}).at(row).at(0);
    }
};

}  // namespace accountstest
