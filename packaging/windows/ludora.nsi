; Setup for the Ludora suite: installs for the current user, without asking for
; administrator rights, into the user's own programs folder, so the programs'
; folder stays writable and they keep saving beside themselves.
;   makensis -DVERSION=1.0 -DICON=... -DLISTS=... -DOUTFILE=... ludora.nsi
; LISTS holds install-files.nsh and uninstall-files.nsh, made from the staged folder.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Ludora"
!define PUBLISHER "TovikGames"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ludora"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Ludora"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "TovikGames"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Ludora.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
    SetShellVarContext current
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

Section "Ludora and Pearlwreck" SecPrograms
    SectionIn RO
    ; Files of an older version are replaced; the players' files were never
    ; part of the set, so options.ini and hiscore.dat stay as they are.
    !include "${LISTS}/install-files.nsh"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateDirectory "$SMPROGRAMS\Ludora"
    SetOutPath "$INSTDIR"
    CreateShortCut "$SMPROGRAMS\Ludora\Ludora.lnk" "$INSTDIR\Ludora.exe" "" "$INSTDIR\Ludora.exe" 0
    ; The game as the launcher starts it: from its own folder, told the launcher's.
    SetOutPath "$INSTDIR\Pearlwreck"
    CreateShortCut "$SMPROGRAMS\Ludora\Pearlwreck.lnk" "$INSTDIR\Pearlwreck\Pearlwreck.exe" "$INSTDIR" \
        "$INSTDIR\Pearlwreck\Pearlwreck.exe" 0
    SetOutPath "$INSTDIR"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Ludora.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section /o "Desktop shortcut" SecDesktop
    SetOutPath "$INSTDIR"
    CreateShortCut "$DESKTOP\Ludora.lnk" "$INSTDIR\Ludora.exe" "" "$INSTDIR\Ludora.exe" 0
SectionEnd

Section "un.Ludora and Pearlwreck" UnSecPrograms
    SectionIn RO
    Delete "$SMPROGRAMS\Ludora\Ludora.lnk"
    Delete "$SMPROGRAMS\Ludora\Pearlwreck.lnk"
    RMDir "$SMPROGRAMS\Ludora"
    Delete "$DESKTOP\Ludora.lnk"
    ; What the programs leave besides the players' files.
    Delete "$INSTDIR\debug.log"
    Delete "$INSTDIR\Pearlwreck\debug.log"
    !include "${LISTS}/uninstall-files.nsh"
    Delete "$INSTDIR\Uninstall.exe"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Off unless the player ticks it: a silent uninstall keeps them too.
Section /o "un.Players and high scores" UnSecPlayers
    Delete "$INSTDIR\options.ini"
    Delete "$INSTDIR\hiscore.dat"
    Delete "$INSTDIR\Pearlwreck\options.ini"
    Delete "$INSTDIR\Pearlwreck\hiscore.dat"
SectionEnd

; The folders go last, and only when nothing is left in them.
Section "-un.Folders"
    !include "${LISTS}/uninstall-folders.nsh"
    RMDir "$INSTDIR"
SectionEnd
