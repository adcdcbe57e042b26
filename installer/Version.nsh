; The file version of a program or DLL from its version resource, as "2.0.0.1"; "" when the file is
; missing or has no version.
;   Push "file"  Call FileVersion  Pop $0

!macro VERSION_FUNCTIONS UN

Function ${UN}FileVersion
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  ClearErrors
  GetDLLVersion $R0 $R1 $R2
  ${If} ${Errors}
    StrCpy $R0 ""
  ${Else}
    IntOp $R0 $R1 >> 16
    IntOp $R0 $R0 & 0xFFFF
    IntOp $R1 $R1 & 0xFFFF
    IntOp $R3 $R2 >> 16
    IntOp $R3 $R3 & 0xFFFF
    IntOp $R2 $R2 & 0xFFFF
    StrCpy $R0 "$R0.$R1.$R3.$R2"
  ${EndIf}
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

!macroend
