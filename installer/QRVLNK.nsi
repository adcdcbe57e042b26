; The setup program of QRVLNK: one program for both architectures. It reads from the host program's
; header whether Windows runs the host as a 32- or 64-bit process and installs the matching QRVLNK.dll
; with qrvcheck.exe and the guide; it places samples in the working directory under names no run reads,
; keeps the replaced version for a roll back, and writes the plug-in folder's own entry in "程序和功能".
; The uninstaller it writes removes that installation (or puts back what was there before the first
; setup, /RESTORE) or, with /ROLLBACK, swaps the current version with the kept one.
;
; makensis -INPUTCHARSET UTF8 -DBIN32=<i686 binaries> -DBIN64=<x86_64 binaries> -DGUIDE=<guide.html>
;          -DSAMPLES=<folder of the INI samples> -DOUTFILE=<setup.exe> [-DCONTACT_NSH=<file>] QRVLNK.nsi
; CONTACT_NSH, when given, defines CONTACT: the distributor's support contact for the entry.
;
; Command line: see SETUP_USAGE and UNINSTALL_USAGE below. Exit codes: 0 everything in place; 1
; cancelled; 2 options or host program not usable (nothing written); 3 QRVLNK.dll in use (nothing
; changed); 4 a step failed (the folder put back; the reason in the log); 5 no kept version to roll back
; to; 6 the folder holds a newer version and a silent setup was not told /ALLOWDOWNGRADE (nothing changed).

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include TextFunc.nsh
!include WordFunc.nsh
!include x64.nsh
!include nsDialogs.nsh
!ifdef CONTACT_NSH
  !include "${CONTACT_NSH}"
!endif
!include Pe.nsh
!include Version.nsh
!include Log.nsh
!include Options.nsh
!include Entry.nsh
!include Replace.nsh

!getdllversion "${BIN32}\QRVLNK.dll" DLL_VERSION_
!define VERSION "${DLL_VERSION_1}.${DLL_VERSION_2}.${DLL_VERSION_3}.${DLL_VERSION_4}"
!define PRODUCT "QRVLNK 分销系统数据接口"
!define PUBLISHER "Quorvane"
!define EXIT_CODES "退出码：0 完成；1 取消；2 参数或者宿主程序不对，什么都没有写；3 QRVLNK.dll正在被使用，什么都没有改动；4 失败，插件文件夹已经恢复原样，原因写在插件文件夹的${LOG_FILE}里"
!define SETUP_USAGE "用法：QRVLNK-${VERSION}-setup.exe [/S] [/HOST=宿主程序] [/PLUGINDIR=插件文件夹] [/WORKDIR=工作目录] [/ALLOWDOWNGRADE]$\r$\n$\r$\n/S：静默安装，不显示向导。$\r$\n/HOST=：宿主程序的程序文件（.exe）的完整路径。$\r$\n/PLUGINDIR=：插件文件夹的完整路径，默认是宿主程序的文件夹（也可以用/D=，写在最后，不加引号）。$\r$\n/WORKDIR=：宿主程序工作目录的完整路径，默认是这个插件文件夹上次安装时的工作目录，第一次安装时是宿主程序的文件夹。$\r$\n/ALLOWDOWNGRADE：静默安装时允许换成比现在旧的版本。$\r$\n/?：显示这段说明。$\r$\n路径里有空格时，把“=”后面的路径或者整个参数放在英文双引号里。$\r$\n$\r$\n${EXIT_CODES}；6 这里的版本比要安装的新，什么都没有改动。"
!define UNINSTALL_USAGE "用法：${UNINSTALLER} [/S] [/ROLLBACK | /RESTORE] [_?=插件文件夹]$\r$\n$\r$\n/S：静默运行。$\r$\n/ROLLBACK：恢复上一版本，把现在的版本和保留的上一版本互换。$\r$\n/RESTORE：卸载，并放回第一次安装以前这个文件夹里原有的QRVLNK。$\r$\n_?=插件文件夹：在原处运行，等它做完再返回退出码（写在最后，不加引号）。$\r$\n/?：显示这段说明。$\r$\n$\r$\n${EXIT_CODES}；5 没有保留的上一版本。"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "QRVLNK ${VERSION}"
SpaceTexts none
ShowInstDetails show
ShowUninstDetails show
UninstallCaption "$Heading"

Var Host         ; the host program
Var Arch         ; i686 or x86_64: how Windows runs the host
Var ArchWhy      ; and why, for the ready page
Var WorkDir      ; the host's working directory
Var HostField
Var OptHost      ; the command line's options
Var OptPluginDir
Var OptWorkDir
Var OptD         ; /D=, the plug-in folder in NSIS's own way
Var OptDowngrade
Var OptHelp
Var Downgrade    ; 1 when the operator agreed to a downgrade
Var Made         ; what this setup made, to be removed when it fails: folders and samples
Var Rollback     ; the uninstaller: 1 rolling back, 1 in Restore to put back the original version
Var Restore
Var RestoreRadio
Var Current      ; the versions of the current, the kept and the original QRVLNK.dll
Var Kept
Var Original
Var Heading      ; the uninstaller's texts, which depend on what it does
Var Subheading
Var Summary
Var DoneHeading
Var DoneSubheading
Var DoneText
Var InPlace      ; 1 when the uninstaller runs from the plug-in folder itself (_?=)
Var AfterPid     ; the uninstaller's copy that deletes it once it has ended: its process, the file's identity
Var RemoveId

!insertmacro PE_FUNCTIONS ""
!insertmacro PE_FUNCTIONS "un."
!insertmacro VERSION_FUNCTIONS ""
!insertmacro VERSION_FUNCTIONS "un."
!insertmacro LOG_FUNCTIONS ""
!insertmacro LOG_FUNCTIONS "un."
!insertmacro OPTIONS_FUNCTIONS ""
!insertmacro OPTIONS_FUNCTIONS "un."
!insertmacro REPLACE_FUNCTIONS ""
!insertmacro REPLACE_FUNCTIONS "un."
!insertmacro ENTRY_FUNCTIONS ""
!insertmacro ENTRY_FUNCTIONS "un."
!define Report '!insertmacro Report ""'
!define un.Report '!insertmacro Report "un."'

!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING
; The details stay on the screen until the operator goes on.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_UNFINISHPAGE_NOAUTOCLOSE

!define MUI_WELCOMEPAGE_TITLE "安装 QRVLNK 分销系统数据接口 ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "QRVLNK是“网商数据交换系统 - QRVHUB”的插件，在分销系统和交换平台之间传送数据文件。$\r$\n$\r$\n安装程序会：$\r$\n● 判断宿主程序是32位还是64位，安装对应的QRVLNK.dll，以及qrvcheck.exe和使用说明；$\r$\n● 在宿主程序的工作目录放入示例文件（运行时不读它们），还没有OrgMap.ini时放入一个空的，已有的文件不动；$\r$\n● 升级时保留原来的版本，需要时可以恢复。$\r$\n$\r$\n请先关闭宿主程序，然后按“下一步”。"
!insertmacro MUI_PAGE_WELCOME

Page custom HostPage HostPageLeave

!define MUI_PAGE_HEADER_TEXT "选择插件文件夹"
!define MUI_PAGE_HEADER_SUBTEXT "QRVLNK.dll、qrvcheck.exe和使用说明放在这个文件夹里。"
!define MUI_DIRECTORYPAGE_TEXT_TOP "宿主程序一般从它自己的文件夹加载接口插件，这里通常不需要改动。$\r$\n$\r$\n只有宿主程序从别的文件夹加载接口插件时，才选择那个文件夹。"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "插件文件夹："
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE PluginDirLeave
!insertmacro MUI_PAGE_DIRECTORY

!define MUI_PAGE_HEADER_TEXT "选择宿主程序的工作目录"
!define MUI_PAGE_HEADER_SUBTEXT "OrgMap.ini和TaskDefine.ini在这个文件夹里。"
!define MUI_DIRECTORYPAGE_TEXT_TOP "工作目录是宿主程序运行时的当前文件夹，通常是宿主程序快捷方式的“起始位置”。最可靠的办法是找08888978.log：宿主程序加载插件以后，工作目录里就有这个空文件。$\r$\n$\r$\n安装程序在这里放入示例OrgMap.示例.ini和TaskDefine.示例.ini，还没有OrgMap.ini时放入一个空的；已有的文件不会被覆盖或改动。"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "工作目录："
!define MUI_DIRECTORYPAGE_VARIABLE $WorkDir
!insertmacro MUI_PAGE_DIRECTORY

Page custom ReadyPage ReadyPageLeave

!insertmacro MUI_PAGE_INSTFILES

!define MUI_FINISHPAGE_TITLE "QRVLNK ${VERSION} 已经安装"
!define MUI_FINISHPAGE_TEXT "插件已安装到$INSTDIR。$\r$\n$\r$\n启动宿主程序，在插件的“接口参数设置”里选择目录、按“应用”，再增加实际的代码对应（示例文件里的只是例子）。第一次检查把没有设定的值列为[错误]，这是正常的。第一次导入以前，请关闭宿主程序再启动一次。"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "在工作目录运行设置检查（qrvcheck.exe --plan）"
!define MUI_FINISHPAGE_RUN_FUNCTION RunCheck
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\${GUIDE_FILE}"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "打开使用说明"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.RestorePage un.RestorePageLeave
!define MUI_PAGE_HEADER_TEXT "$Heading"
!define MUI_PAGE_HEADER_SUBTEXT "$Subheading"
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$Summary"
!define MUI_UNCONFIRMPAGE_TEXT_LOCATION "插件文件夹："
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.ConfirmShow
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_HEADER_TEXT "$Heading"
!define MUI_PAGE_HEADER_SUBTEXT "$Subheading"
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "$DoneHeading"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "$DoneSubheading"
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "$DoneHeading"
!define MUI_FINISHPAGE_TEXT "$DoneText"
!define MUI_FINISHPAGE_TEXT_LARGE
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} ProductName "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} FileDescription "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} FileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} ProductVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} LegalCopyright "${PUBLISHER}"

; --- Both ---------------------------------------------------------------------------------------------

; A path option NAME into VAR: a full path, without a trailing "\" unless it is a drive's root. $R2 is
; the word; $0 gets the message when the value is not a full path.
!macro PathOption NAME VAR
  StrLen $R5 "/${NAME}="
  StrCpy $R6 $R2 $R5
  ${If} $R6 == "/${NAME}="
    StrCpy ${VAR} $R2 "" $R5
    Push ${VAR}
    Call IsFullPath
    Pop $R6
    ${If} $R6 = 0
      StrCpy $0 "“/${NAME}=”后面要写完整的路径，从驱动器号（例如D:\）或者\\服务器\共享开始，现在是“${VAR}”。"
      ${ExitDo}
    ${EndIf}
    StrCpy $R6 ${VAR} 1 -1
    StrLen $R5 ${VAR}
    ${If} $R6 == "\"
    ${AndIf} $R5 > 3
      StrCpy ${VAR} ${VAR} -1
    ${EndIf}
    ${Continue}
  ${EndIf}
!macroend

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

; Stops with the message in $Failed: exit code 4, the message in a box, the details and the log.
!macro FAIL_FUNCTION UN
Function ${UN}Fail
  Push "退出码4：$Failed"
  Call ${UN}LogResult
  MessageBox MB_OK|MB_ICONSTOP $Failed /SD IDOK
  SetErrorLevel 4
  Abort
FunctionEnd
!macroend
!insertmacro FAIL_FUNCTION ""
!insertmacro FAIL_FUNCTION "un."

; --- Installing ---------------------------------------------------------------------------------------

; The options into $OptHost, $OptPluginDir, $OptWorkDir, $OptDowngrade, $OptHelp; /S in any case makes
; the setup silent. NSIS takes /D= off $CMDLINE (and ignores one that is not a full path), so the
; command line is read as Windows gives it: /D= takes the rest of the line, as in NSIS. On the stack: ""
; or what is wrong.
Function ReadOptions
  Push $0
  Push $R0
  Push $R1
  Push $R2
  Push $R5
  Push $R6
  Push $R7
  StrCpy $0 ""
  System::Call 'kernel32::GetCommandLineW() w .R0'
  ; " /D=" and the rest of the line, as NSIS reads it.
  StrCpy $R7 ""
  StrLen $R5 $R0
  ${For} $R1 1 $R5
    StrCpy $R2 $R0 4 $R1
    ${If} $R2 S== " /D="
      IntOp $R2 $R1 + 4
      StrCpy $R7 $R0 "" $R2
      StrCpy $R0 $R0 $R1
      ${ExitFor}
    ${EndIf}
  ${Next}
  StrCpy $R1 0
  Call NextWord   ; the program
  ${Do}
    Call NextWord
    ${If} $R2 == ""
    ${AndIf} $R7 != ""
      StrCpy $R2 "/D=$R7"
      StrCpy $R7 ""
    ${EndIf}
    ${IfThen} $R2 == "" ${|} ${ExitDo} ${|}
    ${If} $R2 == "/S"
      SetSilent silent
      ${Continue}
    ${ElseIf} $R2 == "/NCRC"
      ${Continue}
    ${ElseIf} $R2 == "/?"
      StrCpy $OptHelp 1
      ${Continue}
    ${ElseIf} $R2 == "/ALLOWDOWNGRADE"
      StrCpy $OptDowngrade 1
      ${Continue}
    ${EndIf}
    !insertmacro PathOption HOST $OptHost
    !insertmacro PathOption PLUGINDIR $OptPluginDir
    !insertmacro PathOption WORKDIR $OptWorkDir
    !insertmacro PathOption D $OptD
    StrCpy $0 "不认识参数“$R2”。"
    ${ExitDo}
  ${Loop}
  ${If} $OptD != ""
  ${AndIf} $0 == ""
    ${If} $OptPluginDir != ""
    ${AndIf} $OptPluginDir != $OptD
      StrCpy $0 "/D=和/PLUGINDIR=给出了不同的插件文件夹。"
    ${EndIf}
    StrCpy $OptPluginDir $OptD
  ${EndIf}
  Pop $R7
  Pop $R6
  Pop $R5
  Pop $R2
  Pop $R1
  Pop $R0
  Exch $0
FunctionEnd

; The working directory that the log in $INSTDIR names last, into $0 ("" when none).
Function LoggedWorkDir
  Push $1
  Push $2
  Push $3
  StrCpy $3 ""
  ClearErrors
  FileOpen $1 "$INSTDIR\${LOG_FILE}" r
  ${IfNot} ${Errors}
    ${Do}
      FileRead $1 $2
      ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
      ${TrimNewLines} $2 $2
      StrCpy $0 $2 5
      ${IfThen} $0 == "工作目录：" ${|} StrCpy $3 $2 "" 5 ${|}
    ${Loop}
    FileClose $1
  ${EndIf}
  StrCpy $0 $3
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; The working directory: given on the command line, else the entry's, else the one the log of an
; earlier installation in this folder names, else the host's folder.
Function DefaultWorkDir
  Push $0
  ${If} $OptWorkDir != ""
    StrCpy $WorkDir $OptWorkDir
  ${ElseIf} $EntryWorkDir != ""
    StrCpy $WorkDir $EntryWorkDir
  ${Else}
    Call LoggedWorkDir
    StrCpy $WorkDir $0
    ${If} $WorkDir == ""
    ${AndIf} $Host != ""
      ${GetParent} $Host $WorkDir
    ${EndIf}
  ${EndIf}
  Pop $0
FunctionEnd

; The installation for $Host (or, without one, for /PLUGINDIR, or the only one on this computer): the
; plug-in folder, its entry and the working directory. On the stack: "" or why there is no such.
Function Resolve
  Push $0
  StrCpy $0 ""
  ${If} $Host != ""
    Push HostProgram
    Push $Host
    Call ScanEntries
  ${ElseIf} $OptPluginDir != ""
    Push InstallLocation
    Push $OptPluginDir
    Call ScanEntries
  ${Else}
    Push InstallLocation
    Push ""
    Call ScanEntries
    ${If} $EntryCount = 1
      StrCpy $EntryKey $LastKey
      StrCpy $EntryView $LastView
      Call ReadEntry
    ${ElseIf} $EntryCount > 1
      StrCpy $0 "这台计算机上有$EntryCount份用安装程序装的QRVLNK，请用/HOST=或者/PLUGINDIR=说明安装哪一份。"
    ${EndIf}
  ${EndIf}
  ${If} $OptPluginDir != ""
    StrCpy $INSTDIR $OptPluginDir
  ${ElseIf} $EntryKey != ""
    StrCpy $INSTDIR $EntryDir
  ${ElseIf} $Host != ""
    ${GetParent} $Host $INSTDIR
  ${EndIf}
  ${If} $INSTDIR != ""
    Push InstallLocation
    Push $INSTDIR
    Call ScanEntries
  ${EndIf}
  ${IfThen} $Host == "" ${|} StrCpy $Host $EntryHost ${|}
  Call DefaultWorkDir
  Exch $0
FunctionEnd

; How Windows runs $Host into $Arch and $ArchWhy. On the stack: "" when the host can take the
; plug-in, or else the message that says why not.
Function CheckHost
  Push $0
  StrCpy $Arch i686
  StrCpy $ArchWhy ""
  ${If} $Host == ""
    StrCpy $0 "请选择宿主程序的程序文件（.exe）。"
  ${Else}
    Push $Host
    Call PeMachine
    Pop $0
    ${If} $0 == i686
      StrCpy $ArchWhy "32位Windows程序"
    ${ElseIf} $0 == x86_64
      StrCpy $Arch x86_64
      StrCpy $ArchWhy "64位Windows程序"
    ${ElseIf} $0 == clr32
      StrCpy $ArchWhy ".NET程序，限定以32位运行"
    ${ElseIf} $0 == clr
      ${If} ${RunningX64}
        StrCpy $Arch x86_64
        StrCpy $ArchWhy ".NET程序，没有限定32位，在64位Windows上以64位运行"
      ${Else}
        StrCpy $ArchWhy ".NET程序，在32位Windows上以32位运行"
      ${EndIf}
    ${EndIf}
    ${IfThen} $ArchWhy != "" ${|} StrCpy $0 "" ${|}
  ${EndIf}
  Exch $0
FunctionEnd

; The version of QRVLNK.dll in $INSTDIR, as the next run will find it once it has put back what a
; stopped run left (see Replace.nsh): into $Current.
Function CurrentVersion
  ${If} ${FileExists} "$INSTDIR\${PARK_DIR}\QRVLNK.dll"
    Push "$INSTDIR\${PARK_DIR}\QRVLNK.dll"
  ${ElseIf} ${FileExists} "$INSTDIR\QRVLNK.dll.~old"
    Push "$INSTDIR\QRVLNK.dll.~old"
  ${Else}
    Push "$INSTDIR\QRVLNK.dll"
  ${EndIf}
  Call FileVersion
  Pop $Current
FunctionEnd

; $1 is 1 when the folder holds a newer version than this setup's (sets $Current).
Function IsDowngrade
  Call CurrentVersion
  StrCpy $1 0
  ${If} $Current != ""
    ${VersionCompare} $Current "${VERSION}" $1
    ${IfThen} $1 <> 1 ${|} StrCpy $1 0 ${|}
  ${EndIf}
FunctionEnd

Function .onInit
  StrCpy $INSTDIR ""
  Call ReadOptions
  Pop $1
  ${If} $1 != ""
    MessageBox MB_OK|MB_ICONSTOP "$1$\r$\n$\r$\n${SETUP_USAGE}" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ${If} $OptHelp = 1
    MessageBox MB_OK|MB_ICONINFORMATION "${SETUP_USAGE}" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  StrCpy $Host $OptHost
  Call Resolve
  Pop $0
  ${If} ${Silent}
    ${If} $0 == ""
      Call CheckHost
      Pop $0
    ${EndIf}
    ${If} $0 != ""
      SetErrorLevel 2
      Quit
    ${EndIf}
    Call IsDowngrade
    ${If} $1 = 1
    ${AndIf} $OptDowngrade != 1
      Push "安装QRVLNK ${VERSION}"
      Call LogStart
      Push "退出码6：这里已经是更新的QRVLNK $Current，没有换成${VERSION}（要换成旧版本，请加上/ALLOWDOWNGRADE）。什么都没有改动。"
      Call LogResult
      SetErrorLevel 6
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function HostPage
  !insertmacro MUI_HEADER_TEXT "选择宿主程序" "安装程序根据宿主程序是32位还是64位，安装对应的插件。"
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
  ${If} $0 != $Host
    StrCpy $Host $0
    Call Resolve
    Pop $0
  ${EndIf}
  Push $Host
  Call IsFullPath
  Pop $0
  StrCpy $1 ""
  ${IfThen} $0 = 0 ${|} StrCpy $1 "请写出宿主程序的完整路径，或者按“浏览”选择它。" ${|}
  ${If} $1 == ""
    Call CheckHost
    Pop $1
  ${EndIf}
  ${If} $1 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION $1
    Abort
  ${EndIf}
FunctionEnd

; Another plug-in folder may have an installation of its own, with its working directory.
Function PluginDirLeave
  Push InstallLocation
  Push $INSTDIR
  Call ScanEntries
  Call DefaultWorkDir
FunctionEnd

; What a file in the working directory will get, for the summary: NAME, and what it gets when missing.
!macro SamplePlan NAME MISSING VAR
  ${If} ${FileExists} "$WorkDir\${NAME}"
    StrCpy ${VAR} "${NAME}：已有，保持不动"
  ${Else}
    StrCpy ${VAR} "${NAME}：${MISSING}"
  ${EndIf}
!macroend

Function ReadyPage
  !insertmacro MUI_HEADER_TEXT "准备安装" "请检查下面的内容，然后按“安装”。"
  Call IsDowngrade
  ${If} $Current == ""
    StrCpy $2 "这个文件夹里还没有QRVLNK。"
  ${ElseIf} $Current == "${VERSION}"
    StrCpy $2 "这个文件夹里已经是QRVLNK $Current，将重新安装；保留的上一版本不变。"
  ${Else}
    StrCpy $3 ""
    ${IfThen} ${FileExists} "$INSTDIR\qrvcheck.exe" ${|} StrCpy $3 "和它的qrvcheck.exe" ${|}
    StrCpy $2 "现在的QRVLNK $Current$3保留为上一版本，可以用开始菜单里的“恢复上一版本”换回来。"
    ${IfThen} $1 = 1 ${|} StrCpy $2 "注意：现在的QRVLNK比要安装的版本新。$2" ${|}
  ${EndIf}
  ${If} $Current != ""
  ${AndIf} $EntryKey == ""
    StrCpy $2 "$2$\r$\n    第一次用安装程序安装：现在的QRVLNK $Current另存一份，卸载时可以放回。"
  ${EndIf}
  Push $Arch
  Call Bits
  Pop $1
  !insertmacro SamplePlan OrgMap.ini "放入一个空的" $3
  !insertmacro SamplePlan OrgMap.示例.ini "放入示例" $4
  !insertmacro SamplePlan TaskDefine.示例.ini "放入示例" $5
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 100% "宿主程序：$Host$\r$\n    $ArchWhy，所以安装$1的插件。$\r$\n$\r$\n插件文件夹：$INSTDIR$\r$\n    安装QRVLNK ${VERSION}（$1）。$\r$\n    $2$\r$\n$\r$\n工作目录：$WorkDir$\r$\n    $3$\r$\n    $4$\r$\n    $5"
  Pop $0
  nsDialogs::Show
FunctionEnd

Function ReadyPageLeave
  Call IsDowngrade
  ${If} $1 = 1
  ${AndIf} $OptDowngrade != 1
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$INSTDIR里现在的QRVLNK $Current比要安装的${VERSION}新。$\r$\n$\r$\n要换成旧的${VERSION}吗？现在的版本会保留为上一版本。" IDYES +2
    Abort
    StrCpy $Downgrade 1
  ${EndIf}
FunctionEnd

; The new files in the stage folder, the pair for the host's machine type.
Function Stage
  StrCpy $Stage "$INSTDIR\${NEW_DIR}"
  Push $Stage
  Call MakeDir
  ${If} $Failed == ""
    ClearErrors
    SetOutPath "$INSTDIR\${NEW_DIR}"
    ${If} $Arch == x86_64
      File "${BIN64}\QRVLNK.dll"
      File "${BIN64}\qrvcheck.exe"
    ${Else}
      File "${BIN32}\QRVLNK.dll"
      File "${BIN32}\qrvcheck.exe"
    ${EndIf}
    File "/oname=${GUIDE_FILE}" "${GUIDE}"
    WriteUninstaller "$INSTDIR\${NEW_DIR}\${UNINSTALLER}"
    SetOutPath $INSTDIR
    ${IfThen} ${Errors} ${|} StrCpy $Failed "无法在“$Stage”里写入安装的文件（磁盘满了，或者没有写入权限）。" ${|}
  ${EndIf}
FunctionEnd

; What this setup made, in $Made, to be removed when it fails.
!define MADE_ORGMAP 1
!define MADE_ORGMAP_SAMPLE 2
!define MADE_TASKS_SAMPLE 4
!define MADE_ORIGINAL 8
!define MADE_WORKDIR 16

; A file goes into the working directory only where none of its name is: the move does not replace
; one, not even one that appeared a moment ago. SOURCE "" makes an empty file.
!macro PlaceSample NAME SOURCE FLAG
  ${If} $Failed == ""
  ${AndIfNot} ${FileExists} "$WorkDir\${NAME}"
    !if "${SOURCE}" == ""
      FileOpen $0 "$WorkDir\${NAME}.~new" w
      FileClose $0
    !else
      File "/oname=${NAME}.~new" "${SAMPLES}\${SOURCE}"
    !endif
    !insertmacro Move "" "$WorkDir\${NAME}.~new" "$WorkDir\${NAME}"
    Delete "$WorkDir\${NAME}.~new"
    ${If} $SystemError = 0
      IntOp $Made $Made | ${FLAG}
      ${Report} "在工作目录放入${NAME}"
    ${ElseIf} ${FileExists} "$WorkDir\${NAME}"
      StrCpy $Failed ""
    ${EndIf}
  ${EndIf}
!macroend

!macro RemoveIfMade FLAG COMMAND WHAT
  IntOp $0 $Made & ${FLAG}
  ${If} $0 <> 0
    ${COMMAND}
    ${Report} "已删除这次${WHAT}"
  ${EndIf}
!macroend

Function RemoveMade
  !insertmacro RemoveIfMade ${MADE_ORGMAP} 'Delete "$WorkDir\OrgMap.ini"' "放入工作目录的OrgMap.ini"
  !insertmacro RemoveIfMade ${MADE_ORGMAP_SAMPLE} 'Delete "$WorkDir\OrgMap.示例.ini"' "放入工作目录的OrgMap.示例.ini"
  !insertmacro RemoveIfMade ${MADE_TASKS_SAMPLE} 'Delete "$WorkDir\TaskDefine.示例.ini"' "放入工作目录的TaskDefine.示例.ini"
  !insertmacro RemoveIfMade ${MADE_ORIGINAL} 'RMDir /r "$INSTDIR\${ORIGINAL_DIR}"' "另存的原有版本"
  !insertmacro RemoveIfMade ${MADE_WORKDIR} 'RMDir $WorkDir' "建立的工作目录"
FunctionEnd

; On a first setup, a copy of the files that were there before, for the uninstaller to put back.
Function CopyOriginal
  ${If} $EntryKey == ""
  ${AndIf} ${FileExists} "$INSTDIR\QRVLNK.dll"
  ${AndIfNot} ${FileExists} "$INSTDIR\${ORIGINAL_DIR}\*.*"
    Push "$INSTDIR\${COPY_DIR}"
    Call MakeDir
    ${If} $Failed == ""
      !insertmacro Copy "" "$INSTDIR\QRVLNK.dll" "$INSTDIR\${COPY_DIR}\QRVLNK.dll"
    ${EndIf}
    ${If} $Failed == ""
    ${AndIf} ${FileExists} "$INSTDIR\qrvcheck.exe"
      !insertmacro Copy "" "$INSTDIR\qrvcheck.exe" "$INSTDIR\${COPY_DIR}\qrvcheck.exe"
    ${EndIf}
    ${If} $Failed == ""
      !insertmacro Move "" "$INSTDIR\${COPY_DIR}" "$INSTDIR\${ORIGINAL_DIR}"
    ${EndIf}
    ${If} $Failed == ""
      IntOp $Made $Made | ${MADE_ORIGINAL}
      ${Report} "原有的QRVLNK $Current另存一份在${ORIGINAL_DIR}文件夹里，卸载时可以放回"
    ${Else}
      RMDir /r "$INSTDIR\${COPY_DIR}"
    ${EndIf}
  ${EndIf}
FunctionEnd

; Puts the entry back as it was when this run began.
Function RestoreEntry
  ${If} $EntryDir != ""
    Push $Host
    Push $WorkDir
    StrCpy $Host $EntryHost
    StrCpy $WorkDir $EntryWorkDir
    Call WriteEntry
    Pop $WorkDir
    Pop $Host
  ${Else}
    Call DeleteEntry
  ${EndIf}
FunctionEnd

; Undoes this run's steps and stops with exit code 4.
Function FailAndPutBack
  Call PutBack
  Call RemoveMade
  Call Fail
FunctionEnd

; Shortcuts in the Start-menu folder of this installation: the guide, and the roll back while there is
; a kept version. Failures here change nothing else and are only reported.
Function WriteMenu
  SetShellVarContext all
  StrCpy $0 "$SMPROGRAMS\$EntryKey"
  ClearErrors
  CreateDirectory $0
  CreateShortCut "$0\使用说明.lnk" "$INSTDIR\${GUIDE_FILE}" "" "" "" "" "" "QRVLNK（$INSTDIR）"
  ${If} ${FileExists} "$INSTDIR\${KEPT_DIR}\QRVLNK.dll"
    CreateShortCut "$0\恢复上一版本.lnk" "$INSTDIR\${UNINSTALLER}" /ROLLBACK "" "" "" "" "QRVLNK（$INSTDIR）"
    StrCpy $1 "、$EntryKey\恢复上一版本"
  ${Else}
    Delete "$0\恢复上一版本.lnk"
    StrCpy $1 ""
  ${EndIf}
  ${If} ${Errors}
    ${Report} "注意：开始菜单里的$EntryKey文件夹没能写好"
  ${Else}
    ${Report} "开始菜单：$EntryKey\使用说明$1"
  ${EndIf}
  SetShellVarContext current
FunctionEnd

Section "-Install"
  SetDetailsPrint none
  Push "安装QRVLNK ${VERSION}"
  Call LogStart
  StrCpy $Failed ""
  StrCpy $Made 0
  Call WaitUntilFree
  Call Recover
  ${IfThen} $Failed != "" ${|} Call Fail ${|}
  Push $Arch
  Call Bits
  Pop $1
  ${Report} "宿主程序：$Host（$ArchWhy）"
  ${Report} "安装QRVLNK ${VERSION}（$1）到$INSTDIR"
  Call IsDowngrade
  ${If} $1 = 1
  ${AndIf} $OptDowngrade != 1
  ${AndIf} $Downgrade != 1
    Push "退出码6：这里已经是更新的QRVLNK $Current，没有换成${VERSION}。什么都没有改动。"
    Call LogResult
    SetErrorLevel 6
    Abort
  ${EndIf}
  ; The folders first: nothing is replaced when the working directory cannot be made.
  Push $INSTDIR
  Call MakeDir
  ${If} $Failed == ""
  ${AndIfNot} ${FileExists} "$WorkDir\*.*"
    Push $WorkDir
    Call MakeDir
    ${If} $Failed == ""
      IntOp $Made $Made | ${MADE_WORKDIR}
    ${Else}
      StrCpy $Failed "$Failed$\r$\n这是工作目录，请检查它的驱动器和路径。"
    ${EndIf}
  ${EndIf}
  ${If} $Failed != ""
    StrCpy $Failed "$Failed$\r$\n什么都没有改动。"
    Call Fail
  ${EndIf}
  SetOutPath $WorkDir
  !insertmacro PlaceSample OrgMap.ini "" ${MADE_ORGMAP}
  !insertmacro PlaceSample OrgMap.示例.ini OrgMap.ini ${MADE_ORGMAP_SAMPLE}
  !insertmacro PlaceSample TaskDefine.示例.ini TaskDefine.ini ${MADE_TASKS_SAMPLE}
  SetOutPath $INSTDIR
  ${IfThen} $Failed == "" ${|} Call Stage ${|}
  ${IfThen} $Failed == "" ${|} Call CopyOriginal ${|}
  ${IfThen} $Failed != "" ${|} Call FailAndPutBack ${|}
  StrCpy $Keep 0
  ${If} $Current != ""
  ${AndIf} $Current != "${VERSION}"
    StrCpy $Keep 1
  ${EndIf}
  StrCpy $ParkAll 0
  Call Exchange
  ${IfThen} $Failed != "" ${|} Call FailAndPutBack ${|}
  ${IfThen} $EntryKey == "" ${|} Call NewEntryKey ${|}
  Call WriteEntry
  ${If} ${Errors}
    StrCpy $Failed "无法写入“程序和功能”里的卸载项（需要管理员权限）。"
    Call RestoreEntry
    Call FailAndPutBack
  ${EndIf}
  Call Commit
  ${If} $Failed != ""
    Call RestoreEntry
    Call FailAndPutBack
  ${EndIf}
  ${If} $Keep = 1
    ${Report} "原来的QRVLNK $Current保留为上一版本（${KEPT_DIR}文件夹）"
  ${ElseIf} $Current != ""
    ${Report} "这里原来就是这个版本，保留的上一版本不变"
  ${EndIf}
  ${Report} "已换成新的QRVLNK.dll、qrvcheck.exe、使用说明和卸载程序"
  ${If} ${FileExists} "$INSTDIR\${DROP_DIR}\*.*"
    ${Report} "注意：没能删除$INSTDIR\${DROP_DIR}，下次安装时再删除"
  ${EndIf}
  Call WriteMenu
  ${Report} "程序和功能：${PRODUCT}（$INSTDIR），注册表项$EntryKey"
  Push "工作目录：$WorkDir"
  Call Log
  Push "退出码0：QRVLNK ${VERSION}已经安装。"
  Call LogResult
  SetDetailsPrint both
SectionEnd

; The settings check in the working directory, in a console window of its own that stays open.
Function RunCheck
  SetOutPath $WorkDir
  ExecShell open "$SYSDIR\cmd.exe" '/k title QRVLNK 设置检查&"$INSTDIR\qrvcheck.exe" --plan'
FunctionEnd

; --- Uninstalling and rolling back --------------------------------------------------------------------

; The uninstaller's options into $Rollback, $Restore and $OptHelp. On the stack: "" or what is wrong.
Function un.ReadOptions
  Push $0
  Push $R0
  Push $R1
  Push $R2
  Push $R5
  Push $R6
  Push $R7
  StrCpy $0 ""
  ${GetParameters} $R0
  StrCpy $R1 0
  ${Do}
    Call un.NextWord
    StrCpy $R5 $R2 3
    StrCpy $R6 $R2 7
    StrCpy $R7 $R2 8
    ${If} $R2 == ""
    ${OrIf} $R5 == "_?="
      ${ExitDo}
    ${ElseIf} $R2 == "/S"
      SetSilent silent
    ${ElseIf} $R2 == "/ROLLBACK"
      StrCpy $Rollback 1
    ${ElseIf} $R2 == "/RESTORE"
      StrCpy $Restore 1
    ${ElseIf} $R2 == "/?"
      StrCpy $OptHelp 1
    ${ElseIf} $R6 == "/AFTER="
      StrCpy $AfterPid $R2 "" 7
    ${ElseIf} $R7 == "/REMOVE="
      StrCpy $RemoveId $R2 "" 8
    ${ElseIf} $R2 != "/NCRC"
      StrCpy $0 "不认识参数“$R2”。"
      ${ExitDo}
    ${EndIf}
  ${Loop}
  ${If} $Rollback = 1
  ${AndIf} $Restore = 1
    StrCpy $0 "/ROLLBACK和/RESTORE不能同时用。"
  ${EndIf}
  Pop $R7
  Pop $R6
  Pop $R5
  Pop $R2
  Pop $R1
  Pop $R0
  Exch $0
FunctionEnd

; The texts of an uninstall, which depend on whether the original version goes back.
Function un.RemoveTexts
  StrCpy $Heading "卸载QRVLNK"
  StrCpy $Subheading "删除安装程序装入的文件。"
  StrCpy $0 ""
  ${IfThen} $Kept != "" ${|} StrCpy $0 "、保留的上一版本$Kept" ${|}
  ${IfThen} $Original != "" ${|} StrCpy $0 "$0、原有版本$Original的副本" ${|}
  StrCpy $Summary "将删除安装程序装入的QRVLNK文件（现在的版本$Current$0）、开始菜单里的$EntryKey和“程序和功能”里的这一项。"
  ${IfThen} $Restore = 1 ${|} StrCpy $Summary "$Summary然后放回原有的QRVLNK $Original。" ${|}
  StrCpy $Summary "$Summary请先关闭宿主程序。"
  StrCpy $DoneHeading "QRVLNK 已经卸载"
  StrCpy $DoneSubheading "安装程序装入的文件已经删除。"
  StrCpy $0 "插件文件夹里已经没有QRVLNK。"
  ${IfThen} $Restore = 1 ${|} StrCpy $0 "插件文件夹里放回了原有的QRVLNK $Original。" ${|}
  StrCpy $DoneText "$0$\r$\n$\r$\n下面这些保留未动，需要时请手工处理：$\r$\n● 工作目录（$WorkDir）里的OrgMap.ini、TaskDefine.ini、示例文件，传送记录.csv和较早的传送记录.1.csv等，以及08888978.log（一个空文件，标出宿主程序的工作目录）；$\r$\n● “增加”建立的文件夹，交付文件夹里的Backup备份文件夹，发送目录、接收目录和数据文件存放路径里的文件；$\r$\n● 注册表里每个Windows用户的插件设置（HKEY_CURRENT_USER\Software\Quorvane\QRVLNK）；$\r$\n● 插件文件夹里的安装日志${LOG_FILE}。"
FunctionEnd

Function un.onInit
  StrCpy $Heading "${PRODUCT}"
  Call un.ReadOptions
  Pop $0
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP "$0$\r$\n$\r$\n${UNINSTALL_USAGE}" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ${If} $OptHelp = 1
    MessageBox MB_OK|MB_ICONINFORMATION "${UNINSTALL_USAGE}" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ${If} $AfterPid != ""
    Call un.DeleteUninstaller
    Quit
  ${EndIf}
  Push $EXEDIR
  Call un.FileId
  Pop $0
  Push $INSTDIR
  Call un.FileId
  Pop $1
  StrCpy $InPlace 0
  ${IfThen} $0 == $1 ${|} StrCpy $InPlace 1 ${|}
  Push InstallLocation
  Push $INSTDIR
  Call un.ScanEntries
  StrCpy $Host $EntryHost
  StrCpy $WorkDir $EntryWorkDir
  Call un.CurrentVersions
  ${If} $Rollback = 1
    ${If} $Kept == ""
      Push "恢复上一版本"
      Call un.LogStart
      Push "退出码5：$INSTDIR里没有保留的上一版本，无法恢复。"
      Call un.LogResult
      MessageBox MB_OK|MB_ICONEXCLAMATION "$INSTDIR里没有保留的上一版本，无法恢复。" /SD IDOK
      SetErrorLevel 5
      Quit
    ${EndIf}
    StrCpy $Heading "恢复上一版本"
    StrCpy $Subheading "把现在的版本换成保留的上一版本。"
    StrCpy $Summary "现在的版本：QRVLNK $Current$\r$\n上一版本：QRVLNK $Kept$\r$\n按“恢复”后两个版本互换，再恢复一次就换回来。请先关闭宿主程序。"
    StrCpy $DoneHeading "已经恢复QRVLNK $Kept"
    StrCpy $DoneSubheading "现在的版本和保留的上一版本已经互换。"
    StrCpy $DoneText "现在的版本是QRVLNK $Kept。$\r$\n$\r$\nQRVLNK $Current保留为上一版本，开始菜单里的“恢复上一版本”可以再换回来。$\r$\n$\r$\n设置和INI文件没有改动。"
  ${Else}
    ; The wizard offers to put the original version back, and proposes it.
    ${IfNotThen} ${Silent} ${|} StrCpy $Restore 1 ${|}
    ${IfThen} $Original == "" ${|} StrCpy $Restore 0 ${|}
    Call un.RemoveTexts
  ${EndIf}
FunctionEnd

; The versions in $INSTDIR: $Current, $Kept, $Original.
Function un.CurrentVersions
  Push "$INSTDIR\QRVLNK.dll"
  Call un.FileVersion
  Pop $Current
  Push "$INSTDIR\${KEPT_DIR}\QRVLNK.dll"
  Call un.FileVersion
  Pop $Kept
  Push "$INSTDIR\${ORIGINAL_DIR}\QRVLNK.dll"
  Call un.FileVersion
  Pop $Original
FunctionEnd

; Offered only when there was a QRVLNK before the first setup: put it back, or remove everything.
Function un.RestorePage
  ${If} $Rollback = 1
  ${OrIf} $Original == ""
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "卸载QRVLNK" "放回原有的版本，还是全部删除？"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 30u "第一次用安装程序安装以前，这个文件夹里已经有QRVLNK $Original。安装程序保存了它的一份副本。"
  Pop $0
  ${NSD_CreateRadioButton} 10u 36u 280u 24u "卸载以后放回原有的QRVLNK $Original（宿主程序继续使用它）"
  Pop $RestoreRadio
  ${NSD_CreateRadioButton} 10u 64u 280u 24u "全部删除（宿主程序不再有QRVLNK插件）"
  Pop $0
  ${If} $Restore = 1
    ${NSD_Check} $RestoreRadio
  ${Else}
    ${NSD_Check} $0
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function un.RestorePageLeave
  ${NSD_GetState} $RestoreRadio $0
  StrCpy $Restore 0
  ${IfThen} $0 = ${BST_CHECKED} ${|} StrCpy $Restore 1 ${|}
  Call un.RemoveTexts
FunctionEnd

Function un.ConfirmShow
  ${If} $Rollback = 1
    GetDlgItem $0 $HWNDPARENT 1
    SendMessage $0 ${WM_SETTEXT} 0 "STR:恢复(&R)"
  ${EndIf}
FunctionEnd

; Fails with the message in $Failed after undoing this run's exchange; an entry already deleted or
; changed is written again from the folder as it is then.
Function un.FailAndPutBack
  Call un.PutBack
  ${IfThen} $EntryKey != "" ${|} Call un.WriteEntry ${|}
  Call un.Fail
FunctionEnd

; The kept pair is staged by renaming the kept folder, and takes the current pair's place, which is kept
; in turn: a second roll back undoes the first.
Function un.RollBack
  ${IfNot} ${FileExists} "$INSTDIR\${KEPT_DIR}\QRVLNK.dll"
    Push "退出码5：$INSTDIR里没有保留的上一版本，无法恢复。"
    Call un.LogResult
    SetErrorLevel 5
    Abort
  ${EndIf}
  StrCpy $Stage "$INSTDIR\${BACK_DIR}"
  !insertmacro Move "un." "$INSTDIR\${KEPT_DIR}" $Stage
  ${IfThen} $Failed != "" ${|} Call un.Fail ${|}
  StrCpy $ParkAll 0
  StrCpy $Keep 1
  Call un.Exchange
  ${IfThen} $Failed != "" ${|} Call un.FailAndPutBack ${|}
  ${If} $EntryKey != ""
    Call un.WriteEntry
    ${If} ${Errors}
      StrCpy $Failed "无法更新“程序和功能”里的卸载项（需要管理员权限）。"
      Call un.FailAndPutBack
    ${EndIf}
  ${EndIf}
  Call un.Commit
  ${IfThen} $Failed != "" ${|} Call un.FailAndPutBack ${|}
  ${un.Report} "现在的版本：QRVLNK $Kept"
  ${un.Report} "上一版本：QRVLNK $Current（${KEPT_DIR}文件夹）"
  Push "退出码0：已经恢复QRVLNK $Kept。"
  Call un.LogResult
FunctionEnd

; An uninstaller that runs in place (_?=, as the entry's quiet command runs it) cannot delete or rename
; itself: a copy of it in %TEMP% waits until it has ended and then deletes it, if the file there is
; still the same one (a setup started at once may already have put a new one there).
Function un.DeleteAfterExit
  System::Call 'kernel32::GetCurrentProcessId() i .r0'
  Push "$INSTDIR\${UNINSTALLER}"
  Call un.FileId
  Pop $1
  StrCpy $2 "$TEMP\QRVLNK-uninst-$0.exe"
  !insertmacro Copy "un." $EXEPATH $2
  ${If} $SystemError = 0
    Exec '"$2" /AFTER=$0 /REMOVE=$1 _?=$INSTDIR'
  ${EndIf}
FunctionEnd

; The copy's work: waits for the uninstaller's process (at most a minute), deletes it, and goes itself
; when Windows starts again.
Function un.DeleteUninstaller
  ; SYNCHRONIZE
  System::Call 'kernel32::OpenProcess(i 0x100000, i 0, i $AfterPid) p .r0'
  ${If} $0 <> 0
    System::Call 'kernel32::WaitForSingleObject(p r0, i 60000) i'
    System::Call 'kernel32::CloseHandle(p r0)'
  ${EndIf}
  Push "$INSTDIR\${UNINSTALLER}"
  Call un.FileId
  Pop $0
  ${IfThen} $0 == $RemoveId ${|} Delete "$INSTDIR\${UNINSTALLER}" ${|}
  Delete /REBOOTOK $EXEPATH
FunctionEnd

; Parks every file of the installation (and stages the original ones when they go back), drops the
; kept folder, deletes the entry, then commits; the Start-menu folder and the original copy go last.
Function un.Remove
  StrCpy $Stage "$INSTDIR\${NEW_DIR}"
  ${If} $Restore = 1
    Push $Stage
    Call un.MakeDir
    !insertmacro Copy "un." "$INSTDIR\${ORIGINAL_DIR}\QRVLNK.dll" "$Stage\QRVLNK.dll"
    ${If} ${FileExists} "$INSTDIR\${ORIGINAL_DIR}\qrvcheck.exe"
      !insertmacro Copy "un." "$INSTDIR\${ORIGINAL_DIR}\qrvcheck.exe" "$Stage\qrvcheck.exe"
    ${EndIf}
    ${IfThen} $Failed != "" ${|} Call un.FailAndPutBack ${|}
  ${EndIf}
  StrCpy $ParkAll 1
  StrCpy $Keep 2
  Call un.Exchange
  ${IfThen} $Failed != "" ${|} Call un.FailAndPutBack ${|}
  ${If} $EntryKey != ""
    Call un.DeleteEntry
    ${If} ${Errors}
      StrCpy $Failed "无法删除“程序和功能”里的卸载项（需要管理员权限）。"
      Call un.FailAndPutBack
    ${EndIf}
  ${EndIf}
  Call un.Commit
  ${IfThen} $Failed != "" ${|} Call un.FailAndPutBack ${|}
  RMDir /r "$INSTDIR\${ORIGINAL_DIR}"
  ${If} $EntryKey != ""
    SetShellVarContext all
    Delete "$SMPROGRAMS\$EntryKey\恢复上一版本.lnk"
    Delete "$SMPROGRAMS\$EntryKey\使用说明.lnk"
    RMDir "$SMPROGRAMS\$EntryKey"
    SetShellVarContext current
  ${EndIf}
  ${un.Report} "已从$INSTDIR删除："
  ${un.Report} "    QRVLNK.dll、qrvcheck.exe、${GUIDE_FILE}、${UNINSTALLER}"
  ${IfThen} $Kept != "" ${|} ${un.Report} "已删除保留的上一版本QRVLNK $Kept（${KEPT_DIR}文件夹）" ${|}
  ${If} $Restore = 1
    ${un.Report} "放回了第一次安装以前原有的QRVLNK $Original"
  ${ElseIf} $Original != ""
    ${un.Report} "已删除第一次安装以前原有的QRVLNK $Original的副本（${ORIGINAL_DIR}文件夹）"
  ${EndIf}
  ${un.Report} "已删除开始菜单里的$EntryKey和“程序和功能”里的卸载项"
  ${un.Report} "保留工作目录$WorkDir里的文件和插件的设置"
  Push "工作目录：$WorkDir"
  Call un.Log
  Push "退出码0：QRVLNK已经卸载。"
  Call un.LogResult
  ${IfThen} $InPlace = 1 ${|} Call un.DeleteAfterExit ${|}
FunctionEnd

Section "un.Main"
  SetDetailsPrint none
  StrCpy $Failed ""
  ${If} $Rollback = 1
    Push "恢复上一版本"
  ${ElseIf} $Restore = 1
    Push "卸载，放回原有的版本"
  ${Else}
    Push "卸载"
  ${EndIf}
  Call un.LogStart
  Call un.WaitUntilFree
  Call un.Recover
  ${IfThen} $Failed != "" ${|} Call un.Fail ${|}
  ; What the recovery put back may differ from what the pages showed.
  Call un.CurrentVersions
  ${If} $Rollback = 1
    Call un.RollBack
  ${Else}
    ${IfThen} $Original == "" ${|} StrCpy $Restore 0 ${|}
    Call un.Remove
  ${EndIf}
  SetDetailsPrint both
SectionEnd
