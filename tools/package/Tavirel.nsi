; The per-user installer of Tavirel, made by scripts/package with makensis.
; Installs into the user's own programs folder without administrator rights,
; adds a Start-menu entry and (optionally) the run-at-login value, and writes
; an uninstaller. Installing over an older copy keeps the user's settings.
;
; The same file is the update package: with "-y -o"DIR"" it unpacks the
; program files silently into DIR and changes nothing else (the running
; program has moved itself aside and restarts afterwards).
;
;   makensis -DVERSION=1.2.3 -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> Tavirel.nsi

Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!ifndef VERSION
  !error "VERSION must be defined"
!endif
!ifndef STAGE
  !error "STAGE must be defined"
!endif
!ifndef OUTFILE
  !error "OUTFILE must be defined"
!endif

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"

!define APP "Tavirel"
!define TRAYCLASS "TavirelTrayWnd"
!define RUNKEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavirel"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
BrandingText "${APP} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1066 "ProductName" "${APP}"
VIAddVersionKey /LANG=1066 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1066 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1066 "FileDescription" "Cài đặt ${APP} ${VERSION}"
VIAddVersionKey /LANG=1066 "LegalCopyright" "${APP}"

Var UpdateMode

!define MUI_ICON "${STAGE}/../Tavirel.ico"
!define MUI_UNICON "${STAGE}/../Tavirel.ico"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tavirel.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Vietnamese"

; Asks a running copy to quit (its hidden window saves the options on
; WM_CLOSE) and waits up to 10 s for it.
!macro CloseRunningCopy un
Function ${un}CloseRunningCopy
  StrCpy $1 0
  loop:
    FindWindow $0 "${TRAYCLASS}"
    ${If} $0 == 0
      Return
    ${EndIf}
    ${If} $1 == 0
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
    IntOp $1 $1 + 1
    ${If} $1 > 100
      Return
    ${EndIf}
    Sleep 100
    Goto loop
FunctionEnd
!macroend
!insertmacro CloseRunningCopy ""
!insertmacro CloseRunningCopy "un."


Section "${APP}" SecProgram
  SectionIn RO
  ${If} $UpdateMode == 0
    Call CloseRunningCopy
  ${EndIf}
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${STAGE}/Tavirel.exe"
  File "${STAGE}/README.md"
  File "${STAGE}/LICENCES.txt"
  SetOutPath "$INSTDIR\Resources"
  File /r "${STAGE}/Resources/*.*"
  SetOutPath "$INSTDIR"
  ${If} $UpdateMode == 1
    ; An installed copy keeps a matching uninstaller; a portable one gets none.
    ${If} ${FileExists} "$INSTDIR\Uninstall.exe"
      WriteUninstaller "$INSTDIR\Uninstall.exe"
      WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
    ${EndIf}
    Return
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\Tavirel.exe" "" "$INSTDIR\Tavirel.exe" 0
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\Tavirel.exe"
  WriteRegStr HKCU "${UNINSTKEY}" "Publisher" "${APP}"
  WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
SectionEnd

Section "Khởi động cùng Windows" SecLogin
  ${If} $UpdateMode == 0
    ; The very value the program's own check box writes and reads.
    WriteRegStr HKCU "${RUNKEY}" "${APP}" '"$INSTDIR\Tavirel.exe" /RunAtLogin'
  ${EndIf}
SectionEnd

Section "-Login off"
  ${If} $UpdateMode == 0
  ${AndIfNot} ${SectionIsSelected} ${SecLogin}
    ReadRegStr $0 HKCU "${RUNKEY}" "${APP}"
    ${If} $0 == '"$INSTDIR\Tavirel.exe" /RunAtLogin'
      DeleteRegValue HKCU "${RUNKEY}" "${APP}"
    ${EndIf}
  ${EndIf}
SectionEnd

Function .onInit
  StrCpy $UpdateMode 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "-y" $R1
  ${IfNot} ${Errors}
    ClearErrors
    ${GetOptions} $R0 "-o" $R2
    ${If} ${Errors}
    ${OrIf} $R2 == ""
      Abort
    ${EndIf}
    ; -o"DIR": the quotes are not part of the folder.
    StrCpy $R3 $R2 1
    ${If} $R3 == '"'
      StrCpy $R2 $R2 "" 1
      StrCpy $R3 $R2 1 -1
      ${If} $R3 == '"'
        StrCpy $R2 $R2 -1
      ${EndIf}
    ${EndIf}
    StrCpy $INSTDIR $R2
    StrCpy $UpdateMode 1
    SetSilent silent
    Return
  ${EndIf}
  ; Installing over an earlier copy: the login choice starts as it was.
  ReadRegStr $0 HKCU "${UNINSTKEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
    ReadRegStr $1 HKCU "${RUNKEY}" "${APP}"
    ${If} $1 == ""
      !insertmacro UnselectSection ${SecLogin}
    ${EndIf}
  ${EndIf}
FunctionEnd

; The uninstaller removes the program; the settings only when the user says
; so (silently: with /RemoveSettings).
Section "Uninstall"
  Call un.CloseRunningCopy
  Delete "$INSTDIR\Tavirel.exe"
  Delete "$INSTDIR\Tavirel.exe.bak"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENCES.txt"
  RMDir /r "$INSTDIR\Resources"
  Delete "$SMPROGRAMS\${APP}.lnk"
  ReadRegStr $0 HKCU "${RUNKEY}" "${APP}"
  ${If} $0 == '"$INSTDIR\Tavirel.exe" /RunAtLogin'
    DeleteRegValue HKCU "${RUNKEY}" "${APP}"
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTKEY}"

  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/RemoveSettings" $R1
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_ICONQUESTION "Xóa cả các lựa chọn, gõ tắt và phím tắt của bạn?" /SD IDNO IDNO keep
  ${EndIf}
  Delete "$INSTDIR\LuaChon.ini"
  Delete "$INSTDIR\GoTat.ini"
  Delete "$INSTDIR\PhimTat.ini"
  Delete "$INSTDIR\KieuGo.ini"
  Delete "$INSTDIR\Suggestion_UsedKeywords.dat"
  RMDir /r "$LOCALAPPDATA\${APP}"
  keep:
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
