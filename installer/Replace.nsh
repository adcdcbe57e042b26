; Files take their final names only when all of them are ready. The new QRVLNK.dll and qrvcheck.exe are
; first written beside their targets as "<name>.~new" (a roll back moves the kept ones there instead);
; then the current pair steps aside as "<name>.~old", the new pair takes the names, and only then does
; the old pair go into the kept folder (one generation: what was kept before is dropped) or away. A
; move that fails puts back the ones before it, so the folder holds the old pair or the new one.

!define KEPT_DIR "QRVLNK.previous"
!define NEW_SUFFIX ".~new"
!define OLD_SUFFIX ".~old"
; MoveFileExW: MOVEFILE_WRITE_THROUGH, with MOVEFILE_REPLACE_EXISTING or without.
!define MOVE_REPLACE 9
!define MOVE_NEW 8

; Renames FROM to TO; the error flag is set when that fails.
!macro MoveFile FROM TO FLAGS
  Push "${TO}"
  Push "${FROM}"
  System::Call 'kernel32::MoveFileExW(w s, w s, i ${FLAGS}) i .s'
  Exch $0
  ${If} $0 = 0
    SetErrors
  ${EndIf}
  Pop $0
!macroend
!define MoveFile "!insertmacro MoveFile"

; Calls the function on QRVLNK.dll and then, if that did not fail, on qrvcheck.exe.
!macro ForBoth FUNCTION
  StrCpy $R1 QRVLNK.dll
  Call ${FUNCTION}
  StrCpy $R1 qrvcheck.exe
  IfErrors +2
  Call ${FUNCTION}
!macroend

!macro REPLACE_FUNCTIONS UN

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
  SetErrorLevel 3
  Abort
  free:
FunctionEnd

; $R1 a name: its file steps aside, or comes back.
Function ${UN}ParkOne
  ${If} ${FileExists} "$INSTDIR\$R1"
    ${MoveFile} "$INSTDIR\$R1" "$INSTDIR\$R1${OLD_SUFFIX}" ${MOVE_REPLACE}
  ${EndIf}
FunctionEnd

Function ${UN}UnparkOne
  ${IfNot} ${FileExists} "$INSTDIR\$R1"
  ${AndIf} ${FileExists} "$INSTDIR\$R1${OLD_SUFFIX}"
    ${MoveFile} "$INSTDIR\$R1${OLD_SUFFIX}" "$INSTDIR\$R1" ${MOVE_NEW}
  ${EndIf}
FunctionEnd

; $R1 a name: the new file takes it, or gives it back.
Function ${UN}PlaceOne
  ${MoveFile} "$INSTDIR\$R1${NEW_SUFFIX}" "$INSTDIR\$R1" ${MOVE_NEW}
FunctionEnd

Function ${UN}UnplaceOne
  ${IfNot} ${FileExists} "$INSTDIR\$R1${NEW_SUFFIX}"
  ${AndIf} ${FileExists} "$INSTDIR\$R1"
    ${MoveFile} "$INSTDIR\$R1" "$INSTDIR\$R1${NEW_SUFFIX}" ${MOVE_NEW}
  ${EndIf}
FunctionEnd

; $R1 a name: the old file goes into the kept folder ($R0 = 1) or away.
Function ${UN}KeepOne
  ${If} ${FileExists} "$INSTDIR\$R1${OLD_SUFFIX}"
    ${If} $R0 = 1
      CreateDirectory "$INSTDIR\${KEPT_DIR}"
      ${MoveFile} "$INSTDIR\$R1${OLD_SUFFIX}" "$INSTDIR\${KEPT_DIR}\$R1" ${MOVE_REPLACE}
    ${Else}
      Delete "$INSTDIR\$R1${OLD_SUFFIX}"
    ${EndIf}
  ${EndIf}
FunctionEnd

; With both new files staged: the current pair is replaced and kept as the previous version when
; the number on the stack is 1, dropped when it is 0. The error flag is set when the pair could not
; be replaced (nothing has changed then) or not be kept (the new pair is in place).
;   Push 1  Call KeepAndPlace
Function ${UN}KeepAndPlace
  Exch $R0
  Push $R1
  Push $0
  ; A pair that stepped aside in a run that was stopped before its end comes back first.
  !insertmacro ForBoth ${UN}UnparkOne
  Delete "$INSTDIR\QRVLNK.dll${OLD_SUFFIX}"
  Delete "$INSTDIR\qrvcheck.exe${OLD_SUFFIX}"
  ClearErrors
  !insertmacro ForBoth ${UN}ParkOne
  ${If} ${Errors}
    Goto unpark
  ${EndIf}
  !insertmacro ForBoth ${UN}PlaceOne
  ${If} ${Errors}
    Goto unplace
  ${EndIf}
  !insertmacro ForBoth ${UN}KeepOne
  Goto done
  unplace:
  StrCpy $R1 QRVLNK.dll
  Call ${UN}UnplaceOne
  StrCpy $R1 qrvcheck.exe
  Call ${UN}UnplaceOne
  unpark:
  StrCpy $R1 QRVLNK.dll
  Call ${UN}UnparkOne
  StrCpy $R1 qrvcheck.exe
  Call ${UN}UnparkOne
  SetErrors
  done:
  Pop $0
  Pop $R1
  Pop $R0
FunctionEnd

!macroend
