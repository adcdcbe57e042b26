; The command line, read word by word: a word ends at a blank outside double quotes, and the quotes
; themselves are dropped, so /HOST="C:\a b\x.exe" and "/HOST=C:\a b\x.exe" are the same option.
; NSIS itself takes /D= and the uninstaller's _?= off the end of the line before the script sees it.
;   Call NextWord   ($R0 the parameters, $R1 the position: the next word in $R2, "" at the end)
;   Push "path"  Call IsFullPath  Pop $0   (1 for "X:\..." or "\\server\share...", else 0)

!macro OPTIONS_FUNCTIONS UN

Function ${UN}NextWord
  Push $R3
  Push $R4
  StrCpy $R2 ""
  StrCpy $R3 0          ; 1 inside quotes
  ${Do}
    StrCpy $R4 $R0 1 $R1
    ${IfThen} $R4 == "" ${|} ${ExitDo} ${|}
    IntOp $R1 $R1 + 1
    ${IfThen} $R4 == "$\t" ${|} StrCpy $R4 " " ${|}
    ${If} $R4 == '"'
      IntOp $R3 1 - $R3
    ${ElseIf} $R3 = 0
    ${AndIf} $R4 == " "
      ${IfThen} $R2 != "" ${|} ${ExitDo} ${|}
    ${Else}
      StrCpy $R2 "$R2$R4"
    ${EndIf}
  ${Loop}
  Pop $R4
  Pop $R3
FunctionEnd

!macroend

; The setup's own.
Function IsFullPath
  Exch $0
  Push $1
  StrCpy $1 $0 2 1
  StrCpy $0 $0 2
  ${If} $1 == ":\"
  ${OrIf} $0 == "\\"
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd
