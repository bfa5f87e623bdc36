#include "retriever/shell/tdm.h"

#include "tables/table.h"

namespace shell {

TDM::TDM(const ProcessorProfile& profile)
    : profile_(profile), tables_(std::make_unique<store::TableSet>(profile.tables))
{
    env_.SetDeleted(true);
}

TDM::~TDM() = default;

void TDM::PassStartupProperty() { tables_->SysProp(profile_.sysPropTables, kEngineProperty, 0); }

void TDM::OpenTables(const std::string& databaseFolder)
{
    tables_->SetDatabaseFolder(databaseFolder);
    tables_->Open(profile_.openOrder);
}

void TDM::CloseTables()
{
    tables_->SysProp(profile_.sysPropAtClose, kEngineProperty, 0);
    for (const std::string& name : profile_.closeOrder)
        tables_->Table(name).Close();
}

}  // namespace shell
