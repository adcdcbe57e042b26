; Files take their final names only when all of them are ready, and every step leaves a mark on disk from
; which the next run tells how far a stopped one came:
;   stage   the new files wait in QRVLNK.~new\ (setup), or the kept folder is renamed QRVLNK.~kept\ (roll
;           back); a run that finds either and nothing more deletes the first and renames the second back;
;   park    QRVLNK.~old\ is made; each file that a staged one replaces moves into it, or, where the name
;           was free, an empty "<name>.none" says so (the uninstaller parks every name it removes);
;   place   each staged file takes its final name;
;   keep    the kept folder QRVLNK.previous steps aside as QRVLNK.~drop (an empty QRVLNK.~drop is made
;           when there is none), a fresh QRVLNK.previous is made and the parked pair moves into it;
;   commit  QRVLNK.~old moves into QRVLNK.~drop: the one step after which nothing is put back; then
;           QRVLNK.~drop and the empty stage are deleted.
; A failure before the commit, or a run that finds QRVLNK.~old, undoes the steps in reverse: a file of
; the exchange whose staged copy is gone has been placed and goes back to the stage, the parked file
; comes back, and QRVLNK.~drop becomes QRVLNK.previous again. Every move is a MoveFileExW with
; MOVEFILE_WRITE_THROUGH that never replaces a file.
;
; $Stage the stage folder, $ParkAll 1 to park every name (uninstall), $Keep 0 to drop the replaced pair,
; 1 to keep it, 2 to drop the kept folder as well (uninstall). $Failed holds why a step failed ("" none);
; $UndoFailed is 1 when something could not be put back.

!define KEPT_DIR "QRVLNK.previous"
!define ORIGINAL_DIR "QRVLNK.original"   ; what was in the folder before the first setup
!define NEW_DIR "QRVLNK.~new"
!define BACK_DIR "QRVLNK.~kept"
!define PARK_DIR "QRVLNK.~old"
!define DROP_DIR "QRVLNK.~drop"
!define COPY_DIR "QRVLNK.~original"      ; ORIGINAL_DIR while it is being copied
!define GUIDE_FILE "QRVLNK使用说明.html"
; MoveFileExW: MOVEFILE_WRITE_THROUGH only.
!define MOVE_NEW 8

Var Stage
Var ParkAll
Var Keep
Var Failed
Var UndoFailed
Var SystemError

; Calls the function with $R1 set to each name the setup installs in the plug-in folder, or to each of
; the pair that a version consists of.
!macro ForNames FUNCTION
  !insertmacro ForPair ${FUNCTION}
  StrCpy $R1 "${GUIDE_FILE}"
  Call ${FUNCTION}
  StrCpy $R1 "${UNINSTALLER}"
  Call ${FUNCTION}
!macroend

!macro ForPair FUNCTION
  StrCpy $R1 QRVLNK.dll
  Call ${FUNCTION}
  StrCpy $R1 qrvcheck.exe
  Call ${FUNCTION}
!macroend

; Calls the function with every file of the installation on the stack.
!macro ForFiles FUNCTION
  !insertmacro ForDir ${FUNCTION} ""
  Push "$INSTDIR\${GUIDE_FILE}"
  Call ${FUNCTION}
  Push "$INSTDIR\${UNINSTALLER}"
  Call ${FUNCTION}
  !insertmacro ForDir ${FUNCTION} "\${KEPT_DIR}"
  !insertmacro ForDir ${FUNCTION} "\${ORIGINAL_DIR}"
!macroend

!macro ForDir FUNCTION DIR
  Push "$INSTDIR${DIR}\QRVLNK.dll"
  Call ${FUNCTION}
  Push "$INSTDIR${DIR}\qrvcheck.exe"
  Call ${FUNCTION}
!macroend

!macro Move UN FROM TO
  Push "${FROM}"
  Push "${TO}"
  Push "移到"
  Call ${UN}FileOp
!macroend

!macro Copy UN FROM TO
  Push "${FROM}"
  Push "${TO}"
  Push "复制到"
  Call ${UN}FileOp
!macroend

; $R1 takes part in the exchange when its parked file or its mark is there.
!macro IfInExchange
  ${If} ${FileExists} "$INSTDIR\${PARK_DIR}\$R1"
  ${OrIf} ${FileExists} "$INSTDIR\${PARK_DIR}\$R1.none"
!macroend

!macro REPLACE_FUNCTIONS UN

; The Windows error on the stack in words: "拒绝访问。（系统错误5）".
Function ${UN}ErrorText
  Exch $0
  Push $1
  System::Call 'kernel32::FormatMessageW(i 0x1200, p 0, i r0, i 0, w .r1, i ${NSIS_MAX_STRLEN}, p 0) i .s'
  Pop $SystemError
  ${TrimNewLines} $1 $1
  StrCpy $0 "$1（系统错误$0）"
  Pop $1
  Exch $0
FunctionEnd

; Renames FROM (pushed first) to TO without replacing a file ("移到"), or copies it over TO ("复制到",
; pushed last). $SystemError is 0, or the Windows error; a failure also sets $Failed when nothing else
; has failed yet.
Function ${UN}FileOp
  Exch $2
  Exch
  Exch $1
  Exch 2
  Exch $0
  Push $3
  ${If} $2 == "移到"
    System::Call 'kernel32::MoveFileExW(w r0, w r1, i ${MOVE_NEW}) i .r3 ?e'
  ${Else}
    System::Call 'kernel32::CopyFileW(w r0, w r1, i 0) i .r3 ?e'
  ${EndIf}
  Pop $SystemError
  ${If} $3 <> 0
    StrCpy $SystemError 0
  ${ElseIf} $Failed == ""
    Push $SystemError
    Call ${UN}ErrorText
    Pop $3
    StrCpy $Failed "无法把“$0”$2“$1”：$3"
  ${EndIf}
  Pop $3
  Pop $0
  Pop $2
  Pop $1
FunctionEnd

; Makes the folder on the stack unless it is there; sets $Failed when it is not there afterwards.
Function ${UN}MakeDir
  Exch $0
  Push $1
  ${IfNot} ${FileExists} "$0\*.*"
    CreateDirectory $0
    ${IfNot} ${FileExists} "$0\*.*"
    ${AndIf} $Failed == ""
      ; NSIS makes the parents too; the last level tells why.
      System::Call 'kernel32::CreateDirectoryW(w r0, p 0) i .r1 ?e'
      Pop $1
      Push $1
      Call ${UN}ErrorText
      Pop $1
      StrCpy $Failed "无法建立文件夹“$0”：$1"
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Sets $UndoFailed after a move that failed.
Function ${UN}CountUndo
  ${IfThen} $SystemError <> 0 ${|} StrCpy $UndoFailed 1 ${|}
FunctionEnd

Function ${UN}ParkOne
  Push $R2
  StrCpy $R2 0
  ${IfThen} ${FileExists} "$Stage\$R1" ${|} StrCpy $R2 1 ${|}
  ${If} $ParkAll = 1
  ${AndIf} ${FileExists} "$INSTDIR\$R1"
    StrCpy $R2 1
    ; An uninstaller running in place cannot move itself (see un.DeleteAfterExit).
    ${If} $InPlace = 1
    ${AndIf} $R1 == "${UNINSTALLER}"
      StrCpy $R2 0
    ${EndIf}
  ${EndIf}
  ${If} $R2 = 1
  ${AndIf} $Failed == ""
    ${If} ${FileExists} "$INSTDIR\$R1"
      !insertmacro Move "${UN}" "$INSTDIR\$R1" "$INSTDIR\${PARK_DIR}\$R1"
    ${Else}
      ClearErrors
      FileOpen $R2 "$INSTDIR\${PARK_DIR}\$R1.none" w
      ${If} ${Errors}
        StrCpy $Failed "无法在“$INSTDIR\${PARK_DIR}”里写入文件。"
      ${Else}
        FileClose $R2
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Pop $R2
FunctionEnd

Function ${UN}PlaceOne
  ${If} $Failed == ""
  ${AndIf} ${FileExists} "$Stage\$R1"
    !insertmacro IfInExchange
      !insertmacro Move "${UN}" "$Stage\$R1" "$INSTDIR\$R1"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function ${UN}UnplaceOne
  !insertmacro IfInExchange
    ${IfNot} ${FileExists} "$Stage\$R1"
    ${AndIf} ${FileExists} "$INSTDIR\$R1"
      !insertmacro Move "${UN}" "$INSTDIR\$R1" "$Stage\$R1"
      Call ${UN}CountUndo
    ${EndIf}
  ${EndIf}
FunctionEnd

Function ${UN}UnparkOne
  ${If} ${FileExists} "$INSTDIR\${PARK_DIR}\$R1"
    !insertmacro Move "${UN}" "$INSTDIR\${PARK_DIR}\$R1" "$INSTDIR\$R1"
    Call ${UN}CountUndo
  ${EndIf}
  Delete "$INSTDIR\${PARK_DIR}\$R1.none"
FunctionEnd

Function ${UN}KeepOne
  ${If} $Failed == ""
  ${AndIf} ${FileExists} "$INSTDIR\${PARK_DIR}\$R1"
    !insertmacro Move "${UN}" "$INSTDIR\${PARK_DIR}\$R1" "$INSTDIR\${KEPT_DIR}\$R1"
  ${EndIf}
FunctionEnd

Function ${UN}UnkeepOne
  ${If} ${FileExists} "$INSTDIR\${KEPT_DIR}\$R1"
    !insertmacro Move "${UN}" "$INSTDIR\${KEPT_DIR}\$R1" "$INSTDIR\${PARK_DIR}\$R1"
    Call ${UN}CountUndo
  ${EndIf}
FunctionEnd

; Parks, places and keeps as $Stage, $ParkAll and $Keep say; undoes what it did when a step fails.
Function ${UN}Exchange
  Push $R1
  Push "$INSTDIR\${PARK_DIR}"
  Call ${UN}MakeDir
  !insertmacro ForNames ${UN}ParkOne
  !insertmacro ForNames ${UN}PlaceOne
  ${If} $Failed == ""
  ${AndIf} $Keep <> 0
    ${If} ${FileExists} "$INSTDIR\${KEPT_DIR}\*.*"
      !insertmacro Move "${UN}" "$INSTDIR\${KEPT_DIR}" "$INSTDIR\${DROP_DIR}"
    ${ElseIf} $Keep = 1
      Push "$INSTDIR\${DROP_DIR}"
      Call ${UN}MakeDir
    ${EndIf}
    ${If} $Keep = 1
      Push "$INSTDIR\${KEPT_DIR}"
      Call ${UN}MakeDir
      !insertmacro ForPair ${UN}KeepOne
    ${EndIf}
  ${EndIf}
  ${IfThen} $Failed != "" ${|} Call ${UN}Undo ${|}
  Pop $R1
FunctionEnd

; Undoes the steps of an exchange that did not reach its commit.
Function ${UN}Undo
  Push $R1
  StrCpy $UndoFailed 0
  ${If} ${FileExists} "$INSTDIR\${DROP_DIR}\*.*"
    !insertmacro ForPair ${UN}UnkeepOne
    RMDir "$INSTDIR\${KEPT_DIR}"
    ${If} ${FileExists} "$INSTDIR\${KEPT_DIR}\*.*"
      StrCpy $UndoFailed 1
    ${Else}
      !insertmacro Move "${UN}" "$INSTDIR\${DROP_DIR}" "$INSTDIR\${KEPT_DIR}"
      Call ${UN}CountUndo
      ; The empty one made where there was none.
      RMDir "$INSTDIR\${KEPT_DIR}"
    ${EndIf}
  ${EndIf}
  ; The placed files go back to the stage (made again if it is gone).
  CreateDirectory $Stage
  !insertmacro ForNames ${UN}UnplaceOne
  !insertmacro ForNames ${UN}UnparkOne
  RMDir "$INSTDIR\${PARK_DIR}"
  ${IfThen} ${FileExists} "$INSTDIR\${PARK_DIR}\*.*" ${|} StrCpy $UndoFailed 1 ${|}
  Pop $R1
FunctionEnd

; The stage of a run that did not finish: the setup's copies go, the kept folder of a roll back comes back.
Function ${UN}ClearStage
  RMDir /r "$INSTDIR\${NEW_DIR}"
  ${If} ${FileExists} "$INSTDIR\${BACK_DIR}\*.*"
    ${If} ${FileExists} "$INSTDIR\${KEPT_DIR}\*.*"
      RMDir "$INSTDIR\${BACK_DIR}"
    ${Else}
      !insertmacro Move "${UN}" "$INSTDIR\${BACK_DIR}" "$INSTDIR\${KEPT_DIR}"
      Call ${UN}CountUndo
    ${EndIf}
  ${EndIf}
FunctionEnd

; Undoes an exchange that failed in this run and clears its stage; $Failed gets what became of the folder.
Function ${UN}PutBack
  ${IfThen} ${FileExists} "$INSTDIR\${PARK_DIR}\*.*" ${|} Call ${UN}Undo ${|}
  Call ${UN}ClearStage
  ${If} $UndoFailed = 1
    StrCpy $Failed "$Failed$\r$\n插件文件夹没能完全恢复原样；下次运行安装程序或卸载程序时，它先把这里恢复原样。"
  ${Else}
    StrCpy $Failed "$Failed$\r$\n插件文件夹已经恢复原样。"
  ${EndIf}
FunctionEnd

; The commit: afterwards the exchange stands. $Failed is set when it could not be made (nothing is
; put back then: the caller does that).
Function ${UN}Commit
  ${If} ${FileExists} "$INSTDIR\${DROP_DIR}\*.*"
    !insertmacro Move "${UN}" "$INSTDIR\${PARK_DIR}" "$INSTDIR\${DROP_DIR}\${PARK_DIR}"
  ${Else}
    !insertmacro Move "${UN}" "$INSTDIR\${PARK_DIR}" "$INSTDIR\${DROP_DIR}"
  ${EndIf}
  ${If} $Failed == ""
    RMDir /r "$INSTDIR\${DROP_DIR}"
    RMDir "$INSTDIR\${NEW_DIR}"
    RMDir "$INSTDIR\${BACK_DIR}"
  ${EndIf}
FunctionEnd

; What the setup of an earlier version left beside a final name $R1 when it was stopped: "<name>.~old"
; held the file in use before, "<name>.~new" a new or kept one. The one before comes back; a file of
; the pair that stands in its way or waits as ".~new" goes into the kept folder when its name is free
; there (a kept file on its way back), and is deleted otherwise (a copy of a setup program's own).
Function ${UN}RecoverOldStyleOne
  Push $R2
  ${If} ${FileExists} "$INSTDIR\$R1.~old"
    ${If} ${FileExists} "$INSTDIR\$R1"
      StrCpy $R2 "$INSTDIR\$R1"
      Call ${UN}SetAsideOldStyle
    ${EndIf}
    !insertmacro Move "${UN}" "$INSTDIR\$R1.~old" "$INSTDIR\$R1"
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\$R1.~new"
    StrCpy $R2 "$INSTDIR\$R1.~new"
    Call ${UN}SetAsideOldStyle
  ${EndIf}
  Pop $R2
FunctionEnd

Function ${UN}SetAsideOldStyle
  ${If} $R1 == QRVLNK.dll
  ${OrIf} $R1 == qrvcheck.exe
    ${IfNot} ${FileExists} "$INSTDIR\${KEPT_DIR}\$R1"
      Push "$INSTDIR\${KEPT_DIR}"
      Call ${UN}MakeDir
      !insertmacro Move "${UN}" $R2 "$INSTDIR\${KEPT_DIR}\$R1"
      Return
    ${EndIf}
  ${EndIf}
  Delete $R2
FunctionEnd

; Puts back whatever a stopped run left (see the top of this file), before anything else is done.
; $Failed says why when that cannot be done.
Function ${UN}Recover
  Push $R1
  StrCpy $UndoFailed 0
  !insertmacro ForPair ${UN}RecoverOldStyleOne
  StrCpy $R1 "使用说明.html"
  Call ${UN}RecoverOldStyleOne
  StrCpy $R1 "${UNINSTALLER}"
  Call ${UN}RecoverOldStyleOne
  StrCpy $Stage "$INSTDIR\${NEW_DIR}"
  ${IfThen} ${FileExists} "$INSTDIR\${BACK_DIR}\*.*" ${|} StrCpy $Stage "$INSTDIR\${BACK_DIR}" ${|}
  ${IfThen} ${FileExists} "$INSTDIR\${PARK_DIR}\*.*" ${|} Call ${UN}Undo ${|}
  ${IfNot} ${FileExists} "$INSTDIR\${PARK_DIR}\*.*"
    RMDir /r "$INSTDIR\${DROP_DIR}"
  ${EndIf}
  Call ${UN}ClearStage
  RMDir /r "$INSTDIR\${COPY_DIR}"
  ${If} $UndoFailed = 1
  ${OrIf} $Failed != ""
    StrCpy $Failed "一次中断的安装、恢复或卸载留下的文件无法放回原处。$\r$\n$Failed"
  ${EndIf}
  Pop $R1
FunctionEnd

; Sets the error flag when the file is there but a running program holds it: a loaded DLL cannot be
; opened for writing, and a file that another program has open without delete sharing cannot be renamed.
;   Push "file"  Call InUse
Function ${UN}InUse
  Exch $0
  Push $1
  ; GENERIC_WRITE | DELETE, shared for reading, writing and deleting, OPEN_EXISTING.
  System::Call 'kernel32::CreateFileW(w r0, i 0x40010000, i 7, p 0, i 3, i 0x80, p 0) i .r1 ?e'
  Pop $0
  ${If} $1 = -1
    ClearErrors
    ${If} $0 = 32     ; ERROR_SHARING_VIOLATION
    ${OrIf} $0 = 33   ; ERROR_LOCK_VIOLATION
      SetErrors
    ${EndIf}
  ${Else}
    System::Call 'kernel32::CloseHandle(i r1)'
    ClearErrors
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Waits until QRVLNK.dll in $INSTDIR is free, offering to try again; gives up with exit code 3.
Function ${UN}WaitUntilFree
  retry:
  Push "$INSTDIR\QRVLNK.dll"
  Call ${UN}InUse
  IfErrors 0 free
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$INSTDIR\QRVLNK.dll 正在被使用：宿主程序或别的程序加载了它。$\r$\n$\r$\n请关闭宿主程序，然后按“重试”。按“取消”，什么都不会改动。" /SD IDCANCEL IDRETRY retry
  Push "退出码3：$INSTDIR\QRVLNK.dll正在被使用（宿主程序或别的程序加载了它），什么都没有改动。"
  Call ${UN}LogResult
  SetErrorLevel 3
  Abort
  free:
FunctionEnd

!macroend
