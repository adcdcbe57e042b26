; The entries in "程序和功能" (Programs and Features): one per plug-in folder, each under a key of its
; own below UNINSTALL_KEY ("QRVLNK", "QRVLNK-2", ...), in the registry view of the DLL it installed: a
; 64-bit DLL's entry in the 64-bit view, a 32-bit one's in the 32-bit view (Wow6432Node on 64-bit
; Windows). The Start-menu folder has the key's name. Besides the values Windows shows, an entry holds
; what the next setup and the uninstaller need: the host program, the working directory and the kept
; version. Which entry belongs to a folder or host is decided by what the file system says of both
; paths (volume and file index), never by comparing their spellings.

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define ENTRY_NAME "QRVLNK"
!define UNINSTALLER "QRVLNK-uninst.exe"

Var EntryKey      ; the entry of this installation ("" none yet) and its view (32 or 64)
Var EntryView
Var EntryDir      ; what it held when this run began
Var EntryHost
Var EntryWorkDir
Var EntryCount    ; the number of entries of QRVLNK, and the last one seen
Var LastKey
Var LastView

; One registry view of ScanEntries.
!macro SCAN_VIEW UN VIEW
  SetRegView ${VIEW}
  StrCpy $R3 0
  ${Do}
    EnumRegKey $R4 HKLM "${UNINSTALL_KEY}" $R3
    ${IfThen} $R4 == "" ${|} ${ExitDo} ${|}
    IntOp $R3 $R3 + 1
    StrCpy $R5 $R4 6
    StrCpy $R6 $R4 1 6
    ${IfThen} $R6 == "-" ${|} StrCpy $R6 "" ${|}
    ${If} $R5 == "${ENTRY_NAME}"
    ${AndIf} $R6 == ""
      ; "QRVLNK" or "QRVLNK-<n>" with the values this setup writes.
      ReadRegStr $R5 HKLM "${UNINSTALL_KEY}\$R4" InstallLocation
      ${If} $R5 != ""
        IntOp $EntryCount $EntryCount + 1
        StrCpy $LastKey $R4
        StrCpy $LastView ${VIEW}
        ${If} $R2 != ""
          ReadRegStr $R5 HKLM "${UNINSTALL_KEY}\$R4" $R1
          Push $R5
          Call ${UN}FileId
          Pop $R5
          ${If} $R5 == $R2
            StrCpy $EntryKey $R4
            StrCpy $EntryView ${VIEW}
          ${EndIf}
        ${EndIf}
      ${EndIf}
    ${EndIf}
  ${Loop}
!macroend

; One value of the entry; a failure sets $4.
!macro EntryValue TYPE NAME VALUE
  ClearErrors
  WriteReg${TYPE} HKLM "${UNINSTALL_KEY}\$EntryKey" "${NAME}" `${VALUE}`
  ${IfThen} ${Errors} ${|} StrCpy $4 1 ${|}
!macroend

!macro ENTRY_FUNCTIONS UN

; The identity of a file or folder: "volume:index-high:index-low", "" when it cannot be opened.
;   Push "path"  Call FileId  Pop $0
Function ${UN}FileId
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  ; FILE_READ_ATTRIBUTES, all sharing, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS (for folders).
  System::Call 'kernel32::CreateFileW(w r0, i 0x80, i 7, p 0, i 3, i 0x02000000, p 0) p .r1'
  StrCpy $0 ""
  ${If} $1 <> -1
    System::Alloc 52
    Pop $4
    System::Call 'kernel32::GetFileInformationByHandle(p r1, p r4) i .r2'
    ${If} $2 <> 0
      ; BY_HANDLE_FILE_INFORMATION: the serial number at 28, the index at 44 and 48.
      System::Call '*$4(i, i, i, i, i, i, i, i .r0, i, i, i, i .r2, i .r3)'
      StrCpy $0 "$0:$2:$3"
    ${EndIf}
    System::Free $4
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Counts the entries in both views and finds the one whose value (InstallLocation or HostProgram)
; names the same file or folder as the path ("" finds none): $EntryKey and $EntryView, with its host
; and working directory in $EntryHost and $EntryWorkDir.
;   Push "InstallLocation"  Push $INSTDIR  Call ScanEntries
Function ${UN}ScanEntries
  Exch $R0
  Exch
  Exch $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  StrCpy $R2 ""
  ${If} $R0 != ""
    Push $R0
    Call ${UN}FileId
    Pop $R2
  ${EndIf}
  StrCpy $EntryKey ""
  StrCpy $EntryView ""
  StrCpy $EntryDir ""
  StrCpy $EntryHost ""
  StrCpy $EntryWorkDir ""
  StrCpy $EntryCount 0
  ${If} ${RunningX64}
    !insertmacro SCAN_VIEW "${UN}" 64
  ${EndIf}
  !insertmacro SCAN_VIEW "${UN}" 32
  Call ${UN}ReadEntry
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

; With $EntryKey and $EntryView set: its values into $EntryDir, $EntryHost, $EntryWorkDir.
Function ${UN}ReadEntry
  ${If} $EntryView == 64
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
  ${If} $EntryKey != ""
    ReadRegStr $EntryDir HKLM "${UNINSTALL_KEY}\$EntryKey" InstallLocation
    ReadRegStr $EntryHost HKLM "${UNINSTALL_KEY}\$EntryKey" HostProgram
    ReadRegStr $EntryWorkDir HKLM "${UNINSTALL_KEY}\$EntryKey" WorkingDir
  ${EndIf}
  SetRegView 32
FunctionEnd


; Deletes the entry $EntryKey in its view; the error flag is set when that fails.
Function ${UN}DeleteEntry
  ClearErrors
  ${If} $EntryView == 64
    SetRegView 64
    DeleteRegKey HKLM "${UNINSTALL_KEY}\$EntryKey"
  ${ElseIf} $EntryView == 32
    SetRegView 32
    DeleteRegKey HKLM "${UNINSTALL_KEY}\$EntryKey"
  ${EndIf}
  SetRegView 32
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

; Writes the entry $EntryKey for the files in $INSTDIR, the host $Host and the working directory
; $WorkDir, in the view of the DLL in place ($EntryView), and then removes it from the other view; the
; error flag is set when that fails.
Function ${UN}WriteEntry
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
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
  !insertmacro ForFiles ${UN}AddSize
  IntOp $3 $3 + 1023
  IntOp $3 $3 / 1024
  StrCpy $4 0
  StrCpy $5 $EntryView
  ${If} $0 == x86_64
    StrCpy $EntryView 64
    SetRegView 64
  ${Else}
    StrCpy $EntryView 32
    SetRegView 32
  ${EndIf}
  !insertmacro EntryValue Str DisplayName "${PRODUCT}（$INSTDIR）"
  !insertmacro EntryValue Str DisplayVersion $1
  !insertmacro EntryValue Str Publisher "${PUBLISHER}"
  !insertmacro EntryValue Str InstallLocation $INSTDIR
  !insertmacro EntryValue Str DisplayIcon "$INSTDIR\${UNINSTALLER}"
  !insertmacro EntryValue Str UninstallString '"$INSTDIR\${UNINSTALLER}"'
  ; In place (_?=), so that a deployment tool waits for it and gets its exit code.
  !insertmacro EntryValue Str QuietUninstallString '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR'
  !insertmacro EntryValue DWORD NoRepair 1
  ${If} $2 != ""
    !insertmacro EntryValue Str ModifyPath '"$INSTDIR\${UNINSTALLER}" /ROLLBACK'
    DeleteRegValue HKLM "${UNINSTALL_KEY}\$EntryKey" NoModify
  ${Else}
    DeleteRegValue HKLM "${UNINSTALL_KEY}\$EntryKey" ModifyPath
    !insertmacro EntryValue DWORD NoModify 1
  ${EndIf}
  !insertmacro EntryValue DWORD EstimatedSize $3
  !insertmacro EntryValue Str HostProgram $Host
  !insertmacro EntryValue Str WorkingDir $WorkDir
  !insertmacro EntryValue Str PreviousVersion $2
  !ifdef CONTACT
    !insertmacro EntryValue Str Contact "${CONTACT}"
  !endif
  ${If} $4 = 0
  ${AndIf} $5 != ""
  ${AndIf} $5 != $EntryView
    ${If} $5 == 64
      SetRegView 64
    ${Else}
      SetRegView 32
    ${EndIf}
    ClearErrors
    DeleteRegKey HKLM "${UNINSTALL_KEY}\$EntryKey"
    ${IfThen} ${Errors} ${|} StrCpy $4 1 ${|}
  ${EndIf}
  SetRegView 32
  ClearErrors
  ${IfThen} $4 <> 0 ${|} SetErrors ${|}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

!macroend

; The setup's own.
; A key name for a new entry: the first of QRVLNK, QRVLNK-2, ... that neither view holds and that
; names no Start-menu folder yet.
Function NewEntryKey
  Push $0
  Push $1
  StrCpy $0 1
  SetShellVarContext all
  ${Do}
    StrCpy $EntryKey "${ENTRY_NAME}"
    ${IfThen} $0 > 1 ${|} StrCpy $EntryKey "${ENTRY_NAME}-$0" ${|}
    IntOp $0 $0 + 1
    ${If} ${FileExists} "$SMPROGRAMS\$EntryKey\*.*"
      ${Continue}
    ${EndIf}
    SetRegView 32
    EnumRegValue $1 HKLM "${UNINSTALL_KEY}\$EntryKey" 0
    ${If} $1 == ""
    ${AndIfNot} ${RunningX64}
      ${ExitDo}
    ${EndIf}
    ${If} $1 == ""
      SetRegView 64
      EnumRegValue $1 HKLM "${UNINSTALL_KEY}\$EntryKey" 0
      ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    ${EndIf}
  ${Loop}
  SetShellVarContext current
  SetRegView 32
  StrCpy $EntryView ""
  Pop $1
  Pop $0
FunctionEnd
