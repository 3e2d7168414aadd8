; The DriveTune installer: per machine in Program Files, a Start-menu entry, an uninstaller in
; the programs list, .foc and .ged files opened with DriveTune. /S installs and uninstalls
; without a question. makensis -DVERSION=x.y.z -DSTAGE=<folder of the programs> -DOUTFILE=<exe>
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "DriveTune"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro Associate ext description
  WriteRegStr HKLM "Software\Classes\.${ext}" "" "${PRODUCT}.${ext}"
  WriteRegStr HKLM "Software\Classes\${PRODUCT}.${ext}" "" "${description}"
  WriteRegStr HKLM "Software\Classes\${PRODUCT}.${ext}\DefaultIcon" "" "$INSTDIR\drivetune.exe,0"
  WriteRegStr HKLM "Software\Classes\${PRODUCT}.${ext}\shell\open\command" "" '"$INSTDIR\drivetune.exe" "%1"'
!macroend

!macro Dissociate ext
  ; Only a .ext still ours is removed: another program may have taken it since.
  ReadRegStr $0 HKLM "Software\Classes\.${ext}" ""
  StrCmp $0 "${PRODUCT}.${ext}" 0 +2
  DeleteRegKey HKLM "Software\Classes\.${ext}"
  DeleteRegKey HKLM "Software\Classes\${PRODUCT}.${ext}"
!macroend

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "DriveTune"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\drivetune.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT} Station.lnk" "$INSTDIR\drivetune.exe" "--station"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "DriveTune developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\drivetune.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}

  !insertmacro Associate foc "DriveTune parameter file"
  !insertmacro Associate ged "DriveTune FOC parameter file"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT} Station.lnk"
  !insertmacro Dissociate foc
  !insertmacro Dissociate ged
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; What the installer put there, and the folder when nothing else is left in it; the user's
  ; settings and backups under %APPDATA% stay.
  !include "${FILELIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
