; The Windows setup program of KVIRO.REZ (NSIS 3, Unicode, 64-bit). scripts/windows.sh
; stages the files and writes the two lists included below, then runs
;   makensis -DVERSION=x.y.z -DSTAGE=<staged folder> -DLISTS=<folder of the lists>
;            -DOUTFILE=<setup.exe> packaging/kviro-rez.nsi
; Per user by default, into %LOCALAPPDATA%\Programs\KVIRO.REZ, no administrator needed;
; /AllUsers (run as administrator) installs into Program Files for everyone. /S is silent,
; /D=<folder> (last on the command line) chooses the folder.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define PRODUCT "KVIRO.REZ"
!define PUBLISHER "The KVIRO.REZ authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KVIRO.REZ"
!define SHORTCUT "KVIRO.REZ — анализ опросника РЭЗ.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT licence"

Var AllUsers

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\rez.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${PRODUCT} работает только в 64-разрядной Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  StrCpy $AllUsers 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AllUsers" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}
  ${If} $AllUsers == 1
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_ICONSTOP "Установка для всех пользователей (/AllUsers) требует запуска от имени администратора." /SD IDOK
      SetErrorLevel 740
      Quit
    ${EndIf}
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
  ; /D= sets the folder before this runs; otherwise the folder of an earlier install, else the
  ; default of the chosen mode.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    ${If} $AllUsers == 1
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "${PRODUCT}"
  ; An earlier version in this folder goes first, by its own uninstaller and its own list, so
  ; files this version no longer ships do not stay behind. The user's files are not on it.
  ${If} ${FileExists} "$INSTDIR\uninstall.exe"
    CopyFiles /SILENT "$INSTDIR\uninstall.exe" "$PLUGINSDIR\old-uninstall.exe"
    ExecWait '"$PLUGINSDIR\old-uninstall.exe" /S /KeepFolder _?=$INSTDIR'
    Delete "$INSTDIR\uninstall.exe"
  ${EndIf}

  !include "${LISTS}\install.nsh"
  SetOutPath "$INSTDIR"
  ; The programs propose results in the user's documents when they find this beside them.
  FileOpen $0 "$INSTDIR\kviro-rez.installed" w
  FileWrite $0 "Installed by the KVIRO.REZ setup program, version ${VERSION}.$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\rez.exe" "" "$INSTDIR\rez.exe" 0 \
    SW_SHOWNORMAL "" "Анализ опросника управленческих навыков РЭЗ"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\rez.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Function un.onInit
  SetRegView 64
  ; Installed for all users when the machine's own entry names this folder.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; Exactly the files this version installed; a folder goes only when nothing else is left
  ; in it, so whatever the user put there stays.
  !include "${LISTS}\uninstall.nsh"
  Delete "$INSTDIR\kviro-rez.installed"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$INSTDIR\uninstall.exe"
  ; An upgrade keeps the folder and the entry: the new version writes them again.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/KeepFolder" $1
  ${If} ${Errors}
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd
