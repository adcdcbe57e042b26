; The setup program of QRVLNK: one program for both architectures. It reads from the host program's
; header whether the host is a 32- or 64-bit program and installs the matching QRVLNK.dll with
; qrvcheck.exe and the guide; it places the sample INI files where none exist, keeps the replaced
; version for a roll back, and writes the entry in "程序和功能". The uninstaller it writes removes the
; installation or, with /ROLLBACK, swaps the current version with the kept one.
;
; makensis -INPUTCHARSET UTF8 -DBIN32=<i686 binaries> -DBIN64=<x86_64 binaries> -DGUIDE=<使用说明.html>
;          -DSAMPLES=<folder of the INI samples> -DOUTFILE=<setup.exe> QRVLNK.nsi
;
; Command line (silent installation by an IT department):
;   setup.exe /S /HOST=<host program .exe> [/PLUGINDIR=<plug-in folder>] [/WORKDIR=<working directory>]
;   QRVLNK-uninst.exe /S [/ROLLBACK]
; A value with blanks is quoted after the "=": /HOST="C:\Program Files\QRVHUB\qrvhub.exe". Both folders
; default to the host program's folder, or to those of the earlier installation for the same host.
; Exit codes: 0 everything in place; 1 cancelled; 2 no usable host program (nothing written); 3 QRVLNK.dll
; in use (nothing changed); 4 a file or the registry could not be written; 5 no kept version to roll back to.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include nsDialogs.nsh
!include Pe.nsh
!include Version.nsh
!include Replace.nsh
!include Entry.nsh

!getdllversion "${BIN32}\QRVLNK.dll" DLL_VERSION_
!define VERSION "${DLL_VERSION_1}.${DLL_VERSION_2}.${DLL_VERSION_3}.${DLL_VERSION_4}"
!define PRODUCT "QRVLNK 分销系统数据接口"
!define PUBLISHER "Quorvane"
!define MENU_DIR "$SMPROGRAMS\QRVLNK"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "QRVLNK ${VERSION}"
SpaceTexts none
ShowInstDetails show
ShowUninstDetails show
UninstallCaption "$Heading - ${PRODUCT}"

Var Host       ; the host program
Var Arch       ; i686 or x86_64, from the host program's header
Var WorkDir    ; the host's working directory
Var HostField
Var Rollback   ; 1 when the uninstaller rolls back
Var Current    ; the versions of the current and the kept QRVLNK.dll, for the uninstaller
Var Kept
Var Heading    ; the uninstaller's texts, which depend on what it does
Var Subheading
Var Summary
Var DoneHeading
Var DoneText

!insertmacro PE_FUNCTIONS ""
!insertmacro PE_FUNCTIONS "un."
!insertmacro VERSION_FUNCTIONS ""
!insertmacro VERSION_FUNCTIONS "un."
!insertmacro REPLACE_FUNCTIONS ""
!insertmacro REPLACE_FUNCTIONS "un."
!insertmacro ENTRY_FUNCTIONS ""
!insertmacro ENTRY_FUNCTIONS "un."

!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING
; The details stay on the screen until the operator goes on.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_UNFINISHPAGE_NOAUTOCLOSE

!define MUI_WELCOMEPAGE_TITLE "安装 QRVLNK 分销系统数据接口 ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "QRVLNK是“网商数据交换系统 - QRVHUB”的插件，在分销系统和交换平台之间传送数据文件。$\r$\n$\r$\n安装程序会：$\r$\n● 看宿主程序是32位还是64位，安装对应的QRVLNK.dll，以及qrvcheck.exe和使用说明；$\r$\n● 在宿主程序的工作目录放入示例OrgMap.ini和TaskDefine.ini，已有的不动；$\r$\n● 升级时保留原来的版本，需要时可以恢复。$\r$\n$\r$\n请先关闭宿主程序，然后按“下一步”。"
!insertmacro MUI_PAGE_WELCOME

Page custom HostPage HostPageLeave

!define MUI_PAGE_HEADER_TEXT "选择插件文件夹"
!define MUI_PAGE_HEADER_SUBTEXT "QRVLNK.dll、qrvcheck.exe和使用说明放在这个文件夹里。"
!define MUI_DIRECTORYPAGE_TEXT_TOP "宿主程序从它自己的文件夹加载插件，这里一般不需要改动。$\r$\n$\r$\n只有宿主程序从别的文件夹加载接口插件时，才选择那个文件夹。"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "插件文件夹"
!insertmacro MUI_PAGE_DIRECTORY

!define MUI_PAGE_HEADER_TEXT "选择宿主程序的工作目录"
!define MUI_PAGE_HEADER_SUBTEXT "OrgMap.ini和TaskDefine.ini放在这个文件夹里。"
!define MUI_DIRECTORYPAGE_TEXT_TOP "工作目录是宿主程序运行时的当前文件夹，通常是宿主程序快捷方式的“起始位置”。$\r$\n$\r$\n这里还没有OrgMap.ini或TaskDefine.ini时，安装程序放入示例；已有的文件不会被覆盖或改动。"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "工作目录"
!define MUI_DIRECTORYPAGE_VARIABLE $WorkDir
!insertmacro MUI_PAGE_DIRECTORY

Page custom ReadyPage

!insertmacro MUI_PAGE_INSTFILES

!define MUI_FINISHPAGE_TITLE "QRVLNK ${VERSION} 已经安装"
!define MUI_FINISHPAGE_TEXT "插件已安装到$INSTDIR。$\r$\n$\r$\n启动宿主程序，打开插件的“接口参数设置”：先在“数据文件路径”页选择目录，按“应用”，再在“代码对应”页增加对应。$\r$\n$\r$\n设置检查会列出还缺少什么。"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "在工作目录运行设置检查（qrvcheck.exe --plan）"
!define MUI_FINISHPAGE_RUN_FUNCTION RunCheck
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\使用说明.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "打开使用说明"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!define MUI_PAGE_HEADER_TEXT "$Heading"
!define MUI_PAGE_HEADER_SUBTEXT "$Subheading"
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$Summary"
!define MUI_UNCONFIRMPAGE_TEXT_LOCATION "插件文件夹："
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.ConfirmShow
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_HEADER_TEXT "$Heading"
!define MUI_PAGE_HEADER_SUBTEXT "$Subheading"
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "$DoneHeading"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "$Subheading"
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "$DoneHeading"
!define MUI_FINISHPAGE_TEXT "$DoneText"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} ProductName "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} FileDescription "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} FileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} ProductVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} LegalCopyright "${PUBLISHER}"

; --- Installing ---------------------------------------------------------------------------------------

; A host program given anew: the folders follow it unless they are given after it.
Function SetHost
  Exch $0
  ${If} $0 != $Host
    StrCpy $Host $0
    StrCpy $INSTDIR ""
    StrCpy $WorkDir ""
  ${EndIf}
  Pop $0
FunctionEnd

; Reads the host program's machine type into $Arch and fills the folders that are still empty with its
; folder. On the stack: "" when the host can take the plug-in, or else the message that says why not.
Function CheckHost
  Push $0
  ${If} $Host == ""
    StrCpy $0 "请选择宿主程序的程序文件（.exe）。"
  ${Else}
    Push $Host
    Call PeMachine
    Pop $0
    ${If} $0 == i686
    ${OrIf} $0 == x86_64
      StrCpy $Arch $0
      ${GetParent} $Host $0
      ${IfThen} $INSTDIR == "" ${|} StrCpy $INSTDIR $0 ${|}
      ${IfThen} $WorkDir == "" ${|} StrCpy $WorkDir $0 ${|}
      StrCpy $0 ""
    ${EndIf}
  ${EndIf}
  Exch $0
FunctionEnd

Function .onInit
  Call ReadEntry
  ClearErrors
  ${GetOptions} $CMDLINE "/HOST=" $0
  ${IfNot} ${Errors}
    Push $0
    Call SetHost
  ${EndIf}
  ClearErrors
  ${GetOptions} $CMDLINE "/PLUGINDIR=" $0
  ${IfNotThen} ${Errors} ${|} StrCpy $INSTDIR $0 ${|}
  ClearErrors
  ${GetOptions} $CMDLINE "/WORKDIR=" $0
  ${IfNotThen} ${Errors} ${|} StrCpy $WorkDir $0 ${|}
  ${If} ${Silent}
    Call CheckHost
    Pop $0
    ${If} $0 != ""
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function HostPage
  !insertmacro MUI_HEADER_TEXT "选择宿主程序" "安装程序看宿主程序是32位还是64位，安装对应的插件。"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 30u "请选择“网商数据交换系统 - QRVHUB”的程序文件（.exe）。$\r$\n在宿主程序快捷方式的“属性”里，“目标”就是这个文件。"
  Pop $0
  ${NSD_CreateText} 0 32u 240u 13u $Host
  Pop $HostField
  ${NSD_CreateBrowseButton} 246u 31u 50u 15u "浏览(&R)..."
  Pop $0
  ${NSD_OnClick} $0 BrowseHost
  ${NSD_SetFocus} $HostField
  nsDialogs::Show
FunctionEnd

Function BrowseHost
  ${NSD_GetText} $HostField $0
  nsDialogs::SelectFileDialog open $0 "程序文件 (*.exe)|*.exe|所有文件 (*.*)|*.*"
  Pop $0
  ${IfThen} $0 != "" ${|} ${NSD_SetText} $HostField $0 ${|}
FunctionEnd

Function HostPageLeave
  ${NSD_GetText} $HostField $0
  Push $0
  Call SetHost
  Call CheckHost
  Pop $0
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION $0
    Abort
  ${EndIf}
FunctionEnd

; "32位" or "64位" for the machine type on the stack.
Function Bits
  Exch $0
  ${If} $0 == x86_64
    StrCpy $0 "64位"
  ${Else}
    StrCpy $0 "32位"
  ${EndIf}
  Exch $0
FunctionEnd

; What an INI file in the working directory will get, for the summary.
Function IniPlan
  Exch $0
  ${If} ${FileExists} "$WorkDir\$0"
    StrCpy $0 "$0：已有，保持不动"
  ${Else}
    StrCpy $0 "$0：放入示例"
  ${EndIf}
  Exch $0
FunctionEnd

Function ReadyPage
  !insertmacro MUI_HEADER_TEXT "准备安装" "请检查下面的内容，然后按“安装”。"
  Push $Arch
  Call Bits
  Pop $1
  Push "$INSTDIR\QRVLNK.dll"
  Call FileVersion
  Pop $2
  ${If} $2 == ""
    StrCpy $2 "这个文件夹里还没有QRVLNK。"
  ${ElseIf} $2 == "${VERSION}"
    StrCpy $2 "这个文件夹里已经是QRVLNK $2，将重新安装；保留的上一版本不变。"
  ${Else}
    StrCpy $2 "现在的QRVLNK $2和它的qrvcheck.exe保留为上一版本，可以用开始菜单里的“恢复上一版本”换回。"
  ${EndIf}
  Push OrgMap.ini
  Call IniPlan
  Pop $3
  Push TaskDefine.ini
  Call IniPlan
  Pop $4
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 100% "宿主程序（$1）：$\r$\n    $Host$\r$\n$\r$\n插件文件夹：$\r$\n    $INSTDIR$\r$\n安装QRVLNK ${VERSION}（$1）。$\r$\n$2$\r$\n$\r$\n工作目录：$\r$\n    $WorkDir$\r$\n    $3$\r$\n    $4"
  Pop $0
  nsDialogs::Show
FunctionEnd

; The installation's own lines in the details list; the steps themselves do not show there.
!macro Report TEXT
  SetDetailsPrint listonly
  DetailPrint "${TEXT}"
  SetDetailsPrint none
!macroend
!define Report "!insertmacro Report"

; Stops with the message on the stack (exit code 4).
!macro FAIL_FUNCTION UN
Function ${UN}Fail
  Exch $0
  ${Report} $0
  MessageBox MB_OK|MB_ICONSTOP $0 /SD IDOK
  SetErrorLevel 4
  Abort
FunctionEnd
!macroend
!insertmacro FAIL_FUNCTION ""
!insertmacro FAIL_FUNCTION "un."

Function DropStaged
  Delete "$INSTDIR\QRVLNK.dll${NEW_SUFFIX}"
  Delete "$INSTDIR\qrvcheck.exe${NEW_SUFFIX}"
  Delete "$INSTDIR\使用说明.html${NEW_SUFFIX}"
  Delete "$INSTDIR\${UNINSTALLER}${NEW_SUFFIX}"
FunctionEnd

; The new files under their temporary names, the pair for the host's machine type.
Function Stage
  SetOutPath $INSTDIR
  ${If} $Arch == x86_64
    File "/oname=QRVLNK.dll${NEW_SUFFIX}" "${BIN64}\QRVLNK.dll"
    File "/oname=qrvcheck.exe${NEW_SUFFIX}" "${BIN64}\qrvcheck.exe"
  ${Else}
    File "/oname=QRVLNK.dll${NEW_SUFFIX}" "${BIN32}\QRVLNK.dll"
    File "/oname=qrvcheck.exe${NEW_SUFFIX}" "${BIN32}\qrvcheck.exe"
  ${EndIf}
  File "/oname=使用说明.html${NEW_SUFFIX}" "${GUIDE}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}${NEW_SUFFIX}"
FunctionEnd

; The sample goes into the working directory only where no file of that name is: the move does not
; replace one, not even one that appeared a moment ago.
!macro PlaceSample NAME
  Push ${NAME}
  Call IniPlan
  Pop $1
  ${Report} $1
  ${IfNot} ${FileExists} "$WorkDir\${NAME}"
    File "/oname=${NAME}${NEW_SUFFIX}" "${SAMPLES}\${NAME}"
    ${MoveFile} "$WorkDir\${NAME}${NEW_SUFFIX}" "$WorkDir\${NAME}" ${MOVE_NEW}
    Delete "$WorkDir\${NAME}${NEW_SUFFIX}"
    ${IfNot} ${FileExists} "$WorkDir\${NAME}"
      Push "无法在工作目录$WorkDir里放入${NAME}。"
      Call Fail
    ${EndIf}
  ${EndIf}
!macroend

Section "-Install"
  SetDetailsPrint none
  Call WaitUntilFree
  Push "$INSTDIR\QRVLNK.dll"
  Call FileVersion
  Pop $0
  Push $Arch
  Call Bits
  Pop $1
  ${Report} "安装QRVLNK ${VERSION}（$1）到$INSTDIR"
  ClearErrors
  Call Stage
  ${If} ${Errors}
    Push "无法在$INSTDIR里写入文件。"
    Call Fail
  ${EndIf}
  ${If} $0 == "${VERSION}"
    Push 0
  ${Else}
    Push 1
  ${EndIf}
  Call KeepAndPlace
  ${If} ${Errors}
    Push "无法替换$INSTDIR里的QRVLNK.dll和qrvcheck.exe。"
    Call Fail
  ${EndIf}
  ${If} $0 == "${VERSION}"
    ${Report} "这里原来就是这个版本，保留的上一版本不变"
  ${ElseIf} $0 != ""
    ${Report} "原来的QRVLNK $0保留为上一版本（${KEPT_DIR}文件夹）"
  ${EndIf}
  ${MoveFile} "$INSTDIR\使用说明.html${NEW_SUFFIX}" "$INSTDIR\使用说明.html" ${MOVE_REPLACE}
  ${MoveFile} "$INSTDIR\${UNINSTALLER}${NEW_SUFFIX}" "$INSTDIR\${UNINSTALLER}" ${MOVE_REPLACE}
  ${If} ${Errors}
    Push "无法替换$INSTDIR里的使用说明.html或${UNINSTALLER}。"
    Call Fail
  ${EndIf}
  ${Report} "工作目录$WorkDir"
  CreateDirectory $WorkDir
  SetOutPath $WorkDir
  !insertmacro PlaceSample OrgMap.ini
  !insertmacro PlaceSample TaskDefine.ini
  SetShellVarContext all
  CreateDirectory "${MENU_DIR}"
  CreateShortCut "${MENU_DIR}\恢复上一版本.lnk" "$INSTDIR\${UNINSTALLER}" /ROLLBACK
  CreateShortCut "${MENU_DIR}\使用说明.lnk" "$INSTDIR\使用说明.html"
  SetShellVarContext current
  ${Report} "开始菜单：QRVLNK\恢复上一版本、QRVLNK\使用说明"
  Call WriteEntry
  ${If} ${Errors}
    Push "无法写入“程序和功能”里的卸载项（需要管理员权限）。"
    Call Fail
  ${EndIf}
  ${Report} "程序和功能：${PRODUCT} ${VERSION}"
  SetDetailsPrint both
SectionEnd

Function .onInstFailed
  Call DropStaged
FunctionEnd

; The settings check in the working directory, in a console window of its own that stays open.
Function RunCheck
  SetOutPath $WorkDir
  ExecShell open "$SYSDIR\cmd.exe" '/k title QRVLNK 设置检查&"$INSTDIR\qrvcheck.exe" --plan'
FunctionEnd

; --- Uninstalling and rolling back --------------------------------------------------------------------

Function un.onInit
  StrCpy $0 $INSTDIR
  Call un.ReadEntry
  StrCpy $INSTDIR $0
  Push "$INSTDIR\QRVLNK.dll"
  Call un.FileVersion
  Pop $Current
  Push "$INSTDIR\${KEPT_DIR}\QRVLNK.dll"
  Call un.FileVersion
  Pop $Kept
  ClearErrors
  ${GetOptions} $CMDLINE "/ROLLBACK" $0
  ${If} ${Errors}
    StrCpy $Rollback 0
    StrCpy $Heading "卸载QRVLNK"
    StrCpy $Subheading "删除安装程序装入的文件。"
    StrCpy $Summary "将从下面的插件文件夹删除安装程序装入的文件：QRVLNK.dll（版本$Current）、qrvcheck.exe、使用说明.html、保留的上一版本（${KEPT_DIR}文件夹）和卸载程序，以及开始菜单里的QRVLNK。$\r$\n请先关闭宿主程序。"
    StrCpy $DoneHeading "QRVLNK 已经卸载"
    StrCpy $DoneText "下面这些保留未动，需要时请手工处理：$\r$\n$\r$\n● 工作目录（$WorkDir）里的OrgMap.ini、TaskDefine.ini、传送记录.csv（传送记录）和08888978.log（日志）；$\r$\n● 注册表里每个Windows用户的插件设置（HKEY_CURRENT_USER\Software\Quorvane\QRVLNK）；$\r$\n● 发送目录、接收目录和数据文件存放路径里的文件夹和文件。"
  ${Else}
    StrCpy $Rollback 1
    ${If} $Kept == ""
      MessageBox MB_OK|MB_ICONEXCLAMATION "$INSTDIR里没有保留的上一版本，无法恢复。" /SD IDOK
      SetErrorLevel 5
      Quit
    ${EndIf}
    StrCpy $Heading "恢复上一版本"
    StrCpy $Subheading "用保留的上一版本换回现在的版本。"
    StrCpy $Summary "现在的版本：QRVLNK $Current$\r$\n上一版本：QRVLNK $Kept$\r$\n按“恢复”后两个版本互换，再恢复一次就换回来。请先关闭宿主程序。"
    StrCpy $DoneHeading "已经恢复QRVLNK $Kept"
    StrCpy $DoneText "现在的版本是QRVLNK $Kept。$\r$\n$\r$\nQRVLNK $Current保留为上一版本，开始菜单里的“恢复上一版本”可以再换回来。$\r$\n$\r$\n设置和INI文件没有改动。"
  ${EndIf}
FunctionEnd

Function un.ConfirmShow
  ${If} $Rollback = 1
    GetDlgItem $0 $HWNDPARENT 1
    SendMessage $0 ${WM_SETTEXT} 0 "STR:恢复(&R)"
  ${EndIf}
FunctionEnd

; The kept pair is staged under the temporary names and takes the current pair's place, which is kept
; in turn. A kept folder without qrvcheck.exe gets a copy of the current one back.
Function un.RollBack
  ClearErrors
  ${If} ${FileExists} "$INSTDIR\${KEPT_DIR}\qrvcheck.exe"
    ${MoveFile} "$INSTDIR\${KEPT_DIR}\qrvcheck.exe" "$INSTDIR\qrvcheck.exe${NEW_SUFFIX}" ${MOVE_REPLACE}
  ${Else}
    CopyFiles /SILENT "$INSTDIR\qrvcheck.exe" "$INSTDIR\qrvcheck.exe${NEW_SUFFIX}"
  ${EndIf}
  ${MoveFile} "$INSTDIR\${KEPT_DIR}\QRVLNK.dll" "$INSTDIR\QRVLNK.dll${NEW_SUFFIX}" ${MOVE_REPLACE}
  ${IfNot} ${Errors}
    Push 1
    Call un.KeepAndPlace
  ${EndIf}
  ${If} ${Errors}
    ${MoveFile} "$INSTDIR\QRVLNK.dll${NEW_SUFFIX}" "$INSTDIR\${KEPT_DIR}\QRVLNK.dll" ${MOVE_NEW}
    ${MoveFile} "$INSTDIR\qrvcheck.exe${NEW_SUFFIX}" "$INSTDIR\${KEPT_DIR}\qrvcheck.exe" ${MOVE_NEW}
    Push "无法在$INSTDIR里换回上一版本，现在的版本没有改动。"
    Call un.Fail
  ${EndIf}
  Call un.WriteEntry
  ${If} ${Errors}
    Push "无法更新“程序和功能”里的卸载项（需要管理员权限）。"
    Call un.Fail
  ${EndIf}
  ${Report} "现在的版本：QRVLNK $Kept"
  ${Report} "上一版本：QRVLNK $Current（${KEPT_DIR}文件夹）"
FunctionEnd

Function un.Remove
  ClearErrors
  Delete "$INSTDIR\QRVLNK.dll"
  Delete "$INSTDIR\qrvcheck.exe"
  Delete "$INSTDIR\使用说明.html"
  Delete "$INSTDIR\${KEPT_DIR}\QRVLNK.dll"
  Delete "$INSTDIR\${KEPT_DIR}\qrvcheck.exe"
  ${If} ${Errors}
    Push "无法删除$INSTDIR里的QRVLNK文件。"
    Call un.Fail
  ${EndIf}
  RMDir "$INSTDIR\${KEPT_DIR}"
  ; What a setup that was stopped before its end left under temporary names.
  Delete "$INSTDIR\QRVLNK.dll.~*"
  Delete "$INSTDIR\qrvcheck.exe.~*"
  Delete "$INSTDIR\使用说明.html.~*"
  Delete "$INSTDIR\${UNINSTALLER}.~*"
  Delete "$INSTDIR\${UNINSTALLER}"
  SetShellVarContext all
  Delete "${MENU_DIR}\恢复上一版本.lnk"
  Delete "${MENU_DIR}\使用说明.lnk"
  RMDir "${MENU_DIR}"
  SetShellVarContext current
  Call un.DeleteEntry
  ${Report} "已从$INSTDIR删除："
  ${Report} "    QRVLNK.dll、qrvcheck.exe、使用说明.html、${UNINSTALLER}"
  ${Report} "    ${KEPT_DIR}文件夹（上一版本）"
  ${Report} "已删除开始菜单里的QRVLNK和“程序和功能”里的卸载项"
  ${Report} "保留工作目录$WorkDir里的文件和插件的设置"
FunctionEnd

Section "un.Main"
  SetDetailsPrint none
  Call un.WaitUntilFree
  ${If} $Rollback = 1
    Call un.RollBack
  ${Else}
    Call un.Remove
  ${EndIf}
  SetDetailsPrint both
SectionEnd
