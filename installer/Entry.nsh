; The entry in "程序和功能" (Programs and Features). It lives in the registry view of the installed DLL:
; a 64-bit DLL's entry in the 64-bit view, a 32-bit one's in the 32-bit view (Wow6432Node on 64-bit
; Windows). Besides the values Windows shows, it holds what the next setup and the uninstaller need:
; the host program, the working directory and the kept version.

!define ENTRY_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QRVLNK"
!define UNINSTALLER "QRVLNK-uninst.exe"

!macro ENTRY_FUNCTIONS UN

; The entry of an earlier installation, from either view, into $Host, $INSTDIR and $WorkDir; they
; keep their values when there is none.
Function ${UN}ReadEntry
  Push $0
  ${If} ${RunningX64}
    SetRegView 64
    ReadRegStr $0 HKLM "${ENTRY_KEY}" InstallLocation
  ${EndIf}
  ${If} $0 == ""
    SetRegView 32
    ReadRegStr $0 HKLM "${ENTRY_KEY}" InstallLocation
  ${EndIf}
  ${If} $0 != ""
    StrCpy $INSTDIR $0
    ReadRegStr $Host HKLM "${ENTRY_KEY}" HostProgram
    ReadRegStr $WorkDir HKLM "${ENTRY_KEY}" WorkingDir
  ${EndIf}
  SetRegView 32
  Pop $0
FunctionEnd

Function ${UN}DeleteEntry
  SetRegView 32
  DeleteRegKey HKLM "${ENTRY_KEY}"
  ${If} ${RunningX64}
    SetRegView 64
    DeleteRegKey HKLM "${ENTRY_KEY}"
    SetRegView 32
  ${EndIf}
FunctionEnd

; Adds the size of the file on the stack, in bytes, to $3.
Function ${UN}AddSize
  Exch $0
  Push $1
  ClearErrors
  FileOpen $1 $0 r
  ${IfNot} ${Errors}
    FileSeek $1 0 END $0
    FileClose $1
    IntOp $3 $3 + $0
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Writes the entry for the files in $INSTDIR; the error flag is set when that fails.
Function ${UN}WriteEntry
  Push $0
  Push $1
  Push $2
  Push $3
  Push "$INSTDIR\QRVLNK.dll"
  Call ${UN}PeMachine
  Pop $0
  Push "$INSTDIR\QRVLNK.dll"
  Call ${UN}FileVersion
  Pop $1
  Push "$INSTDIR\${KEPT_DIR}\QRVLNK.dll"
  Call ${UN}FileVersion
  Pop $2
  StrCpy $3 0
  Push "$INSTDIR\QRVLNK.dll"
  Call ${UN}AddSize
  Push "$INSTDIR\qrvcheck.exe"
  Call ${UN}AddSize
  Push "$INSTDIR\使用说明.html"
  Call ${UN}AddSize
  Push "$INSTDIR\${UNINSTALLER}"
  Call ${UN}AddSize
  Push "$INSTDIR\${KEPT_DIR}\QRVLNK.dll"
  Call ${UN}AddSize
  Push "$INSTDIR\${KEPT_DIR}\qrvcheck.exe"
  Call ${UN}AddSize
  IntOp $3 $3 + 1023
  IntOp $3 $3 / 1024
  Call ${UN}DeleteEntry
  ${If} $0 == x86_64
    SetRegView 64
  ${EndIf}
  ClearErrors
  WriteRegStr HKLM "${ENTRY_KEY}" DisplayName "QRVLNK 分销系统数据接口"
  WriteRegStr HKLM "${ENTRY_KEY}" DisplayVersion $1
  WriteRegStr HKLM "${ENTRY_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr HKLM "${ENTRY_KEY}" InstallLocation $INSTDIR
  WriteRegStr HKLM "${ENTRY_KEY}" DisplayIcon "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${ENTRY_KEY}" UninstallString '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${ENTRY_KEY}" QuietUninstallString '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKLM "${ENTRY_KEY}" ModifyPath '"$INSTDIR\${UNINSTALLER}" /ROLLBACK'
  WriteRegDWORD HKLM "${ENTRY_KEY}" NoRepair 1
  WriteRegDWORD HKLM "${ENTRY_KEY}" EstimatedSize $3
  WriteRegStr HKLM "${ENTRY_KEY}" HostProgram $Host
  WriteRegStr HKLM "${ENTRY_KEY}" WorkingDir $WorkDir
  WriteRegStr HKLM "${ENTRY_KEY}" PreviousVersion $2
  SetRegView 32
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

!macroend
