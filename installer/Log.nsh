; The installation log: every setup, roll back and uninstall appends what it did, in Chinese, to
; QRVLNK安装日志.txt beside the uninstaller (ANSI text, GBK on a Chinese Windows, CRLF line ends, as
; Notepad reads it). The uninstaller leaves it there. Lines written before the plug-in folder exists
; wait in memory until it does.
;   Push "title"  Call LogStart   (once: the time, the title and the command line)
;   Push "line"   Call Log
;   Push "line"   Call LogResult  (the last line of the run; also shown in the details list)

!define LOG_FILE "QRVLNK安装日志.txt"

Var LogPending

!macro LOG_FUNCTIONS UN

Function ${UN}Log
  Exch $0
  Push $1
  StrCpy $LogPending "$LogPending$0$\r$\n"
  ${If} ${FileExists} "$INSTDIR\*.*"
    ClearErrors
    FileOpen $1 "$INSTDIR\${LOG_FILE}" a
    ${IfNot} ${Errors}
      FileSeek $1 0 END
      FileWrite $1 $LogPending
      FileClose $1
      StrCpy $LogPending ""
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

Function ${UN}LogStart
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  ${GetTime} "" L $1 $2 $3 $4 $5 $6 $7
  ${GetParameters} $4
  ${IfThen} $4 == "" ${|} StrCpy $4 "（无）" ${|}
  Push "$\r$\n==== $3-$2-$1 $5:$6:$7 $0$\r$\n命令行参数：$4"
  Call ${UN}Log
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Function ${UN}LogResult
  Exch $0
  SetDetailsPrint listonly
  DetailPrint $0
  SetDetailsPrint none
  Push "结果：$0"
  Call ${UN}Log
  Pop $0
FunctionEnd

!macroend

; A line of what was done, in the log and in the details list.
!macro Report UN TEXT
  SetDetailsPrint listonly
  DetailPrint "${TEXT}"
  SetDetailsPrint none
  Push "${TEXT}"
  Call ${UN}Log
!macroend
