; nimbrel-setup.exe: installs the configurator and its console tool, and gives every account back before
; removing them. makensis -DVERSION=... -DBIN=<folder of the programs> -DICON=... -DOUTFILE=...
;   nimbrel-setup.exe [/S] [/D=FOLDER] [/CONFIGURE]   /CONFIGURE (silent or not): configure every account after
;                                                     installing, the tool's output in configure.log
;   uninstall.exe [/S]                                /S: accounts given back by the console tool, its output in
;                                                     uninstall.log; exit code 1 when one could not be
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "Tarnwicke Nimbrel"
!define PACKAGE_KEY "Software\Tarnwicke\Nimbrel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel"
!define SHORTCUT "$SMPROGRAMS\Nimbrel\E-mail accounts configurator.lnk"

Name "Nimbrel"
OutFile "${OUTFILE}"
; The package's key is the user's, and so are the accounts: the registration goes with them.
InstallDir "$PROGRAMFILES64\Nimbrel"
InstallDirRegKey HKCU "${PACKAGE_KEY}" "Installation Directory"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "Tarnwicke"
VIAddVersionKey "FileDescription" "Nimbrel setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2024 Tarnwicke"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\vantler.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "/install"
!define MUI_FINISHPAGE_RUN_TEXT "Configure my e-mail accounts now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; RunTool ARGUMENTS LOG: the console tool with its output in LOG; its exit code in $0.
!macro RunTool ARGUMENTS LOG
    ExecWait '"$SYSDIR\cmd.exe" /c ""$INSTDIR\nimbrel-accounts.exe" ${ARGUMENTS} >"${LOG}" 2>&1"' $0
    IfErrors 0 +2
        StrCpy $0 1
!macroend

Function .onInit
    SetShellVarContext current
    SetRegView 64
FunctionEnd

Section "Programs" SecPrograms
    SectionIn RO
    SetOutPath "$INSTDIR"
    ; An upgrade replaces the programs and nothing else: the accounts stay as the user left them.
    File "${BIN}\vantler.exe"
    File "${BIN}\nimbrel-accounts.exe"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\Nimbrel"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\vantler.exe" "" "$INSTDIR\vantler.exe" 0

    ; The program reads the folder with its trailing backslash. The proxy's port is the proxy's to write.
    WriteRegStr HKCU "${PACKAGE_KEY}" "Installation Directory" "$INSTDIR\"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tarnwicke"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vantler.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/CONFIGURE" $R1
    ${IfNot} ${Errors}
        DetailPrint "Configuring the e-mail accounts (see configure.log)"
        !insertmacro RunTool "configure --all" "$INSTDIR\configure.log"
        DetailPrint "nimbrel-accounts configure --all: exit code $0"
    ${EndIf}
SectionEnd

Function un.onInit
    SetShellVarContext current
    SetRegView 64
FunctionEnd

; uninstall.log's text in $R9, for the message that names the accounts.
Function un.ReadLog
    StrCpy $R9 ""
    ClearErrors
    FileOpen $R8 "$INSTDIR\uninstall.log" r
    IfErrors done
    loop:
        FileRead $R8 $R7
        IfErrors close
        StrCpy $R9 "$R9$R7"
        Goto loop
    close:
    FileClose $R8
    done:
FunctionEnd

Section "Uninstall"
    ; The accounts first: a proxy that is gone would leave every configured account without mail.
    ${If} ${Silent}
        !insertmacro RunTool "--yes unconfigure --all" "$INSTDIR\uninstall.log"
        ${If} $0 != 0
            SetErrorLevel 1
            Quit
        ${EndIf}
    ${Else}
        ClearErrors
        ExecWait '"$INSTDIR\vantler.exe" /uninstall' $0
        IfErrors 0 +2
            StrCpy $0 1
        ${If} $0 == 2
            MessageBox MB_OK|MB_ICONEXCLAMATION "The e-mail accounts were not given back, so they still fetch \
                their mail through Nimbrel. Nimbrel stays installed; run the uninstaller again to give them back \
                and remove it."
            SetErrorLevel 1
            Quit
        ${ElseIf} $0 != 0
            ; The user asked for every account back: one more try names each account that is still
            ; configured with the reason (doubtful ones stay as the user answered).
            !insertmacro RunTool "unconfigure --all" "$INSTDIR\uninstall.log"
            ${If} $0 != 0
                Call un.ReadLog
                MessageBox MB_OK|MB_ICONEXCLAMATION "Not every e-mail account could be given back; these still \
                    fetch their mail through Nimbrel:$\r$\n$\r$\n$R9$\r$\nNimbrel stays installed so that you \
                    can try again (close the e-mail programs first). The list is in $INSTDIR\uninstall.log."
                SetErrorLevel 1
                Quit
            ${EndIf}
        ${EndIf}
    ${EndIf}

    Delete "$INSTDIR\vantler.exe"
    Delete "$INSTDIR\nimbrel-accounts.exe"
    Delete "$INSTDIR\configure.log"
    Delete "$INSTDIR\uninstall.log"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "${SHORTCUT}"
    RMDir "$SMPROGRAMS\Nimbrel"

    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegValue HKCU "${PACKAGE_KEY}" "Installation Directory"
    DeleteRegKey /ifempty HKCU "${PACKAGE_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Tarnwicke"
SectionEnd
