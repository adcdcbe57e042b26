; The processor a program is made for, read from its header: "MZ" at the start, at 0x3C the offset of
; the new header; "PE\0\0" there, followed by the machine type, for a 32- or 64-bit Windows program.
; Anything else after "MZ" (no new header, "NE", "LE") is a DOS or 16-bit program.
;   Push "file"  Call PeMachine  Pop $0
; gives "i686" or "x86_64", or else a message for the operator that says why the plug-in cannot go
; beside that program.

!macro PE_FUNCTIONS UN

; $R1 an open file, $R2 an offset, $R3 a byte count: $R4 is the little-endian number there, -1 past the end.
Function ${UN}PeNumber
  Push $R5
  Push $R6
  Push $R7
  StrCpy $R4 -1
  ${If} $R2 >= 0
    FileSeek $R1 $R2 SET
    StrCpy $R4 0
    ${For} $R5 1 $R3
      ClearErrors
      FileReadByte $R1 $R6
      ${If} ${Errors}
        StrCpy $R4 -1
        ${ExitFor}
      ${EndIf}
      IntOp $R7 $R5 - 1
      IntOp $R7 $R7 * 8
      IntOp $R6 $R6 << $R7
      IntOp $R4 $R4 | $R6
    ${Next}
  ${EndIf}
  Pop $R7
  Pop $R6
  Pop $R5
FunctionEnd

Function ${UN}PeMachine
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  ClearErrors
  FileOpen $R1 $R0 r
  ${If} ${Errors}
    StrCpy $R0 "无法读取“$R0”：文件不存在，或者没有读取它的权限。"
  ${Else}
    StrCpy $R2 0
    StrCpy $R3 2
    Call ${UN}PeNumber
    ${If} $R4 <> 0x5A4D
      StrCpy $R0 "“$R0”不是Windows程序。请选择宿主程序的程序文件（.exe）。"
    ${Else}
      StrCpy $R2 0x3C
      StrCpy $R3 4
      Call ${UN}PeNumber
      StrCpy $R2 $R4
      Call ${UN}PeNumber
      ${If} $R4 <> 0x4550
        StrCpy $R0 "“$R0”是DOS或16位Windows程序，不能加载QRVLNK插件。请选择宿主程序的程序文件（.exe）。"
      ${Else}
        IntOp $R2 $R2 + 4
        StrCpy $R3 2
        Call ${UN}PeNumber
        ${If} $R4 = 0x014C
          StrCpy $R0 i686
        ${ElseIf} $R4 = 0x8664
          StrCpy $R0 x86_64
        ${ElseIf} $R4 = 0x01C0
        ${OrIf} $R4 = 0x01C2
        ${OrIf} $R4 = 0x01C4
        ${OrIf} $R4 = 0xAA64
          StrCpy $R0 "“$R0”是ARM处理器的程序。QRVLNK插件只有x86处理器的32位和64位版本，不能装在它旁边。"
        ${Else}
          IntFmt $R4 "0x%04X" $R4
          StrCpy $R0 "“$R0”是其他处理器（机器类型$R4）的程序。QRVLNK插件只有x86处理器的32位和64位版本，不能装在它旁边。"
        ${EndIf}
      ${EndIf}
    ${EndIf}
    FileClose $R1
  ${EndIf}
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

!macroend
