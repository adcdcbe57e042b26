#include "Settings.h"

#include "Layout.h"
#include "Text.h"

namespace hostile {

namespace {

const char kTaskDefine[] = "[销售订单]\r\nFileName=ORD_C001_20261207.txt\r\nChecked=1\r\nLastExportTime=2026-12-01 00:00:00\r\n";

void StoreDword(const test::PluginProfile& profile, const char* name, const DwordSetting& setting)
{
    if (setting.stored == Stored::kDword)
        profile.SetDword(name, setting.value);
    else if (setting.stored == Stored::kString)
        profile.SetString(name, std::to_string(setting.value));
}

} // namespace

const char kPluginName[] = "QRVLNK";

void StoreSettings(const Workspace& ws, const CModel& model, const test::PluginProfile& profile)
{
    if (!ws.send.unset)
        profile.SetString("SourcePath", model.SourcePath());
    if (!ws.recv.unset)
        profile.SetString("DestPath", model.DestPath());
    StoreDword(profile, "IsDeleted", ws.isDeleted);
    StoreDword(profile, "RecordTransfers", ws.recordTransfers);
}

std::string OrgMapText(const Workspace& ws)
{
    const std::string eol = ws.lfLineEnds ? "\n" : "\r\n";
    std::string text = "[OrgMapping]" + eol;
    for (const IniLine& line : ws.mapping)
        text += line.key + "=" + line.value + eol;
    return text + "[Suppliers]" + eol + "SID0000=S01" + eol + "Valid0000=1" + eol + "Name0000=北方食品有限公司" + eol
           + "TempSQL=('S01')" + eol;
}

bool WriteIniFiles(const Workspace& ws)
{
    return MakeFile(LongPath(ws, JoinPath(ws.work, L"OrgMap.ini")), OrgMapText(ws))
           && MakeFile(LongPath(ws, JoinPath(ws.work, L"TaskDefine.ini")), kTaskDefine);
}

} // namespace hostile
