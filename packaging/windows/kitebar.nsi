; The setup program of Kitebar for Windows, built on Linux with makensis by
; scripts/package-windows.sh from the folder that the zip holds:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0 -DPROGRAM=<that folder>
;     -DICON=<kitebar.ico> -DFILES=<list of its files> -DOUTFILE=<setup.exe> kitebar.nsi
; It installs for the current user only, without administrator rights, into
; %LOCALAPPDATA%\Programs\Kitebar; adds the Start menu entry and, when ticked,
; a desktop shortcut; and registers its uninstaller in the user's Apps &
; Features. /S installs and uninstalls without a word. The user's data, in
; %LOCALAPPDATA%\Kitebar, is never touched: neither by installing over an
; older version nor by uninstalling.
Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Kitebar ナンバーズシミュレータ"
!define PUBLISHER "Kitebar Developer"
!define SHORTCUT "Kitebar ナンバーズシミュレータ.lnk"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kitebar"
!define DATA_FOLDER "%LOCALAPPDATA%\Kitebar"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kitebar"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} のセットアップ"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\kitebar.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Kitebar を起動する"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "README.txt（使い方）を開く"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "Kitebar のプログラムを削除します。当選番号や設定などのデータ（${DATA_FOLDER}）は削除しません。データも要らないときは、アンインストールのあとで、そのフォルダーを削除してください。"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

Section "Kitebar（プログラム）" SectionProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; Over an older version the files are replaced; the data lives elsewhere.
  File /r "${PROGRAM}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\kitebar.exe" "" "$INSTDIR\kitebar.exe" 0 \
    SW_SHOWNORMAL "" "ナンバーズ３の予想と当選番号の管理"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kitebar.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
  DetailPrint "データのフォルダー: ${DATA_FOLDER}（初めて起動したときに作られます）"
SectionEnd

Section /o "デスクトップにショートカットを作る" SectionDesktop
  CreateShortcut "$DESKTOP\${SHORTCUT}" "$INSTDIR\kitebar.exe"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionProgram} "Kitebar のデスクトップ版とコマンドライン版。スタート メニューに「${PRODUCT}」を加えます。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionDesktop} "デスクトップに Kitebar のショートカットを置きます。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Only the files that the setup put there go: a folder that the user chose
; for the program may hold other things.
Section "Uninstall"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$DESKTOP\${SHORTCUT}"
  !include "${FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DetailPrint "データのフォルダー（${DATA_FOLDER}）は残しました。"
SectionEnd
