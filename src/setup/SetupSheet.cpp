#include "setup/SetupSheet.h"

#include "framework/PropertySheet.h"
#include "setup/PropPageDatabase.h"
#include "setup/PropPageFilePath.h"
#include "setup/PropPageOrgMap.h"
#include "setup/PropPageSupplier.h"
#include "setup/PropPageTasks.h"

namespace setup {

void RunSetupSheet()
{
    CPropertySheet sheet("接口参数设置");
    // The database and file-path pages load their values now; the others when first shown.
    CPropPageOrgMap orgMap;
    CPropPageFilePath filePath;
    CPropPageDatabase database;
    CPropPageTasks tasks;
    CPropPageSupplier supplier;
    sheet.AddPage(&orgMap);
    sheet.AddPage(&filePath);
    sheet.AddPage(&database);
    sheet.AddPage(&tasks);
    sheet.AddPage(&supplier);
    sheet.DoModal();
}

} // namespace setup
