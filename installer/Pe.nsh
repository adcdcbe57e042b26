; The processor a program is made for, read from its header: "MZ" at the start, at 0x3C the offset of
; the new header; "PE\0\0" there, followed by the machine type, for a 32- or 64-bit Windows program.
; Anything else after "MZ" (no new header, "NE", "LE") is a DOS or 16-bit program. A 32-bit header
; may carry a .NET (CLR) header (data directory 14) whose flags say how Windows runs it: IL only
; without 32BITREQUIRED (0x2) or 32BITPREFERRED (0x20000) runs as a 64-bit process on 64-bit Windows.
;   Push "file"  Call PeMachine  Pop $0
; gives "i686", "x86_64", "clr32" (.NET, held to 32 bits), "clr" (.NET, runs as Windows' own bitness),
; or else a message for the operator that says why the plug-in cannot go beside that program.

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

; $R1 an open 32-bit program, $R5 the offset of its "PE\0\0": $R4 is the flags of its CLR header,
; -1 when it has none. The header's address is relative to the loaded image, so it is found in the
; section that holds it.
Function ${UN}PeClrFlags
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $R4 -1
  IntOp $0 $R5 + 24            ; the optional header
  StrCpy $R2 $0
  StrCpy $R3 2
  Call ${UN}PeNumber
  ${If} $R4 = 0x10B            ; PE32
    IntOp $R2 $0 + 92          ; NumberOfRvaAndSizes
    StrCpy $R3 4
    Call ${UN}PeNumber
    ${If} $R4 > 14
      IntOp $R2 $0 + 208       ; data directory 14: the CLR header's address
      Call ${UN}PeNumber
      StrCpy $1 $R4
      StrCpy $R4 -1
      ${If} $1 > 0
        IntOp $R2 $R5 + 20     ; SizeOfOptionalHeader: the section table follows it
        StrCpy $R3 2
        Call ${UN}PeNumber
        IntOp $2 $0 + $R4
        IntOp $R2 $R5 + 6      ; NumberOfSections
        Call ${UN}PeNumber
        IntOp $3 $2 + 0
        IntOp $2 $R4 * 40
        IntOp $2 $2 + $3
        IntOp $2 $2 - 1        ; the last byte of the table
        StrCpy $R3 4
        ${For} $3 $3 $2
          IntOp $R2 $3 + 12    ; VirtualAddress
          Call ${UN}PeNumber
          StrCpy $0 $R4
          IntOp $R2 $3 + 16    ; SizeOfRawData, or VirtualSize when that is larger
          Call ${UN}PeNumber
          StrCpy $R2 $R4
          Push $R2
          IntOp $R2 $3 + 8
          Call ${UN}PeNumber
          Pop $R2
          ${IfThen} $R4 > $R2 ${|} StrCpy $R2 $R4 ${|}
          IntOp $R2 $R2 + $0
          ${If} $1 >= $0
          ${AndIf} $1 < $R2
            IntOp $R2 $3 + 20  ; PointerToRawData
            Call ${UN}PeNumber
            IntOp $R2 $R4 + $1
            IntOp $R2 $R2 - $0
            IntOp $R2 $R2 + 16 ; IMAGE_COR20_HEADER.Flags
            Call ${UN}PeNumber
            ${ExitFor}
          ${EndIf}
          StrCpy $R4 -1
          IntOp $3 $3 + 39
        ${Next}
      ${EndIf}
    ${Else}
      StrCpy $R4 -1
    ${EndIf}
  ${Else}
    StrCpy $R4 -1
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Function ${UN}PeMachine
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
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
      StrCpy $R5 $R4
      StrCpy $R2 $R4
      Call ${UN}PeNumber
      ${If} $R4 <> 0x4550
        StrCpy $R0 "“$R0”是DOS或16位Windows程序，不能加载QRVLNK插件。请选择宿主程序的程序文件（.exe）。"
      ${Else}
        IntOp $R2 $R5 + 4
        StrCpy $R3 2
        Call ${UN}PeNumber
        ${If} $R4 = 0x014C
          StrCpy $R0 i686
          Call ${UN}PeClrFlags
          ${If} $R4 <> -1
            StrCpy $R0 clr32
            IntOp $R2 $R4 & 0x20003
            ${IfThen} $R2 = 1 ${|} StrCpy $R0 clr ${|}
          ${EndIf}
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
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

!macroend
