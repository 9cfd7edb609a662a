; Pictaro's Windows setup, built on Linux by MakePackage.cmake:
;   makensis -DVERSION=1.1 -DARCH=x86|amd64 -DSTAGE=DIR -DOUTFILE=FILE pictaro.nsi
; STAGE holds the files to install. Everything the setup writes, the
; uninstaller takes away again; a .swf default it did not set is left alone.
Unicode true
!if "${ARCH}" == "amd64"
  Target amd64-unicode
  !define PROGRAMS_DIR "$PROGRAMFILES64"
!else
  !define PROGRAMS_DIR "$PROGRAMFILES"
!endif

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pictaro"
!define PROGID "Pictaro.swf"
!define CLASSES "Software\Classes"
!define OPEN_COMMAND '"$INSTDIR\pictaro.exe" "%1"'
; SHCNE_ASSOCCHANGED: Explorer rereads the associations.
!define NOTIFY_ASSOCIATIONS "System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'"

Name "Pictaro ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS_DIR}\Pictaro"
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro PerMachine
  SetShellVarContext all
  !if "${ARCH}" == "amd64"
    SetRegView 64
  !endif
!macroend

Function .onInit
  !insertmacro PerMachine
FunctionEnd

Function un.onInit
  !insertmacro PerMachine
FunctionEnd

Section "Pictaro"
  SetOutPath "$INSTDIR"
  File "${STAGE}/pictaro.exe"
  File "${STAGE}/action.swf"
  File "${STAGE}/swfshot.exe"
  File "${STAGE}/sample.swf"
  File "${STAGE}/ReadMe.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Pictaro.lnk" "$INSTDIR\pictaro.exe"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Pictaro"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "The Pictaro team"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\pictaro.exe,0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1

  ; .swf files: Pictaro in their "Open with" list, and their default only
  ; where no program is set to open them yet.
  WriteRegStr HKLM "${CLASSES}\${PROGID}" "" "SWF Movie"
  WriteRegStr HKLM "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\pictaro.exe,0"
  WriteRegStr HKLM "${CLASSES}\${PROGID}\shell\open\command" "" '${OPEN_COMMAND}'
  WriteRegStr HKLM "${CLASSES}\Applications\pictaro.exe\shell\open\command" "" '${OPEN_COMMAND}'
  WriteRegStr HKLM "${CLASSES}\Applications\pictaro.exe\SupportedTypes" ".swf" ""
  ReadRegStr $0 HKCR ".swf" ""
  WriteRegNone HKLM "${CLASSES}\.swf\OpenWithProgids" "${PROGID}"
  StrCmp $0 "" 0 +2
    WriteRegStr HKLM "${CLASSES}\.swf" "" "${PROGID}"
  ${NOTIFY_ASSOCIATIONS}
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\pictaro.exe"
  Delete "$INSTDIR\action.swf"
  Delete "$INSTDIR\swfshot.exe"
  Delete "$INSTDIR\sample.swf"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Pictaro.lnk"

  ReadRegStr $0 HKLM "${CLASSES}\.swf" ""
  StrCmp $0 "${PROGID}" 0 +2
    DeleteRegValue HKLM "${CLASSES}\.swf" ""
  DeleteRegValue HKLM "${CLASSES}\.swf\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKLM "${CLASSES}\.swf\OpenWithProgids"
  DeleteRegKey /ifempty HKLM "${CLASSES}\.swf"
  DeleteRegKey HKLM "${CLASSES}\${PROGID}"
  DeleteRegKey HKLM "${CLASSES}\Applications\pictaro.exe"
  DeleteRegKey HKLM "${UNINST_KEY}"
  ${NOTIFY_ASSOCIATIONS}
SectionEnd
