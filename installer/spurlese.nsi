; Spurlese's setup: per user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Spurlese, with a Start menu entry that starts the program in its own
; folder, an entry in "Apps" to remove it again, and an update that keeps the user's settings and
; a strings64.exe of their own. /S installs and uninstalls silently.
;
;   makensis -DVERSION=0.1.0 -DSOURCE=<folder of the zip's files> -DICON=<spurlese.ico>
;            -DOUTFILE=<Spurlese-0.1.0-setup.exe> installer/spurlese.nsi
Target amd64-unicode  ; a 64-bit setup, as the program is
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define NAME "Spurlese"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Spurlese"
!define MAIN_CLASS "SpurleseMainWindow"
; What the setup puts into the folder; the uninstaller removes exactly these (and strings64.exe
; only while it is the one the setup put there).
!macro OUR_FILES DO
  !insertmacro ${DO} "Spurlese.exe"
  !insertmacro ${DO} "spurlese_strings.exe"
  !insertmacro ${DO} "Spurlese.chm"
  !insertmacro ${DO} "README.txt"
  !insertmacro ${DO} "LICENSE.txt"
!macroend

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Spurlese"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1031 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1031 "CompanyName" "${NAME}"
VIAddVersionKey /LANG=1031 "FileDescription" "Spurlese ${VERSION} einrichten"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "LegalCopyright" "MIT-Lizenz"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Spurlese findet heraus, welche Bilder und Videos des Familienarchivs die Photostory-Projekte verwenden.$\r$\n$\r$\nSpurlese wird nur für Sie eingerichtet; Administratorrechte sind nicht nötig.$\r$\n$\r$\nKlicken Sie auf Weiter, um fortzufahren."
!define MUI_FINISHPAGE_RUN "$INSTDIR\Spurlese.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Spurlese jetzt starten"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE LeaveDirectory
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

Var stamp  ; set by ExtractorStamp

; The size and last change of the folder's strings64.exe, as "size:high:low", or "" for none:
; what the setup wrote down when it put its own there tells it apart from one the user put there.
!macro DefineExtractorStamp PREFIX
  Function ${PREFIX}ExtractorStamp
    StrCpy $stamp ""
    ClearErrors
    FileOpen $0 "$INSTDIR\strings64.exe" r
    ${IfNot} ${Errors}
      FileSeek $0 0 END $1
      FileClose $0
      GetFileTime "$INSTDIR\strings64.exe" $2 $3
      StrCpy $stamp "$1:$2:$3"
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro DefineExtractorStamp ""
!insertmacro DefineExtractorStamp "un."

; Spurlese still running: asked to close it (a silent run ends with exit code 2).
!macro WaitForProgramToClose
  ${Do}
    FindWindow $0 "${MAIN_CLASS}"
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Spurlese läuft noch. Bitte schließen Sie Spurlese und klicken Sie dann auf Wiederholen." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    retry:
  ${Loop}
!macroend

; A folder under "Program Files" is refused: Spurlese runs with the user's rights and could not
; keep Spurlese.ini there. Sets $0 to the reason, or "".
Function RefusedFolder
  StrCpy $0 ""
  ${ForEach} $1 0 1 + 1
    ${If} $1 == 0
      StrCpy $2 $PROGRAMFILES64
    ${Else}
      StrCpy $2 $PROGRAMFILES32
    ${EndIf}
    StrLen $3 $2
    StrCpy $4 $INSTDIR $3
    StrCpy $5 $INSTDIR 1 $3
    ${If} $4 == $2
    ${AndIf} $5 == "\"
    ${OrIf} $INSTDIR == $2
      StrCpy $0 "Der Ordner $INSTDIR liegt unter $2. Spurlese läuft mit Ihren eigenen Rechten und könnte dort seine Einstellungen (Spurlese.ini) nicht speichern. Bitte wählen Sie einen Ordner, in den Sie schreiben dürfen, etwa $LOCALAPPDATA\Programs\Spurlese."
    ${EndIf}
  ${Next}
FunctionEnd

Function LeaveDirectory
  Call RefusedFolder
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "$0"
    Abort
  ${EndIf}
FunctionEnd

Function .onInit
  SetShellVarContext current
  !insertmacro WaitForProgramToClose
FunctionEnd

Function StartProgram
  SetOutPath "$INSTDIR"  ; the program finds strings64.exe and its settings in its working folder
  Exec '"$INSTDIR\Spurlese.exe"'
FunctionEnd

Section "Spurlese" SecProgram
  SectionIn RO
  Call RefusedFolder
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  SetOutPath "$INSTDIR"
  !macro INSTALL_ONE FILE
    File "${SOURCE}\${FILE}"
  !macroend
  !insertmacro OUR_FILES INSTALL_ONE

  ; Our extractor as strings64.exe only where none is, or where it is still the one we put there.
  Call ExtractorStamp
  ReadRegStr $4 HKCU "${UNINSTALL_KEY}" "ExtractorStamp"
  ${If} $stamp == ""
  ${OrIf} $stamp == $4
    File "/oname=strings64.exe" "${SOURCE}\spurlese_strings.exe"
    Call ExtractorStamp
  ${Else}
    StrCpy $stamp ""
    DetailPrint "Ihr eigenes strings64.exe bleibt erhalten."
    MessageBox MB_OK|MB_ICONINFORMATION "Im Ordner liegt schon ein strings64.exe, etwa das von Sysinternals. Es bleibt erhalten, und Spurlese verwendet es. Unser eigener Extraktor liegt daneben als spurlese_strings.exe." /SD IDOK
  ${EndIf}

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Spurlese.lnk" "$INSTDIR\Spurlese.exe" "" "$INSTDIR\Spurlese.exe" 0 \
    SW_SHOWNORMAL "" "Welche Bilder und Videos benutzen die Photostory-Projekte?"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Spurlese.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegStr HKCU "${UNINSTALL_KEY}" "ExtractorStamp" "$stamp"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Verknüpfung auf dem Desktop" SecDesktop
  SetOutPath "$INSTDIR"
  CreateShortCut "$DESKTOP\Spurlese.lnk" "$INSTDIR\Spurlese.exe" "" "$INSTDIR\Spurlese.exe" 0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "Spurlese, der Extraktor und die Hilfe; ein Eintrag im Startmenü."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "Eine Verknüpfung zu Spurlese auf dem Desktop."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
  SetShellVarContext current
  !insertmacro WaitForProgramToClose
FunctionEnd

Section "Uninstall"
  !macro REMOVE_ONE FILE
    Delete "$INSTDIR\${FILE}"
  !macroend
  !insertmacro OUR_FILES REMOVE_ONE
  ; strings64.exe only while it is the one the setup put there: never the user's own.
  Call un.ExtractorStamp
  ReadRegStr $2 HKCU "${UNINSTALL_KEY}" "ExtractorStamp"
  ${If} $stamp != ""
  ${AndIf} $stamp == $2
    Delete "$INSTDIR\strings64.exe"
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\Spurlese.ini"
    MessageBox MB_YESNO|MB_ICONQUESTION "Sollen auch Ihre Einstellungen (Spurlese.ini: Position und Größe des Fensters) entfernt werden?" /SD IDNO IDNO +2
    Delete "$INSTDIR\Spurlese.ini"
  ${EndIf}
  Delete "$INSTDIR\Uninstall.exe"
  Delete "$SMPROGRAMS\Spurlese.lnk"
  Delete "$DESKTOP\Spurlese.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Only an empty folder goes: whatever the user put there stays.
  RMDir "$INSTDIR"
SectionEnd
