; Torvex setup: installs torvex.exe, jar32.exe, TorvexShExt.dll, the manuals and the tips with a
; Start menu shortcut and an entry in the installed programs. By default for the user running it,
; with no elevation: into %LOCALAPPDATA%\Programs\Torvex, its entry under HKCU, the shortcut in the
; user's own Start menu. For all users (into Program Files, entry under HKLM) only when chosen, on
; the page "Install for" or with /ALLUSERS; that asks for administrator rights.
; It writes no Torvex setting: the first start records its own folder and offers the shell
; integration itself. The uninstaller removes the files, the shortcut, its entry and, for the user
; running it, the registry entries Torvex's own Uninstall command removes.
;
; makensis -DVERSION=1.4.0 -DBIN=<folder with the files> -DOUTFILE=<setup.exe> torvex.nsi
; setup.exe [/S] [/ALLUSERS] [/D=<folder>]

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!ifndef VERSION
  !define VERSION 1.4.0
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Torvex"
!define CLSID "{6F0A91C4-2D7B-11D2-8E41-5A7C0D93B1E2}"

Name "Torvex ${VERSION}"
OutFile "${OUTFILE}"
; No InstallDir: .onInit picks the folder of the chosen mode unless /D named one.
RequestExecutionLevel user
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Torvex"
VIAddVersionKey "CompanyName" "Quendal"
VIAddVersionKey "FileDescription" "Torvex ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"

Var AllUsers      ; 1: Program Files, HKLM, the common Start menu
Var ChosenDir     ; 1 when /D named the folder
Var JustMe
Var Everyone

Page custom InstallModePage InstallModeLeave
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function IsAdmin
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    Push 1
  ${Else}
    Push 0
  ${EndIf}
FunctionEnd

Function ApplyInstallMode
  ${If} $AllUsers == 1
    SetShellVarContext all
    ${If} $ChosenDir != 1
      StrCpy $INSTDIR "$PROGRAMFILES64\Torvex"
    ${EndIf}
  ${Else}
    SetShellVarContext current
    ${If} $ChosenDir != 1
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\Torvex"
    ${EndIf}
  ${EndIf}
FunctionEnd

; All users needs administrator rights: a standard user's setup starts itself again elevated.
Function ElevateForAllUsers
  Call IsAdmin
  Pop $0
  ${If} $0 != 1
    ${If} $ChosenDir == 1
      ExecShell "runas" "$EXEPATH" "/ALLUSERS /D=$INSTDIR"
    ${Else}
      ExecShell "runas" "$EXEPATH" "/ALLUSERS"
    ${EndIf}
    Quit
  ${EndIf}
FunctionEnd

Function .onInit
  StrCpy $AllUsers 0
  StrCpy $ChosenDir 0
  ${If} $INSTDIR != ""
    StrCpy $ChosenDir 1
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
    Call ElevateForAllUsers
  ${EndIf}
  Call ApplyInstallMode
FunctionEnd

Function InstallModePage
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "Install Torvex for:"
  Pop $0
  ${NSD_CreateRadioButton} 10u 28u 100% 12u "&Me only (no administrator rights needed)"
  Pop $JustMe
  ${NSD_CreateRadioButton} 10u 44u 100% 12u "&All users of this computer (asks for administrator rights)"
  Pop $Everyone
  ${If} $AllUsers == 1
    ${NSD_Check} $Everyone
  ${Else}
    ${NSD_Check} $JustMe
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function InstallModeLeave
  ${NSD_GetState} $Everyone $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
    Call ElevateForAllUsers
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  Call ApplyInstallMode
FunctionEnd

Section "Torvex"
  SetOutPath "$INSTDIR"
  File "${BIN}\torvex.exe"
  File "${BIN}\jar32.exe"
  File "${BIN}\TorvexShExt.dll"
  File "${BIN}\manual.htm"
  File "${BIN}\manuel.htm"
  File "${BIN}\tips.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The shortcut starts Torvex in its own folder, where it finds tips.txt and records that folder
  ; as its program folder at the first start.
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\Torvex.lnk" "$INSTDIR\torvex.exe" "" "$INSTDIR\torvex.exe" 0

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Torvex ${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Quendal"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\torvex.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The uninstaller removes what the setup of its own mode made: an entry under HKLM naming this
; folder marks an all-users install.
Function un.onInit
  SetShellVarContext current
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "Torvex was installed for all users: uninstalling it needs administrator rights." /SD IDOK
      Abort
    ${EndIf}
    SetShellVarContext all
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; ".j" goes back to the program that owned it before Torvex, or away when there was none;
  ; a ".j" owned by another program now is left alone. Torvex registers per user, and also in
  ; HKEY_CLASSES_ROOT where that does not show the user's classes.
  ReadRegStr $0 HKCR ".j" ""
  StrCmp $0 "Torvex.Document" 0 dotj_done
    ReadRegStr $1 HKCU "Software\Quendal\Torvex\Settings" "ShExtPrevAssoc"
    StrCmp $1 "" 0 dotj_restore
      DeleteRegKey HKCU "Software\Classes\.j"
      ReadRegStr $0 HKCR ".j" ""
      StrCmp $0 "Torvex.Document" 0 dotj_done
      DeleteRegKey HKCR ".j"
      Goto dotj_done
    dotj_restore:
      WriteRegStr HKCU "Software\Classes\.j" "" $1
      ReadRegStr $0 HKCR ".j" ""
      StrCmp $0 $1 dotj_done
      WriteRegStr HKCR ".j" "" $1
  dotj_done:

  ; The keys of Torvex's Uninstall command, in its order.
  !macro DeleteClassKey KEY
    DeleteRegKey HKCU "Software\Classes\${KEY}"
    DeleteRegKey HKCR "${KEY}"
  !macroend
  !insertmacro DeleteClassKey "Torvex.Document\DefaultIcon"
  !insertmacro DeleteClassKey "Torvex.Document\shell\open\command"
  !insertmacro DeleteClassKey "Torvex.Document\shell\open"
  !insertmacro DeleteClassKey "Torvex.Document\shell"
  !insertmacro DeleteClassKey "Torvex.Document\shellex\ContextMenuHandlers\TorvexMenu"
  !insertmacro DeleteClassKey "Torvex.Document\shellex\ContextMenuHandlers"
  !insertmacro DeleteClassKey "Torvex.Document\shellex\DropHandler"
  !insertmacro DeleteClassKey "Torvex.Document\shellex"
  !insertmacro DeleteClassKey "Torvex.Document"
  !insertmacro DeleteClassKey "CLSID\${CLSID}\InProcServer32"
  !insertmacro DeleteClassKey "CLSID\${CLSID}"
  DeleteRegKey HKCU "Software\Quendal\Torvex\Tip"
  DeleteRegKey HKCU "Software\Quendal\Torvex\Settings"
  DeleteRegKey HKCU "Software\Quendal\Torvex\Recent File List"
  DeleteRegKey HKCU "Software\Quendal\Torvex"
  ; The company key goes too when nothing else of ours is in it.
  DeleteRegKey /ifempty HKCU "Software\Quendal"
  !insertmacro DeleteClassKey "*\shellex\ContextMenuHandlers\Torvex"
  !insertmacro DeleteClassKey "Directory\shellex\ContextMenuHandlers\Torvex"

  Delete "$SMPROGRAMS\Torvex.lnk"
  Delete "$INSTDIR\torvex.exe"
  Delete "$INSTDIR\jar32.exe"
  Delete "$INSTDIR\TorvexShExt.dll"
  Delete "$INSTDIR\manual.htm"
  Delete "$INSTDIR\manuel.htm"
  Delete "$INSTDIR\tips.txt"
  Delete "$INSTDIR\Uninstall.exe"
  ; Left only when the user put files of their own there.
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
