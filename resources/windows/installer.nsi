; Installer of the Windows program, made by scripts/build-windows.sh with makensis.
; Defines given on the command line: VERSION, STAGE (the folder with the program and
; its DLLs), UNINSTALL_LIST (Delete/RMDir lines for exactly those files), ICON, OUTFILE,
; and SIGN when the build signs: a command that signs the file named last in place.
;
; A per-user installation: no administrator rights are needed, the program folder is
; the user's own, and the Start-menu entry starts the program there, so the LANGUAGE
; file it keeps in its working folder can be written. /S installs silently, /D=FOLDER
; (last on the command line) picks another folder.

; A 64-bit installer for the 64-bit program: it refuses a 32-bit Windows at once.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

; The uninstaller is written out while the installer is made: signing it then puts a
; signed uninstaller into the installer. The build signs the installer itself afterwards.
!ifdef SIGN
    !uninstfinalize '"${SIGN}" "%1"' = 0
!endif

!define PRODUCT "Orvanel Switching Config Tool"
!define PUBLISHER "Orvanel"
!define EXE "corvanecfg.exe"
!define PROGID "Orvanel.ConfigFile"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvanelSwitchingConfigTool"
!define APP_KEY "Software\Orvanel\OrvanelSwitchingConfigTool"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${APP_KEY}" "InstallDir"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The installer speaks the language of Windows, English or German.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

LangString FileTypeName ${LANG_ENGLISH} "Orvanel Switching configuration"
LangString FileTypeName ${LANG_GERMAN} "Orvanel-Switching-Konfiguration"
LangString ShortcutComment ${LANG_ENGLISH} "Arrange the screens of a Vorrix switch and configure it over a serial cable"
LangString ShortcutComment ${LANG_GERMAN} "Bildschirme eines Vorrix-Switches anordnen und die Konfiguration übertragen"

Section "Install"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; SetOutPath above makes the program folder the entry's working folder.
    CreateShortCut "${SHORTCUT}" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 \
        SW_SHOWNORMAL "" "$(ShortcutComment)"

    ; .ovs files open in the program, which takes the file as its argument.
    WriteRegStr HKCU "Software\Classes\.ovs" "" "${PROGID}"
    WriteRegStr HKCU "Software\Classes\${PROGID}" "" "$(FileTypeName)"
    WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\${EXE},0"
    WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
    ; SHCNE_ASSOCCHANGED: Explorer shows the new icon and verb at once.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    WriteRegStr HKCU "${APP_KEY}" "InstallDir" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    ; Only the files the installer brought, the language choice and the uninstaller: a
    ; folder the operator chose may hold files of their own, which stay.
    !include "${UNINSTALL_LIST}"
    Delete "$INSTDIR\LANGUAGE"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    Delete "${SHORTCUT}"

    ; The association goes only if it is still ours.
    ReadRegStr $0 HKCU "Software\Classes\.ovs" ""
    StrCmp $0 "${PROGID}" 0 +2
        DeleteRegKey HKCU "Software\Classes\.ovs"
    DeleteRegKey HKCU "Software\Classes\${PROGID}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "${APP_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Orvanel"
SectionEnd
