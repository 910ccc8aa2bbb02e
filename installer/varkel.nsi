; Varkel-Setup.exe: installs the launcher, the shell extension, its setup tool
; and the Java program, registers "Open with &Varkel" through QuellisSetup and
; adds the "Apps & features" entry; its uninstaller takes all of it away again.
;
; Built by installer/build-installer.sh, which lays out the payload and passes:
;   VERSION      four-part version ("6.0.0.0"), the launcher's version resource
;   PAYLOAD      folder holding exactly what is installed
;   PAYLOAD_NSH  generated File instructions for that folder (startup.conf aside)
;   MANIFEST     generated list of installed files and folders (UTF-16LE),
;                installed as "installed-files.txt" and read back by the
;                uninstaller and by an upgrade
;   OUTFILE      the installer to write
;   ICON         the installer's and uninstaller's icon
;   SIGN_SCRIPT  optional: signs the uninstaller before it is packed
;   SHELL_PACKAGE_SIGNED  optional: the shell package is signed, so it is
;                added without the test switch
;   PACKAGE_TOOL optional: the program that runs shell-package.ps1, which adds
;                and removes the shell package (Windows PowerShell unless a
;                test puts a stand-in here)
;
; Modes: per user by default (no elevation, %LOCALAPPDATA%\Programs\Varkel,
; HKEY_CURRENT_USER); "/ALLUSERS" or the wizard's choice installs into the
; 64-bit Program Files for everyone (HKEY_LOCAL_MACHINE), elevated only then.
; "/CURRENTUSER" asks for the default. Silent: "/S", optionally "/D=<folder>".
; Exit codes: 0 installed, 1 cancelled by the user, 2 failed (the wizard says
; which step and the code), 3 refused for all users while Varkel.msi is installed.
;
; On Windows 11 the installer also adds the shell package (shell\Varkel-Shell.msix,
; with the folder "shell" as its external location), which puts "Open with
; Varkel" into Explorer's own context menu; the classic command stays under
; "Show more options". Per user it is added for the installing user, for all
; users it is provisioned for every account, both through shell-package.ps1.
; Only a signed package is added: an unsigned one only on an all-users
; installation given "/ALLOWUNSIGNEDPACKAGE" (test machines). That step may fail
; without failing the installation: the uninstall entry's "ShellPackage" says
; what happened ("added", "provisioned for all users", "not added: ...",
; "failed, exit code N"), and only a package added or provisioned is removed
; again, first of all.

Unicode true
Target amd64-unicode
; The wizard's manifest: written for Windows Vista to 11, per-monitor DPI
; aware (system-wide before Windows 10 1607); MUI2 adds Common-Controls 6.
ManifestSupportedOS all
ManifestDPIAware true
ManifestDPIAwareness "PerMonitorV2,System"
RequestExecutionLevel user
SetCompressor /SOLID lzma
AllowSkipFiles off
ShowInstDetails show
ShowUninstDetails show

!include LogicLib.nsh
!include FileFunc.nsh
!include TextFunc.nsh
!include WordFunc.nsh
!include MUI2.nsh
!include nsDialogs.nsh

!ifndef VERSION
  !error "VERSION is not defined: build the installer with installer/build-installer.sh"
!endif
!ifndef PAYLOAD
  !error "PAYLOAD is not defined: build the installer with installer/build-installer.sh"
!endif
!ifndef PAYLOAD_NSH
  !error "PAYLOAD_NSH is not defined: build the installer with installer/build-installer.sh"
!endif
!ifndef MANIFEST
  !error "MANIFEST is not defined: build the installer with installer/build-installer.sh"
!endif
!ifndef OUTFILE
  !error "OUTFILE is not defined: build the installer with installer/build-installer.sh"
!endif
!ifndef ICON
  !error "ICON is not defined: build the installer with installer/build-installer.sh"
!endif
!if ! /FileExists "${PAYLOAD}\Varkel.exe"
  !error "the payload has no Varkel.exe"
!endif
!if ! /FileExists "${PAYLOAD}\QuellisSetup.exe"
  !error "the payload has no QuellisSetup.exe"
!endif
!if ! /FileExists "${PAYLOAD}\shell\Varkel-Shell.msix"
  !error "the payload has no shell\Varkel-Shell.msix"
!endif
!if ! /FileExists "${PAYLOAD}\shell-package.ps1"
  !error "the payload has no shell-package.ps1"
!endif

; The entry's DisplayVersion is the version that the launcher's version
; resource states; a build whose resources say otherwise is refused.
!getdllversion "${PAYLOAD}\Varkel-64.exe" LAUNCHER_VERSION_
!if "${LAUNCHER_VERSION_1}.${LAUNCHER_VERSION_2}.${LAUNCHER_VERSION_3}.${LAUNCHER_VERSION_4}" != "${VERSION}"
  !error "Varkel-64.exe has version ${LAUNCHER_VERSION_1}.${LAUNCHER_VERSION_2}.${LAUNCHER_VERSION_3}.${LAUNCHER_VERSION_4}, the build says ${VERSION}"
!endif

!define PRODUCT "Varkel"
!define PUBLISHER "Orvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Varkel"
!define UNINSTALLER "Uninstall.exe"
!define MANIFEST_NAME "installed-files.txt"
!define PRISTINE_CONF "startup.conf.default"
; The shell extension's registry layout, for clearing what a failed setup-tool
; run may leave behind.
!define CLSID "{3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}"
!define CLSID_KEY "SOFTWARE\Classes\CLSID\${CLSID}"
!define HANDLER_KEY "SOFTWARE\Classes\*\shellex\ContextMenuHandlers\Varkel"
!define LAUNCHER_KEY "Software\Orvane\Varkel"
; The Windows 11 shell package: its folder (its external location: Windows
; changes that folder's access rights, so the launcher and the Java program do
; not run from it), its file, the script that adds and removes it, the first
; Windows build whose Explorer shows packaged menu commands, and the value of
; the uninstall entry that remembers the outcome.
!define SHELL_FOLDER "shell"
!define SHELL_PACKAGE "Varkel-Shell.msix"
!define SHELL_SCRIPT "shell-package.ps1"
!define WINDOWS11_BUILD 22000
!define CURRENT_VERSION_KEY "SOFTWARE\Microsoft\Windows NT\CurrentVersion"
!define SHELL_PACKAGE_VALUE "ShellPackage"
!define SHELL_PACKAGE_ADDED "added"
!define SHELL_PACKAGE_PROVISIONED "provisioned for all users"
!define SHELL_PACKAGE_PROVISIONED_UNSIGNED "provisioned for all users, unsigned (-AllowUnsigned)"
!define SHELL_PACKAGE_UNSIGNED "not added: the package is unsigned"
!define SHELL_PACKAGE_SAFE_MODE "not added: Windows runs in safe mode"
; shell-package.ps1's exit code when Windows runs in safe mode.
!define EXIT_SAFE_MODE 3
; Adds an unsigned package on an all-users installation: for test machines.
!define UNSIGNED_SWITCH "/ALLOWUNSIGNEDPACKAGE"
!ifndef PACKAGE_TOOL
  !define PACKAGE_TOOL "$SYSDIR\WindowsPowerShell\v1.0\powershell.exe"
!endif
; QuellisSetup keeps each word of its command line in 150 characters.
!define MAX_LAUNCHER_PATH 149
!define EXIT_FAILED 2
; Varkel.msi (installer/msi, whose build reads this code from here) installs
; for all users into the same folder and keys: an all-users installation is
; refused while that package is installed, with this exit code.
!define MSI_UPGRADE_CODE "{9B466A4A-F3D1-41CB-B8ED-08906FE96570}"
!define EXIT_MSI_INSTALLED 3

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}. All rights reserved."
!ifdef SIGN_SCRIPT
  !uninstfinalize '"${SIGN_SCRIPT}" "%1"'
!endif

Var AllUsers       ; 1: for all users (HKEY_LOCAL_MACHINE, Program Files)
Var ModeFixed      ; 1: the command line or an existing installation chose the mode
Var FolderGiven    ; 1: "/D=" named the folder
Var KeepConf       ; 1: the installed startup.conf was changed by the user
Var ModeRadioUser
Var ModeRadioAll

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
Page custom ModePageShow ModePageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; ---- Shared by the installer and the uninstaller --------------------------------

; ExecWait gives an exit code as an unsigned number; QuellisSetup's are signed
; 32-bit values (-2 arrives as 4294967294). NSIS numbers are 64-bit here.
!macro SignedExitCode var
  IntOp ${var} ${var} << 32
  IntOp ${var} ${var} >> 32
!macroend

; The shared parent keys that the registration may create. The installer
; notes in its uninstall entry which of them did not exist before ("CreatedKey
; <path>" = 1), and only those are removed again, and only when left empty: a
; key that was there before Varkel stays, empty or not.
!macro NoteCreatedKey key
  ClearErrors
  EnumRegKey $1 SHCTX "${key}" 0
  ${If} ${Errors}
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "CreatedKey ${key}" 1
  ${EndIf}
!macroend
!macro RemoveCreatedKey key
  ReadRegDWORD $1 SHCTX "${UNINSTALL_KEY}" "CreatedKey ${key}"
  ${If} $1 == 1
    DeleteRegKey /ifnosubkeys /ifnovalues SHCTX "${key}"
  ${EndIf}
!macroend

!macro SelectMode un
  Function ${un}SelectMode
    ${If} $AllUsers == 1
      SetShellVarContext all
    ${Else}
      SetShellVarContext current
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro SelectMode ""
!insertmacro SelectMode "un."

; Sets $0 to 1 when the files $R8 and $R9 hold the same text, 0 otherwise.
!macro SameText un
  Function ${un}SameText
    Push $1
    Push $2
    Push $3
    Push $4
    StrCpy $0 0
    ClearErrors
    FileOpen $1 $R8 r
    ${If} ${Errors}
      Goto same_text_done
    ${EndIf}
    FileOpen $2 $R9 r
    ${If} ${Errors}
      FileClose $1
      Goto same_text_done
    ${EndIf}
    ${Do}
      ClearErrors
      FileRead $1 $3
      ${If} ${Errors}
        ClearErrors
        FileRead $2 $4
        ${IfThen} ${Errors} ${|} StrCpy $0 1 ${|}
        ${ExitDo}
      ${EndIf}
      FileRead $2 $4
      ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
      StrCmpS $3 $4 0 same_text_differs
    ${Loop}
    same_text_differs:
    FileClose $1
    FileClose $2
    same_text_done:
    Pop $4
    Pop $3
    Pop $2
    Pop $1
  FunctionEnd
!macroend
!insertmacro SameText ""
!insertmacro SameText "un."

; $KeepConf = 1 when $INSTDIR\startup.conf is the user's: it differs from the
; copy that the installation shipped, or no shipped copy exists beside it.
!macro DetectChangedConf un
  Function ${un}DetectChangedConf
    StrCpy $KeepConf 0
    ${IfNot} ${FileExists} "$INSTDIR\startup.conf"
      Return
    ${EndIf}
    StrCpy $R8 "$INSTDIR\startup.conf"
    StrCpy $R9 "$INSTDIR\${PRISTINE_CONF}"
    Call ${un}SameText
    ${If} $0 == 0
      StrCpy $KeepConf 1
      DetailPrint "Keeping the changed startup.conf"
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro DetectChangedConf ""
!insertmacro DetectChangedConf "un."

; Deletes every file and folder that installed-files.txt lists (folders last,
; deepest first, only when empty); entries that could leave the installation
; folder are skipped.
!macro RemoveListedFiles un
  Function ${un}RemoveListedFiles
    ClearErrors
    FileOpen $1 "$INSTDIR\${MANIFEST_NAME}" r
    ${IfThen} ${Errors} ${|} Return ${|}
    ${Do}
      ClearErrors
      FileReadUTF16LE $1 $2
      ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
      ${TrimNewLines} $2 $2
      ${If} $2 == ""
      ${OrIf} $2 == "startup.conf"
        ${Continue}
      ${EndIf}
      ${WordFind} $2 ".." "E*" $3
      ${IfNot} ${Errors}
        ${Continue}
      ${EndIf}
      ${WordFind} $2 ":" "E*" $3
      ${IfNot} ${Errors}
        ${Continue}
      ${EndIf}
      StrCpy $3 $2 1 -1
      ${If} $3 == "\"
        RMDir "$INSTDIR\$2"
      ${Else}
        Delete /REBOOTOK "$INSTDIR\$2"
      ${EndIf}
    ${Loop}
    FileClose $1
  FunctionEnd
!macroend
!insertmacro RemoveListedFiles ""
!insertmacro RemoveListedFiles "un."

; Runs shell-package.ps1 with the arguments $R4 and sets $0 to its exit code
; (0 done, 1 failed, ${EXIT_SAFE_MODE} safe mode). A path cannot hold a double quote.
!macro RunPackageCommand un
  Function ${un}RunPackageCommand
    nsExec::ExecToLog '"${PACKAGE_TOOL}" -NoProfile -NonInteractive -ExecutionPolicy Bypass -File "$INSTDIR\${SHELL_SCRIPT}" $R4'
    Pop $0
  FunctionEnd
!macroend
!insertmacro RunPackageCommand ""
!insertmacro RunPackageCommand "un."

; Removes the shell package when this installation added it: for the user,
; or its provisioning and registrations for every account.
!macro RemoveShellPackage un
  Function ${un}RemoveShellPackage
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "${SHELL_PACKAGE_VALUE}"
    ${If} $0 == "${SHELL_PACKAGE_ADDED}"
      StrCpy $R4 "-Action Remove"
    ${ElseIf} $0 == "${SHELL_PACKAGE_PROVISIONED}"
    ${OrIf} $0 == "${SHELL_PACKAGE_PROVISIONED_UNSIGNED}"
      StrCpy $R4 "-Action Deprovision"
    ${Else}
      Return
    ${EndIf}
    DetailPrint "Removing the Windows 11 context-menu package (${SHELL_SCRIPT} $R4)"
    Call ${un}RunPackageCommand
    ${If} $0 == ${EXIT_SAFE_MODE}
      DetailPrint "Windows runs in safe mode: the Windows 11 context-menu package could not be removed"
    ${ElseIf} $0 != 0
      DetailPrint "Removing the Windows 11 context-menu package ended with exit code $0"
    ${EndIf}
    DeleteRegValue SHCTX "${UNINSTALL_KEY}" "${SHELL_PACKAGE_VALUE}"
  FunctionEnd
!macroend
!insertmacro RemoveShellPackage ""
!insertmacro RemoveShellPackage "un."

; Takes away everything an installation in $INSTDIR made, in either mode:
; the Explorer command (through QuellisSetup when $R7 is 1, and whatever of it
; still names this folder), the files, a startup.conf only when unchanged, the
; shortcut, the uninstall entry and the keys left empty.
!macro RemoveInstallation un
  Function ${un}RemoveInstallation
    Call ${un}SelectMode
    ; Out of the folder: a folder that is some process's current one stays.
    SetOutPath "$TEMP"
    ; First the Windows 11 command: Explorer's surrogate holds
    ; shell\Quellis64.dll while the package is there, and the folder goes
    ; only after the package.
    Call ${un}RemoveShellPackage
    ${If} $R7 == 1
    ${AndIf} ${FileExists} "$INSTDIR\QuellisSetup.exe"
      DetailPrint "Removing the Explorer command"
      ${If} $AllUsers == 1
        ExecWait '"$INSTDIR\QuellisSetup.exe" /silent /uninstall /allusers' $0
      ${Else}
        ExecWait '"$INSTDIR\QuellisSetup.exe" /silent /uninstall' $0
      ${EndIf}
      !insertmacro SignedExitCode $0
      ${If} $0 != 0
        DetailPrint "QuellisSetup /uninstall ended with exit code $0"
      ${EndIf}
    ${EndIf}
    ReadRegStr $0 SHCTX "${LAUNCHER_KEY}" "Command"
    ${If} $0 == "$INSTDIR\Varkel.exe"
      DeleteRegValue SHCTX "${LAUNCHER_KEY}" "Command"
    ${EndIf}
    ReadRegStr $0 SHCTX "${CLSID_KEY}\InprocServer32" ""
    ${If} $0 == "$INSTDIR\Quellis64.dll"
      DeleteRegKey SHCTX "${CLSID_KEY}"
      DeleteRegKey SHCTX "${HANDLER_KEY}"
    ${EndIf}
    DeleteRegKey /ifnosubkeys /ifnovalues SHCTX "${LAUNCHER_KEY}"
    !insertmacro RemoveCreatedKey "SOFTWARE\Classes\*\shellex\ContextMenuHandlers"
    !insertmacro RemoveCreatedKey "SOFTWARE\Classes\*\shellex"
    !insertmacro RemoveCreatedKey "SOFTWARE\Classes\*"
    !insertmacro RemoveCreatedKey "SOFTWARE\Classes\CLSID"
    !insertmacro RemoveCreatedKey "Software\Orvane"

    Call ${un}DetectChangedConf
    Call ${un}RemoveListedFiles
    ${If} $KeepConf == 0
      Delete "$INSTDIR\startup.conf"
    ${EndIf}
    Delete "$INSTDIR\${PRISTINE_CONF}"
    Delete "$INSTDIR\${MANIFEST_NAME}"
    Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    ; Last: a caller that watches the uninstaller sees the entry go when the
    ; work is done.
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  FunctionEnd
!macroend
!insertmacro RemoveInstallation ""
!insertmacro RemoveInstallation "un."

; ---- Installer --------------------------------------------------------------------

Function DefaultFolder
  ${If} $FolderGiven == 1
    Return
  ${EndIf}
  ${If} $AllUsers == 1
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  ${Else}
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
  ${EndIf}
FunctionEnd

; Starts this installer again with administrator rights for an all-users
; installation, waits for it and ends with its result, read back from the
; uninstall entry that only a completed installation writes.
Function RestartElevated
  ; The shell package's test switch goes along.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "${UNSIGNED_SWITCH}" $1
  StrCpy $1 ""
  ${IfNot} ${Errors}
    StrCpy $1 " ${UNSIGNED_SWITCH}"
  ${EndIf}
  ${If} ${Silent}
    ExecShellWait "runas" "$EXEPATH" '/ALLUSERS$1 /S /D=$INSTDIR'
  ${Else}
    HideWindow
    ExecShellWait "runas" "$EXEPATH" '/ALLUSERS$1'
  ${EndIf}
  SetShellVarContext all
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $0 == "${VERSION}"
    SetErrorLevel 0
  ${Else}
    SetErrorLevel ${EXIT_FAILED}
  ${EndIf}
  Quit
FunctionEnd

; Ends the installer while Varkel.msi is installed (Windows Installer knows it
; by its UpgradeCode): two all-users installations would share the folder and
; the machine's registration, and each one's removal would break the other.
Function RefuseOverMsiPackage
  System::Call 'msi::MsiEnumRelatedProductsW(w "${MSI_UPGRADE_CODE}", i 0, i 0, w .r1) i .r0'
  ${If} $0 == 0
    MessageBox MB_OK|MB_ICONSTOP "Varkel is already installed for all users by its Windows Installer package (Varkel.msi).$\n$\nRemove that package first (Apps & features, or msiexec /x $1), or install Varkel only for yourself." /SD IDOK
    SetErrorLevel ${EXIT_MSI_INSTALLED}
    Quit
  ${EndIf}
FunctionEnd

Function RequireAdminForAllUsers
  ${If} $AllUsers != 1
    Return
  ${EndIf}
  Call RefuseOverMsiPackage
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    Call RestartElevated
  ${EndIf}
FunctionEnd

Function .onInit
  SetRegView 64
  StrCpy $AllUsers 0
  StrCpy $ModeFixed 0
  StrCpy $FolderGiven 0
  ${If} $INSTDIR != ""
    StrCpy $FolderGiven 1
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
    StrCpy $ModeFixed 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/CURRENTUSER" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
    StrCpy $ModeFixed 1
  ${EndIf}
  ; Without a mode asked for, an existing installation keeps its own; an
  ; installation of the chosen mode keeps its folder unless "/D=" names one.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $ModeFixed == 0
    ${If} $1 != ""
      StrCpy $ModeFixed 1
    ${ElseIf} $0 != ""
      StrCpy $AllUsers 1
      StrCpy $ModeFixed 1
    ${EndIf}
  ${EndIf}
  ${If} $AllUsers == 1
    StrCpy $1 $0
  ${EndIf}
  ${If} $FolderGiven == 0
  ${AndIf} $1 != ""
    StrCpy $INSTDIR $1
    StrCpy $FolderGiven 1
  ${EndIf}
  Call DefaultFolder
  ; All users asked for on the command line or by an existing installation:
  ; elevate now (the wizard's own choice elevates when its page is left).
  Call RequireAdminForAllUsers
FunctionEnd

Function ModePageShow
  ${If} $ModeFixed == 1
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Choose who may use Varkel" "Install for yourself, or for every user of this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 10u 100% 12u "Only for &me (no administrator rights needed)"
  Pop $ModeRadioUser
  ${NSD_CreateRadioButton} 0 30u 100% 12u "For &all users of this computer (needs administrator rights)"
  Pop $ModeRadioAll
  ${If} $AllUsers == 1
    ${NSD_Check} $ModeRadioAll
  ${Else}
    ${NSD_Check} $ModeRadioUser
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $ModeRadioAll $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  Call DefaultFolder
  Call RequireAdminForAllUsers
FunctionEnd

; Reports a failed step, takes back what this run installed and ends with
; EXIT_FAILED at once (the message has said all). $R6: the text; $R7: 1 when QuellisSetup should remove its part.
Function FailInstallation
  DetailPrint "$R6"
  Call RemoveInstallation
  MessageBox MB_OK|MB_ICONSTOP "Varkel could not be installed.$\n$\n$R6$\n$\nNothing was left installed." /SD IDOK
  SetErrorLevel ${EXIT_FAILED}
  Quit
FunctionEnd

; On Windows 11 (build ${WINDOWS11_BUILD} or later) adds the shell package with
; the folder "shell" as its external location: for the installing user, or
; for every account of an all-users installation. The build comes from the
; registry, where no compatibility shim changes it. An unsigned package is
; added only when an all-users installation is given ${UNSIGNED_SWITCH}. The
; outcome is noted in the log and in the uninstall entry and the installation
; goes on: the classic command works all the same.
Function AddShellPackage
  ReadRegStr $0 HKLM "${CURRENT_VERSION_KEY}" "CurrentBuildNumber"
  ${If} $0 == ""
    StrCpy $0 0
  ${EndIf}
  ${If} $0 < ${WINDOWS11_BUILD}
    DetailPrint "Windows build $0: no Windows 11 context menu, the shell package is not added"
    Return
  ${EndIf}
  ${If} $AllUsers == 1
    StrCpy $R4 "-Action Provision"
    StrCpy $R5 "${SHELL_PACKAGE_PROVISIONED}"
  ${Else}
    StrCpy $R4 "-Action Add"
    StrCpy $R5 "${SHELL_PACKAGE_ADDED}"
  ${EndIf}
  StrCpy $R4 '$R4 -Location "$INSTDIR\${SHELL_FOLDER}"'
!ifndef SHELL_PACKAGE_SIGNED
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "${UNSIGNED_SWITCH}" $2
  ${If} ${Errors}
  ${OrIf} $AllUsers != 1
    DetailPrint "The Windows 11 context-menu package was not added: it is unsigned, and Windows takes an unsigned package only on test machines (an all-users installation with ${UNSIGNED_SWITCH}). $\"Open with Varkel$\" stays under $\"Show more options$\"."
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "${SHELL_PACKAGE_VALUE}" "${SHELL_PACKAGE_UNSIGNED}"
    Return
  ${EndIf}
  DetailPrint "${UNSIGNED_SWITCH}: adding the unsigned package, as on a test machine"
  StrCpy $R4 "$R4 -AllowUnsigned"
  StrCpy $R5 "${SHELL_PACKAGE_PROVISIONED_UNSIGNED}"
!endif
  DetailPrint "Adding $\"Open with Varkel$\" to the Windows 11 context menu (${SHELL_SCRIPT} $R4)"
  Call RunPackageCommand
  ${If} $0 == 0
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "${SHELL_PACKAGE_VALUE}" "$R5"
  ${ElseIf} $0 == ${EXIT_SAFE_MODE}
    DetailPrint "Windows runs in safe mode, where packages cannot be added: $\"Open with Varkel$\" stays under $\"Show more options$\" until Varkel is installed again in normal mode"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "${SHELL_PACKAGE_VALUE}" "${SHELL_PACKAGE_SAFE_MODE}"
  ${Else}
    DetailPrint "Adding the shell package failed (exit code $0); $\"Open with Varkel$\" stays under $\"Show more options$\""
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "${SHELL_PACKAGE_VALUE}" "failed, exit code $0"
  ${EndIf}
FunctionEnd

Section "Varkel" SectionMain
  SectionIn RO
  SetRegView 64
  Call SelectMode
  StrLen $0 "$INSTDIR\Varkel.exe"
  ${If} $0 > ${MAX_LAUNCHER_PATH}
    MessageBox MB_OK|MB_ICONSTOP "The installation folder's path is too long: the path of Varkel.exe inside it may have at most ${MAX_LAUNCHER_PATH} characters.$\n$\n$INSTDIR" /SD IDOK
    SetErrorLevel ${EXIT_FAILED}
    Quit
  ${EndIf}

  ; Over an existing installation: its shell package goes first (Explorer's
  ; surrogate lets go of the old shell\Quellis64.dll, and the new package is
  ; added whatever its version; the same version again would fail), through
  ; the new script, since an older installation may have none; keep a changed
  ; startup.conf, take away the files of the version installed so far, then
  ; put in the new ones.
  SetOutPath "$INSTDIR"
  File "${PAYLOAD}\${SHELL_SCRIPT}"
  Call RemoveShellPackage
  Call DetectChangedConf
  Call RemoveListedFiles

  SetOutPath "$INSTDIR"
  !include "${PAYLOAD_NSH}"
  SetOutPath "$INSTDIR"
  File "/oname=${PRISTINE_CONF}" "${PAYLOAD}\startup.conf"
  ${If} $KeepConf == 0
    File "${PAYLOAD}\startup.conf"
  ${EndIf}
  File "/oname=${MANIFEST_NAME}" "${MANIFEST}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  !insertmacro NoteCreatedKey "SOFTWARE\Classes\*\shellex\ContextMenuHandlers"
  !insertmacro NoteCreatedKey "SOFTWARE\Classes\*\shellex"
  !insertmacro NoteCreatedKey "SOFTWARE\Classes\*"
  !insertmacro NoteCreatedKey "SOFTWARE\Classes\CLSID"
  !insertmacro NoteCreatedKey "Software\Orvane"
  DetailPrint "Adding $\"Open with Varkel$\" to Explorer (QuellisSetup)"
  ${If} $AllUsers == 1
    ExecWait '"$INSTDIR\QuellisSetup.exe" /silent /install "$INSTDIR\Varkel.exe" /allusers' $0
  ${Else}
    ExecWait '"$INSTDIR\QuellisSetup.exe" /silent /install "$INSTDIR\Varkel.exe"' $0
  ${EndIf}
  !insertmacro SignedExitCode $0
  ${If} $0 != 0
    ; From -4 on the tool had loaded the extension and may have stored a part.
    StrCpy $R7 0
    ${If} $0 == -4
    ${OrIf} $0 == -5
    ${OrIf} $0 == -6
      StrCpy $R7 1
    ${EndIf}
    StrCpy $R6 "Registering the Explorer command failed: QuellisSetup.exe /install ended with exit code $0."
    Call FailInstallation
  ${EndIf}
  Call AddShellPackage

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Varkel.exe" "" "$INSTDIR\Varkel.exe" 0

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Varkel.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; ---- Uninstaller ------------------------------------------------------------------

Function un.onInit
  SetRegView 64
  ; The mode is the one whose uninstall entry names this folder.
  StrCpy $AllUsers 0
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
  ${AndIf} $1 != $INSTDIR
    StrCpy $AllUsers 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetRegView 64
  StrCpy $R7 1
  Call un.RemoveInstallation
SectionEnd
