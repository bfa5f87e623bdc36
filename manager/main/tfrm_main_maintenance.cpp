// Table maintenance from the File menu: re-index, compress and the hidden
// erase. The tree is built again afterwards, since compressing renumbers
// rows and every item carries a record number.

#include "manager/core/table_maintenance.h"
#include "manager/main/tfrm_main.h"

namespace manager {

namespace {

template <typename Work>
void maintain(TfrmMain& window, Work&& work)
{
    TableMaintenance maintenance(window.Tables());
    try {
        work(maintenance);
    } catch (...) {
        window.populateGroups();
        throw;
    }
    window.populateGroups();
}

}  // namespace

void TfrmMain::ReIndex1Click() { maintain(*this, [](TableMaintenance& m) { m.ReIndex(); }); }
void TfrmMain::Pack1Click() { maintain(*this, [](TableMaintenance& m) { m.Pack(); }); }
void TfrmMain::Zap1Click() { maintain(*this, [](TableMaintenance& m) { m.Zap(); }); }

}  // namespace manager
