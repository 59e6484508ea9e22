; Vellum's setup program. The build defines VERSION, BIN (the folder of the built programs),
; ROOT (the source tree) and OUTFILE. Everything that needs more than copying files and
; writing the Uninstall entry is done by vellum-setup-helper.exe, which this script only calls.
;
; Command line: /S silent, /D=<folder> the installation folder (last, unquoted),
; /DRIVER=<name> or /REDRUN=<path> for the printer (a driver other than the system's
; PostScript class driver, a RedRun that is not beside RedMon), and the machine's saving
; defaults for silent deployments: /SAVEMODE=ask|auto, /AUTODIR=<folder>,
; /QUALITY=default|screen|ebook|printer|prepress, /PDFA=0|2, /AUTOEXISTING=unique|append,
; /AUTONAME=<template>.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include TextFunc.nsh

!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Vellum"
!define SETTINGS_KEY "SOFTWARE\Vellum"
!define HELPER "vellum-setup-helper.exe"
!define GS_DOWNLOAD "https://ghostscript.com/releases/gsdnld.html"
!define REDMON_DOWNLOAD "https://www.ghostgum.com.au/software/redmon.htm"

Name "Vellum ${VERSION}"
OutFile "${OUTFILE}"
; An earlier installation is upgraded where it is.
InstallDir "$PROGRAMFILES64\Vellum"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Vellum ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Vellum"
VIAddVersionKey "CompanyName" "Vellum"
VIAddVersionKey "FileDescription" "Vellum setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT licence"

!define MUI_ICON "${ROOT}/src/startup/win32/configure.ico"
!define MUI_UNICON "${ROOT}/src/startup/win32/configure.ico"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup installs Vellum ${VERSION}, which turns whatever you print to the printer $\"Vellum PDF$\" into a PDF document.$\r$\n$\r$\nVellum needs Ghostscript (64-bit) to convert and RedMon to receive print jobs. Setup finds both and makes the printer when they are installed.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

Var GsExe
Var GsLib
Var GsFonts
Var GsChosen
Var GsStale
Var GsExeField
Var GsLibField
Var GsFontsField
Var SavingSwitches

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${ROOT}/LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
Page custom GhostscriptPage GhostscriptPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Runs the helper from the plug-ins folder (before the files are in place); leaves its exit
; code in $0 and its output, without the line break, in $1.
!macro FindGhostscript WHAT
    nsExec::ExecToStack '"$PLUGINSDIR\${HELPER}" find-ghostscript ${WHAT}'
    Pop $0
    Pop $1
!macroend

; The saving switches as the helper's options, in $SavingSwitches.
Function ReadSavingSwitches
    ${GetParameters} $2
    StrCpy $SavingSwitches ""
    ClearErrors
    ${GetOptions} $2 "/SAVEMODE=" $3
    ${IfNot} ${Errors}
        StrCpy $SavingSwitches '$SavingSwitches --save-mode "$3"'
    ${EndIf}
    ClearErrors
    ${GetOptions} $2 "/AUTODIR=" $3
    ${IfNot} ${Errors}
        StrCpy $SavingSwitches '$SavingSwitches --auto-dir "$3"'
    ${EndIf}
    ClearErrors
    ${GetOptions} $2 "/QUALITY=" $3
    ${IfNot} ${Errors}
        StrCpy $SavingSwitches '$SavingSwitches --quality "$3"'
    ${EndIf}
    ClearErrors
    ${GetOptions} $2 "/PDFA=" $3
    ${IfNot} ${Errors}
        StrCpy $SavingSwitches '$SavingSwitches --pdfa "$3"'
    ${EndIf}
    ClearErrors
    ${GetOptions} $2 "/AUTOEXISTING=" $3
    ${IfNot} ${Errors}
        StrCpy $SavingSwitches '$SavingSwitches --auto-existing "$3"'
    ${EndIf}
    ClearErrors
    ${GetOptions} $2 "/AUTONAME=" $3
    ${IfNot} ${Errors}
        StrCpy $SavingSwitches '$SavingSwitches --auto-name "$3"'
    ${EndIf}
FunctionEnd

Function .onInit
    SetRegView 64
    SetShellVarContext all
    InitPluginsDir
    File "/oname=$PLUGINSDIR\${HELPER}" "${BIN}/${HELPER}"
    StrCpy $GsChosen 0
    ; Protected print mode or an ARM64 spooler: the printer cannot exist here, so nothing is
    ; installed. The helper has also written the reason to the Application event log.
    nsExec::ExecToStack '"$PLUGINSDIR\${HELPER}" check-platform'
    Pop $0
    Pop $1
    ${If} $0 == 8
        MessageBox MB_ICONSTOP|MB_OK "$1" /SD IDOK
        SetErrorLevel 8
        Quit
    ${EndIf}
    ; The switches are checked before anything is written. A person at the screen may end setup
    ; and type them again; a silent install goes on (the settings step logs what it left out).
    Call ReadSavingSwitches
    nsExec::ExecToStack '"$PLUGINSDIR\${HELPER}" check-saving$SavingSwitches'
    Pop $0
    Pop $1
    ${If} $0 == 7
    ${AndIfNot} ${Silent}
        ${TrimNewLines} "$1" $1
        MessageBox MB_ICONEXCLAMATION|MB_OKCANCEL "Setup will store none of the saving switches, because $1.$\r$\n$\r$\nChoose OK to install Vellum without them, or Cancel to end setup." IDOK +2
        Abort
    ${EndIf}
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

; Shows the Ghostscript setup found and lets the user change it. Skipped on an upgrade whose
; stored Ghostscript is still there: it stays as the user left it. A stored one that is gone (an
; upgrade of Ghostscript removed its folder) is replaced by what the user confirms here.
Function GhostscriptPage
    ReadRegStr $GsStale HKLM "${SETTINGS_KEY}" "gsExe"
    ${If} $GsStale != ""
    ${AndIf} ${FileExists} "$GsStale"
        Abort
    ${EndIf}
    ${If} $GsChosen == 0
        !insertmacro FindGhostscript exe
        StrCpy $GsExe $1
        !insertmacro FindGhostscript lib
        StrCpy $GsLib $1
        !insertmacro FindGhostscript fonts
        StrCpy $GsFonts $1
    ${EndIf}

    !insertmacro MUI_HEADER_TEXT "Ghostscript" "The converter Vellum runs for every print job."
    nsDialogs::Create 1018
    Pop $0
    ${If} $GsStale != ""
    ${AndIf} $GsExe != ""
        ${NSD_CreateLabel} 0 0 100% 36u "The Ghostscript Vellum used is gone ($GsStale). Setup found another one; Vellum will use these paths. Change them if you want another installation."
    ${ElseIf} $GsExe == ""
        ${NSD_CreateLabel} 0 0 100% 36u "Ghostscript was not found. Install the 64-bit Ghostscript from ${GS_DOWNLOAD}, then run this setup again, or enter its folders below. Without them, Vellum's first start asks for them."
    ${Else}
        ${NSD_CreateLabel} 0 0 100% 36u "Setup found Ghostscript. Vellum will use these paths; change them if you want another installation."
    ${EndIf}
    Pop $0
    ${NSD_CreateLabel} 0 40u 100% 10u "Ghostscript program (gswin64c.exe):"
    Pop $0
    ${NSD_CreateText} 0 51u 100% 12u $GsExe
    Pop $GsExeField
    ${NSD_CreateLabel} 0 68u 100% 10u "Ghostscript lib folder:"
    Pop $0
    ${NSD_CreateText} 0 79u 100% 12u $GsLib
    Pop $GsLibField
    ${NSD_CreateLabel} 0 96u 100% 10u "Ghostscript fonts folder:"
    Pop $0
    ${NSD_CreateText} 0 107u 100% 12u $GsFonts
    Pop $GsFontsField
    nsDialogs::Show
FunctionEnd

Function GhostscriptPageLeave
    ${NSD_GetText} $GsExeField $GsExe
    ${NSD_GetText} $GsLibField $GsLib
    ${NSD_GetText} $GsFontsField $GsFonts
    StrCpy $GsChosen 1
FunctionEnd

; Makes the printer; $R0 holds extra switches. Leaves the helper's exit code in $0.
Function MakePrinter
    DetailPrint "Making the printer $\"Vellum PDF$\"..."
    nsExec::ExecToStack '"$INSTDIR\${HELPER}" printer $R0'
    Pop $0
    Pop $1
    DetailPrint $1
FunctionEnd

Section "Vellum" SecVellum
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${BIN}/vellum.exe"
    File "${BIN}/VellumRegistry.dll"
    File "${BIN}/${HELPER}"
    File "${ROOT}/src/setup/installer/readme.txt"
    File "/oname=LICENSE.txt" "${ROOT}/LICENSE"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\Vellum"
    CreateShortcut "$SMPROGRAMS\Vellum\Configure Vellum.lnk" "$INSTDIR\vellum.exe" "-config" "$INSTDIR\vellum.exe" 0
    CreateShortcut "$SMPROGRAMS\Vellum\Send PDF by eMail.lnk" "$INSTDIR\vellum.exe" "-mail" "$INSTDIR\vellum.exe" 1
    CreateShortcut "$SMPROGRAMS\Vellum\Add Vellum PDF Printer.lnk" "$INSTDIR\${HELPER}" "printer --interactive"
    CreateShortcut "$SMPROGRAMS\Vellum\Uninstall Vellum.lnk" "$INSTDIR\uninstall.exe"

    ; The Uninstall entry first: whatever follows can be undone from Settings > Apps.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vellum"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Vellum"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vellum.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"

    ; The folder of the job log and of jobs saved where no one could be asked, in which Vellum
    ; writes as SYSTEM: its own, so that nothing a user plants there (a folder, a link) steers
    ; SYSTEM. Owned by the Administrators, SYSTEM and Administrators in full, Users may look in
    ; (this folder only) but create nothing; nothing inherited from ProgramData, whose rights let
    ; every user create folders. /reset first drops what earlier versions granted Users (or what
    ; anyone who made the folder first added). Uninstall leaves it: the log is the record of
    ; what was printed, and the folders hold users' PDFs and kept jobs.
    ; Security descriptor set: O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x1200a9;;;BU)
    !macro VellumOwnFolder FOLDER
        CreateDirectory "${FOLDER}"
        nsExec::ExecToLog 'icacls "${FOLDER}" /setowner *S-1-5-32-544'
        Pop $0
        nsExec::ExecToLog 'icacls "${FOLDER}" /reset'
        Pop $0
        nsExec::ExecToLog 'icacls "${FOLDER}" /inheritance:r /grant:r *S-1-5-18:(OI)(CI)(F) /grant:r *S-1-5-32-544:(OI)(CI)(F) /grant:r *S-1-5-32-545:(RX)'
        Pop $0
    !macroend
    !insertmacro VellumOwnFolder "$APPDATA\Vellum"
    !insertmacro VellumOwnFolder "$APPDATA\Vellum\Unsaved"
    !insertmacro VellumOwnFolder "$APPDATA\Vellum\Failed"

    ; The first settings; values already stored stay, except the saving defaults given on the
    ; command line, which an administrator deploys. An unknown saving switch stores none of them
    ; (the helper says so in Vellum's log, exit code 7) and costs nothing else.
    DetailPrint "Storing the settings for the first print..."
    ${If} $GsChosen == 1
        nsExec::ExecToLog '"$INSTDIR\${HELPER}" settings --gs-exe "$GsExe" --gs-lib "$GsLib" --gs-fonts "$GsFonts"$SavingSwitches'
    ${Else}
        nsExec::ExecToLog '"$INSTDIR\${HELPER}" settings$SavingSwitches'
    ${EndIf}
    Pop $0
    ; A stored Ghostscript that is gone gives way to the one confirmed on the page.
    ${If} $GsChosen == 1
    ${AndIf} $GsStale != ""
    ${AndIf} $GsExe != ""
        WriteRegStr HKLM "${SETTINGS_KEY}" "gsExe" "$GsExe"
        WriteRegStr HKLM "${SETTINGS_KEY}" "gsLib" "$GsLib"
        WriteRegStr HKLM "${SETTINGS_KEY}" "gsFonts" "$GsFonts"
    ${EndIf}
    ${If} $0 != 0
    ${AndIf} $0 != 7
        MessageBox MB_ICONEXCLAMATION|MB_OK "Vellum's settings could not be stored (error $0). Start $\"Configure Vellum$\" from the Start Menu to set them." /SD IDOK
    ${EndIf}
    ReadRegStr $0 HKLM "${SETTINGS_KEY}" "gsExe"
    ${If} $0 == ""
        MessageBox MB_ICONINFORMATION|MB_OK "Vellum converts with Ghostscript, which was not found.$\r$\n$\r$\nInstall the 64-bit Ghostscript from ${GS_DOWNLOAD}. Vellum's first start then asks for its folders." /SD IDOK
    ${EndIf}

    ; The printer.
    ${GetParameters} $2
    StrCpy $R0 ""
    ClearErrors
    ${GetOptions} $2 "/DRIVER=" $3
    ${IfNot} ${Errors}
        StrCpy $R0 '--driver "$3"'
    ${EndIf}
    ClearErrors
    ${GetOptions} $2 "/REDRUN=" $3
    ${IfNot} ${Errors}
        StrCpy $R0 '$R0 --redrun "$3"'
    ${EndIf}
    Call MakePrinter
    ${If} $0 == 4
    ${AndIfNot} ${Silent}
        MessageBox MB_ICONQUESTION|MB_YESNO "RedMon is installed, but its RedRun program (redrun.exe) was not found beside it.$\r$\n$\r$\nDo you want to locate redrun.exe now?" IDNO redrun_done
        nsDialogs::SelectFileDialog open "$PROGRAMFILES64\redrun.exe" "RedRun (redrun.exe)|redrun.exe|Programs (*.exe)|*.exe"
        Pop $3
        ${If} $3 != ""
            StrCpy $R0 '$R0 --redrun "$3"'
            Call MakePrinter
        ${EndIf}
        redrun_done:
    ${EndIf}
    ${If} $0 == 3
        MessageBox MB_ICONINFORMATION|MB_OK "Vellum prints through RedMon, the redirection port monitor, which is not installed.$\r$\n$\r$\nInstall RedMon from ${REDMON_DOWNLOAD}, then choose $\"Add Vellum PDF Printer$\" in the Start Menu's Vellum folder (or run this setup again)." /SD IDOK
    ${ElseIf} $0 == 4
        MessageBox MB_ICONINFORMATION|MB_OK "The printer was not made: RedRun (redrun.exe) was not found. Copy it from the RedMon package into $PROGRAMFILES64\RedMon, then choose $\"Add Vellum PDF Printer$\" in the Start Menu's Vellum folder." /SD IDOK
    ${ElseIf} $0 == 5
        MessageBox MB_ICONINFORMATION|MB_OK "A printer named $\"Vellum PDF$\" already exists; setup left it as it is." /SD IDOK
    ${ElseIf} $0 != 0
        MessageBox MB_ICONEXCLAMATION|MB_OK "The printer $\"Vellum PDF$\" could not be made:$\r$\n$1$\r$\n$\r$\nChoose $\"Add Vellum PDF Printer$\" in the Start Menu's Vellum folder to try again." /SD IDOK
    ${EndIf}
SectionEnd

Section "Uninstall"
    ; The printer and port setup made, while the helper is still there to remove them.
    nsExec::ExecToLog '"$INSTDIR\${HELPER}" remove'
    Pop $0

    Delete "$SMPROGRAMS\Vellum\Configure Vellum.lnk"
    Delete "$SMPROGRAMS\Vellum\Send PDF by eMail.lnk"
    Delete "$SMPROGRAMS\Vellum\Add Vellum PDF Printer.lnk"
    Delete "$SMPROGRAMS\Vellum\Uninstall Vellum.lnk"
    RMDir "$SMPROGRAMS\Vellum"

    ; Only our own files: the folder goes only when nothing else was put in it.
    Delete "$INSTDIR\vellum.exe"
    Delete "$INSTDIR\VellumRegistry.dll"
    Delete "$INSTDIR\${HELPER}"
    Delete "$INSTDIR\readme.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    DeleteRegKey HKLM "${SETTINGS_KEY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
