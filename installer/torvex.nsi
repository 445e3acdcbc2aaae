; Torvex setup: installs torvex.exe, jar32.exe, TorvexShExt.dll, the manuals and the tips into a
; folder the user chooses, with a Start menu shortcut and an entry in the installed programs.
; It writes no Torvex setting: the first start records its own folder and offers the shell
; integration itself. The uninstaller removes the files, the shortcut, its entry and, for the user
; running it, the registry entries Torvex's own Uninstall command removes.
;
; makensis -DVERSION=1.4.0 -DBIN=<folder with the files> -DOUTFILE=<setup.exe> torvex.nsi

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef VERSION
  !define VERSION 1.4.0
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Torvex"
!define CLSID "{6F0A91C4-2D7B-11D2-8E41-5A7C0D93B1E2}"

Name "Torvex ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Torvex"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Torvex"
VIAddVersionKey "CompanyName" "Quendal"
VIAddVersionKey "FileDescription" "Torvex ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Torvex"
  SetShellVarContext all
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

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Torvex ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quendal"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\torvex.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all

  ; ".j" goes back to the program that owned it before Torvex, or away when there was none;
  ; a ".j" owned by another program now is left alone.
  ReadRegStr $0 HKCR ".j" ""
  StrCmp $0 "Torvex.Document" 0 dotj_done
    ReadRegStr $1 HKCU "Software\Quendal\Torvex\Settings" "ShExtPrevAssoc"
    StrCmp $1 "" 0 dotj_restore
      DeleteRegKey HKCR ".j"
      Goto dotj_done
    dotj_restore:
      WriteRegStr HKCR ".j" "" $1
  dotj_done:

  ; The keys of Torvex's Uninstall command, in its order.
  DeleteRegKey HKCR "Torvex.Document\DefaultIcon"
  DeleteRegKey HKCR "Torvex.Document\shell\open\command"
  DeleteRegKey HKCR "Torvex.Document\shell\open"
  DeleteRegKey HKCR "Torvex.Document\shell"
  DeleteRegKey HKCR "Torvex.Document\shellex\ContextMenuHandlers\TorvexMenu"
  DeleteRegKey HKCR "Torvex.Document\shellex\ContextMenuHandlers"
  DeleteRegKey HKCR "Torvex.Document\shellex\DropHandler"
  DeleteRegKey HKCR "Torvex.Document\shellex"
  DeleteRegKey HKCR "Torvex.Document"
  DeleteRegKey HKCR "CLSID\${CLSID}\InProcServer32"
  DeleteRegKey HKCR "CLSID\${CLSID}"
  DeleteRegKey HKCU "Software\Quendal\Torvex\Tip"
  DeleteRegKey HKCU "Software\Quendal\Torvex\Settings"
  DeleteRegKey HKCU "Software\Quendal\Torvex\Recent File List"
  DeleteRegKey HKCU "Software\Quendal\Torvex"
  DeleteRegKey HKCR "*\shellex\ContextMenuHandlers\Torvex"
  DeleteRegKey HKCR "Directory\shellex\ContextMenuHandlers\Torvex"

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
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
