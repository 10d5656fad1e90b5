; Kestrelwood's installer: for the current user or for all users, a Start
; menu entry and an uninstall entry, all of it removed again on uninstall.
; The settings key stays unless the user ticks the box (or passes
; /RemoveSettings to a silent uninstall).
;
; Built by tools/make-release.sh with:
;   /DVERSION=3.02 /DEXE=<Kestrelwood.exe> /DGUIDE=<guide folder>
;   /DICON=<kestrelwood.ico> /DOUTFILE=<setup.exe>

Unicode true
SetCompressor /SOLID lzma

!define NAME "Kestrelwood"
!define PUBLISHER "Brannoc"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrelwood"
!define SETTINGS_KEY "Software\Brannoc\Kestrelwood"

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_INSTDIR "${NAME}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Kestrelwood.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"

LangString GuideLink ${LANG_ENGLISH} "Kestrelwood Guide"
LangString GuideLink ${LANG_GERMAN} "Kestrelwood Anleitung"
LangString GuideLink ${LANG_FRENCH} "Guide Kestrelwood"
LangString ProgramSection ${LANG_ENGLISH} "Kestrelwood"
LangString ProgramSection ${LANG_GERMAN} "Kestrelwood"
LangString ProgramSection ${LANG_FRENCH} "Kestrelwood"
LangString SettingsSection ${LANG_ENGLISH} "Also remove my settings"
LangString SettingsSection ${LANG_GERMAN} "Auch meine Einstellungen entfernen"
LangString SettingsSection ${LANG_FRENCH} "Supprimer aussi mes réglages"

VIProductVersion "3.2.0.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${NAME} ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright © 2026 ${PUBLISHER}"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Section "Kestrelwood" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=Kestrelwood.exe" "${EXE}"
  SetOutPath "$INSTDIR\Guide"
  File /r "${GUIDE}\*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Kestrelwood.lnk" "$INSTDIR\Kestrelwood.exe"
  CreateShortcut "$SMPROGRAMS\$(GuideLink).lnk" "$INSTDIR\Guide\index.html"

  ; The uninstaller runs in the mode the program was installed in.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${NAME} ${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kestrelwood.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "GuideLink" "$(GuideLink).lnk"
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "un.$(ProgramSection)" SecUninstallProgram
  SectionIn RO
  ; The guide link's name depends on the language it was installed in.
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "GuideLink"
  ${If} $0 != ""
    Delete "$SMPROGRAMS\$0"
  ${EndIf}
  Delete "$SMPROGRAMS\Kestrelwood.lnk"
  Delete "$INSTDIR\Kestrelwood.exe"
  RMDir /r "$INSTDIR\Guide"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.$(SettingsSection)" SecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Brannoc"
SectionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/RemoveSettings" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSettings}
  ${EndIf}
FunctionEnd
