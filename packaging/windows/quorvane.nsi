; The Windows installer, Quorvane-<version>-win64-setup.exe, made from the files of the zip by
; cmake/make_windows_installer.cmake (cpack --preset windows), which defines:
;   QUORVANE_VERSION (2.0), QUORVANE_VERSION_QUAD (2.0.0.0), QUORVANE_AUTHORS,
;   QUORVANE_STAGE (the folder of the zip's files), QUORVANE_ICON, QUORVANE_OUTFILE.
;
; Without administrator rights it installs for the current user, in
; %LOCALAPPDATA%\Programs\Quorvane, and adds that folder to the user's PATH; run as administrator
; it installs for all users, in Program Files, and adds the folder to the system's PATH. /CurrentUser
; or /AllUsers on the command line chooses; /S installs silently, /D=FOLDER (last) sets the folder.
; The uninstaller takes /S too, and removes every file, shortcut, registry entry and PATH entry
; the installer made; files the user put in the folder stay, and so does the folder with them.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include MUI2.nsh

!define PRODUCT "Quorvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane"
!define USER_ENVIRONMENT "Environment"
!define SYSTEM_ENVIRONMENT "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
!define START_MENU "$SMPROGRAMS\Quorvane"
; HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER as a 64-bit process passes them: sign-extended.
!define HKLM_HANDLE -2147483646
!define HKCU_HANDLE -2147483647

Name "${PRODUCT} ${QUORVANE_VERSION}"
OutFile "${QUORVANE_OUTFILE}"
BrandingText "${PRODUCT} ${QUORVANE_VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${QUORVANE_VERSION_QUAD}"
VIFileVersion "${QUORVANE_VERSION_QUAD}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${QUORVANE_VERSION}"
VIAddVersionKey "FileVersion" "${QUORVANE_VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${QUORVANE_VERSION} setup"
VIAddVersionKey "CompanyName" "${QUORVANE_AUTHORS}"
VIAddVersionKey "LegalCopyright" "${QUORVANE_AUTHORS}, MIT License"

!define MUI_ICON "${QUORVANE_ICON}"
!define MUI_UNICON "${QUORVANE_ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${QUORVANE_STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; 1 when installed (or being uninstalled) for all users, 0 for the current user.
Var AllUsers

; $R0 = a PATH value, $R1 = a folder; returns in $R2 the value without any entry naming the
; folder (with or without a final backslash, in any case), entries joined by ";" again.
!macro PATH_WITHOUT un
Function ${un}PathWithout
  Push $R3 ; entry being read
  Push $R4 ; index
  Push $R5 ; character
  StrCpy $R2 ""
  StrCpy $R3 ""
  StrCpy $R4 0
  ${Do}
    StrCpy $R5 $R0 1 $R4
    ${If} $R5 == ";"
    ${OrIf} $R5 == ""
      ${If} $R3 != ""
      ${AndIf} $R3 != $R1
      ${AndIf} $R3 != "$R1\"
        ${If} $R2 == ""
          StrCpy $R2 $R3
        ${Else}
          StrCpy $R2 "$R2;$R3"
        ${EndIf}
      ${EndIf}
      StrCpy $R3 ""
      ${IfThen} $R5 == "" ${|} ${ExitDo} ${|}
    ${Else}
      StrCpy $R3 "$R3$R5"
    ${EndIf}
    IntOp $R4 $R4 + 1
  ${Loop}
  Pop $R5
  Pop $R4
  Pop $R3
FunctionEnd
!macroend
!insertmacro PATH_WITHOUT ""
!insertmacro PATH_WITHOUT "un."

; Reads the PATH of the chosen environment (the user's or the system's) into $R0; $R6 is 1 when
; the value exists. Stops the change ($R7 = 0) when the value is longer than NSIS can hold, since
; writing it back would cut it: ReadRegStr gives "" for such a value, as for a missing one, so
; its size is asked of the registry first.
!macro READ_PATH un
Function ${un}ReadPath
  ${If} $AllUsers = 1
    StrCpy $R8 ${HKLM_HANDLE}
    StrCpy $R9 "${SYSTEM_ENVIRONMENT}"
  ${Else}
    StrCpy $R8 ${HKCU_HANDLE}
    StrCpy $R9 "${USER_ENVIRONMENT}"
  ${EndIf}
  ; RRF_RT_ANY | RRF_NOEXPAND: the size in bytes of the value as stored, with its final NUL.
  System::Call 'advapi32::RegGetValueW(p R8, w R9, w "Path", i 0x1000ffff, p 0, p 0, *i 0 r1) i .r0'
  StrCpy $R0 ""
  StrCpy $R6 0
  StrCpy $R7 1
  ${If} $0 = 0
    StrCpy $R6 1
    IntOp $1 $1 / 2
    ${If} $1 >= ${NSIS_MAX_STRLEN}
      StrCpy $R7 0
    ${ElseIf} $AllUsers = 1
      ReadRegStr $R0 HKLM "${SYSTEM_ENVIRONMENT}" "Path"
    ${Else}
      ReadRegStr $R0 HKCU "${USER_ENVIRONMENT}" "Path"
    ${EndIf}
  ${ElseIf} $0 <> 2
    ; Neither there nor missing (ERROR_FILE_NOT_FOUND): leave it alone.
    StrCpy $R7 0
  ${EndIf}
FunctionEnd
!macroend
!insertmacro READ_PATH ""
!insertmacro READ_PATH "un."

; Writes $R2 as the chosen PATH (removing the value when empty) and tells running programs.
!macro WRITE_PATH un
Function ${un}WritePath
  ${If} $AllUsers = 1
    ${If} $R2 == ""
      DeleteRegValue HKLM "${SYSTEM_ENVIRONMENT}" "Path"
    ${Else}
      WriteRegExpandStr HKLM "${SYSTEM_ENVIRONMENT}" "Path" $R2
    ${EndIf}
  ${Else}
    ${If} $R2 == ""
      DeleteRegValue HKCU "${USER_ENVIRONMENT}" "Path"
    ${Else}
      WriteRegExpandStr HKCU "${USER_ENVIRONMENT}" "Path" $R2
    ${EndIf}
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
FunctionEnd
!macroend
!insertmacro WRITE_PATH ""
!insertmacro WRITE_PATH "un."

; Sets $AllUsers from the command line and the account, the shell folders and registry root to
; match; stops when all users are asked for without administrator rights.
!macro CHOOSE_INSTALL_MODE
  UserInfo::GetAccountType
  Pop $0
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/AllUsers" $2
  ${IfNot} ${Errors}
    ${If} $0 != "Admin"
      MessageBox MB_ICONSTOP|MB_OK "Installing Quorvane for all users needs administrator rights: \
          run the installer as administrator, or without /AllUsers to install it for yourself." \
          /SD IDOK
      SetErrorLevel 740
      Quit
    ${EndIf}
    StrCpy $AllUsers 1
  ${ElseIf} $0 == "Admin"
    StrCpy $AllUsers 1
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $1 "/CurrentUser" $2
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
  ${EndIf}
!macroend

Function .onInit
  SetRegView 64
  !insertmacro CHOOSE_INSTALL_MODE
  ${If} $AllUsers = 1
    SetShellVarContext all
    ${IfThen} $INSTDIR == "" ${|} StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}" ${|}
  ${Else}
    SetShellVarContext current
    ${IfThen} $INSTDIR == "" ${|} StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}" ${|}
  ${EndIf}
FunctionEnd

Section "Quorvane"
  SetOutPath "$INSTDIR"
  File "${QUORVANE_STAGE}\Quorvane-Pairs.exe"
  File "${QUORVANE_STAGE}\Quorvane-Triads.exe"
  File "${QUORVANE_STAGE}\Quorvane-Quads.exe"
  File "${QUORVANE_STAGE}\Quorvane-Groups.exe"
  File "${QUORVANE_STAGE}\README.md"
  File "${QUORVANE_STAGE}\CHANGELOG.md"
  File "${QUORVANE_STAGE}\LICENSE.txt"
  ; The browser page, when the packages were made with it.
  !if /FileExists "${QUORVANE_STAGE}\quorvane.html"
    File "${QUORVANE_STAGE}\quorvane.html"
  !endif
  SetOutPath "$INSTDIR\samples"
  File "${QUORVANE_STAGE}\samples\sample-study.txt"
  File "${QUORVANE_STAGE}\samples\sample-distribution.svg"
  ; The manual, which the README links to.
  SetOutPath "$INSTDIR\docs"
  File "${QUORVANE_STAGE}\docs\data-files.md"
  File "${QUORVANE_STAGE}\docs\developing.md"
  File "${QUORVANE_STAGE}\docs\export.md"
  File "${QUORVANE_STAGE}\docs\install.md"
  File "${QUORVANE_STAGE}\docs\options.md"
  File "${QUORVANE_STAGE}\docs\performance.md"
  File "${QUORVANE_STAGE}\docs\r-package.md"
  File "${QUORVANE_STAGE}\docs\reports.md"
  File "${QUORVANE_STAGE}\docs\troubleshooting.md"
  SetOutPath "$INSTDIR\web"
  File "${QUORVANE_STAGE}\web\README.md"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The programs started from the Start menu work in the user's Documents folder (the Public
  ; Documents folder for all users).
  CreateDirectory "${START_MENU}"
  SetOutPath "$DOCUMENTS"
  CreateShortcut "${START_MENU}\Quorvane-Pairs.lnk" "$INSTDIR\Quorvane-Pairs.exe"
  CreateShortcut "${START_MENU}\Quorvane-Triads.lnk" "$INSTDIR\Quorvane-Triads.exe"
  CreateShortcut "${START_MENU}\Quorvane-Quads.lnk" "$INSTDIR\Quorvane-Quads.exe"
  ; Quorvane-Groups needs its group size on the command line: it is run from a console, by name
  ; (its folder is on the PATH), and has no shortcut.
  CreateShortcut "${START_MENU}\README.lnk" "$WINDIR\notepad.exe" '"$INSTDIR\README.md"'
  !if /FileExists "${QUORVANE_STAGE}\quorvane.html"
    CreateShortcut "${START_MENU}\Quorvane in the browser.lnk" "$INSTDIR\quorvane.html"
  !endif
  CreateShortcut "${START_MENU}\Uninstall Quorvane.lnk" "$INSTDIR\Uninstall.exe"
  SetOutPath "$INSTDIR"

  ; Apps & features.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${QUORVANE_VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${QUORVANE_VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${QUORVANE_AUTHORS}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quorvane-Triads.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; The programs' folder at the end of the PATH, once.
  Call ReadPath
  ${If} $R7 = 0
    DetailPrint "PATH not changed: it is too long for the installer to edit safely."
    MessageBox MB_ICONEXCLAMATION|MB_OK "Your PATH is too long for the installer to change \
        safely. To run the programs by name in a console, add $INSTDIR to it yourself." /SD IDOK
  ${Else}
    StrCpy $R1 $INSTDIR
    Call PathWithout
    ${If} $R2 == ""
      StrCpy $R2 $INSTDIR
    ${Else}
      StrCpy $R2 "$R2;$INSTDIR"
    ${EndIf}
    Call WritePath
    DetailPrint "Added $INSTDIR to the PATH: new consoles run the programs by name."
  ${EndIf}
SectionEnd

Function un.onInit
  SetRegView 64
  ; Installed for all users when the system's uninstall entry names this folder.
  StrCpy $AllUsers 0
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_ICONSTOP|MB_OK "Quorvane was installed for all users: run its uninstaller \
          as administrator to remove it." /SD IDOK
      SetErrorLevel 740
      Quit
    ${EndIf}
    StrCpy $AllUsers 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Delete "$INSTDIR\Quorvane-Pairs.exe"
  Delete "$INSTDIR\Quorvane-Triads.exe"
  Delete "$INSTDIR\Quorvane-Quads.exe"
  Delete "$INSTDIR\Quorvane-Groups.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\CHANGELOG.md"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\quorvane.html"
  Delete "$INSTDIR\samples\sample-study.txt"
  Delete "$INSTDIR\samples\sample-distribution.svg"
  RMDir "$INSTDIR\samples"
  Delete "$INSTDIR\docs\data-files.md"
  Delete "$INSTDIR\docs\developing.md"
  Delete "$INSTDIR\docs\export.md"
  Delete "$INSTDIR\docs\install.md"
  Delete "$INSTDIR\docs\options.md"
  Delete "$INSTDIR\docs\performance.md"
  Delete "$INSTDIR\docs\r-package.md"
  Delete "$INSTDIR\docs\reports.md"
  Delete "$INSTDIR\docs\troubleshooting.md"
  RMDir "$INSTDIR\docs"
  Delete "$INSTDIR\web\README.md"
  RMDir "$INSTDIR\web"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\*.*"
    DetailPrint "$INSTDIR holds files of yours (reports, data): it stays, with them."
  ${EndIf}

  Delete "${START_MENU}\Quorvane-Pairs.lnk"
  Delete "${START_MENU}\Quorvane-Triads.lnk"
  Delete "${START_MENU}\Quorvane-Quads.lnk"
  Delete "${START_MENU}\README.lnk"
  Delete "${START_MENU}\Quorvane in the browser.lnk"
  Delete "${START_MENU}\Uninstall Quorvane.lnk"
  RMDir "${START_MENU}"

  DeleteRegKey SHCTX "${UNINSTALL_KEY}"

  Call un.ReadPath
  ${If} $R6 = 1
  ${AndIf} $R7 = 1
    StrCpy $R1 $INSTDIR
    Call un.PathWithout
    ${If} $R2 != $R0
      Call un.WritePath
      DetailPrint "Removed $INSTDIR from the PATH."
    ${EndIf}
  ${EndIf}
SectionEnd
