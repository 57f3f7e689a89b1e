; The Windows installer of readceph (NSIS 3, Modern UI 2): everything in the staging
; folder that `cmake --install` fills (readceph.exe, cephtool.exe, the Chinese font,
; the demo patient, the click-error table, the licences) into Program Files\readceph,
; a Start-menu shortcut, and an uninstaller listed under Apps / Add or Remove Programs.
; Built on Linux by scripts/windows-installer.sh, which calls:
;
;   makensis -V2 -DVERSION=0.1 -DSTAGE=/abs/STAGE -DOUTFILE=/abs/readceph-0.1-setup.exe \
;            [-DICON=/abs/readceph.ico] [-DLICENCE=/abs/terms.txt] readceph.nsi
;
; VERSION is what Add/Remove Programs shows; ICON, the setup's and the uninstaller's
; own icon, defaults to readceph.ico beside this script (the programs carry it too);
; LICENCE, when given, adds a page that shows it before the folder is chosen; LISTDIR
; is where the file lists go (below).
;
; Roll-outs: readceph-VERSION-setup.exe /S [/RECEIVER] [/D=C:\other\folder] installs
; without a window (the exit code is 0 only when every file is in place); an install over an
; earlier one first removes that one's files, wherever it was, then puts the new ones.
; The uninstaller ("...\uninstall.exe" /S for a silent one) removes exactly the files
; the installer put there, the shortcut and the registry key. The practices' data
; folders live elsewhere and are never touched; files added inside the program's folder
; stay, and so does the folder holding them.
;
; The film receiver (cephtool.exe receive) is an option, not ticked unless asked for:
; /RECEIVER, or an earlier install that had it. It registers the scheduled task
; "readceph\receive", started with Windows as NETWORK SERVICE, reading its settings from
; ProgramData\readceph\receive-settings.txt (put there once, never overwritten: the
; practice fills it in); the uninstaller removes the task and leaves the settings.

Unicode true
Target amd64-unicode
; Solid, with a dictionary larger than either program: both link the same core and
; libraries statically, and one stream over both compresses that code once.
SetCompressor /SOLID /FINAL lzma
SetCompressorDictSize 64

!ifndef VERSION
  !error "VERSION is missing: makensis -DVERSION=0.1 -DSTAGE=... -DOUTFILE=... readceph.nsi"
!endif
!ifndef STAGE
  !error "STAGE is missing: makensis -DSTAGE=/abs/path/to/the/staging/folder ..."
!endif
!ifndef OUTFILE
  !error "OUTFILE is missing: makensis -DOUTFILE=/abs/path/readceph-VERSION-setup.exe ..."
!endif
!define /ifndef ICON "${__FILEDIR__}/readceph.ico"

!macro RequireStaged FILE
  !if ! /FileExists "${STAGE}/${FILE}"
    !error "${STAGE}/${FILE} is missing: is STAGE the folder that cmake --install filled?"
  !endif
!macroend
!insertmacro RequireStaged "readceph.exe"
!insertmacro RequireStaged "cephtool.exe"
!insertmacro RequireStaged "fonts/NotoSansCJK-Regular.ttc"
!insertmacro RequireStaged "translations/qtbase_zh_TW.qm"
!insertmacro RequireStaged "demo/OutExe.tmp"
!insertmacro RequireStaged "landmark-error.tsv"
; The film receiver only where cephtool.exe has it (its settings are staged beside it).
!if /FileExists "${STAGE}/receive-settings.txt"
  !define HAVE_RECEIVER
!endif
!if ! /FileExists "${ICON}"
  !error "The icon ${ICON} is missing."
!endif

!define PRODUCT "readceph"
!define PUBLISHER "The readceph developers"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\readceph"
!define RECEIVER_TASK "readceph\receive"

; The lists of files to install and to remove, from one listing of the staging folder:
; in LISTDIR when given (a folder the caller removes, also when the build fails), else
; in temporary files.
!ifdef LISTDIR
  !define INSTALL_LIST "${LISTDIR}/install.nsh"
  !define UNINSTALL_LIST "${LISTDIR}/uninstall.nsh"
!else
  !tempfile INSTALL_LIST
  !tempfile UNINSTALL_LIST
!endif
!system 'bash "${__FILEDIR__}/file-lists.sh" "${STAGE}" "${INSTALL_LIST}" "${UNINSTALL_LIST}"' = 0

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include WordFunc.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; Where an earlier install went, unless /D= or the folder page says otherwise.
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel admin
; A file that cannot be replaced (the program still running) ends the install with an
; error instead of leaving the old file behind with a successful exit code.
AllowSkipFiles off
ManifestDPIAware true
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!ifdef LICENCE
  !insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!endif
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; English first: the fallback for any system language other than Chinese (Taiwan/HK).
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "TradChinese"

LangString ShortcutText ${LANG_ENGLISH} "Lateral cephalometric analysis"
LangString ShortcutText ${LANG_TRADCHINESE} "側面頭顱測量分析"
LangString FinishText ${LANG_ENGLISH} "${PRODUCT} is installed.$\r$\n$\r$\nThe dental practice software starts it for a patient from its data folder (readceph.exe with the patient file).$\r$\n$\r$\nThe demo patient is in the folder demo of the program folder: copy it to a folder you can write to before trying it."
LangString FinishText ${LANG_TRADCHINESE} "${PRODUCT} 已安裝完成。$\r$\n$\r$\n平時由牙醫軟體在病人資料夾中啟動（readceph.exe 加上病人資料檔）。$\r$\n$\r$\n示範病人在程式資料夾的 demo 內：請先複製到可以寫入的資料夾再試用。"
LangString InUse ${LANG_ENGLISH} "$R9 cannot be replaced: it is in use. Close readceph and cephtool, then choose Retry."
LangString InUse ${LANG_TRADCHINESE} "無法取代 $R9：檔案正在使用中。請關閉 readceph 與 cephtool 後按「重試」。"
LangString RemovingEarlier ${LANG_ENGLISH} "Removing the earlier install in $1"
LangString RemovingEarlier ${LANG_TRADCHINESE} "正在移除 $1 中先前安裝的版本"
LangString ReceiverName ${LANG_ENGLISH} "DICOM film receiver"
LangString ReceiverName ${LANG_TRADCHINESE} "DICOM 影像接收"
LangString ReceiverText ${LANG_ENGLISH} "Starts with Windows and files the films X-ray units send under their patients. Off until ProgramData\readceph\receive-settings.txt is filled in."
LangString ReceiverText ${LANG_TRADCHINESE} "隨 Windows 啟動，將 X 光機傳來的影像依病人歸檔。填好 ProgramData\readceph\receive-settings.txt 後才啟用。"
LangString TaskFailed ${LANG_ENGLISH} "The film receiver could not be registered with the Task Scheduler (schtasks ended with $1)."
LangString TaskFailed ${LANG_TRADCHINESE} "無法向工作排程器登錄影像接收（schtasks 結束碼 $1）。"
LangString NotAdmin ${LANG_ENGLISH} "Installing ${PRODUCT} needs an administrator account."
LangString NotAdmin ${LANG_TRADCHINESE} "安裝 ${PRODUCT} 需要系統管理員帳戶。"

; The setup file's properties; FILEVERSION is VERSION as four numbers (0.1 -> 0.1.0.0).
!ifdef FILEVERSION
VIProductVersion "${FILEVERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}"
!endif

; Waits while FILE in DIR cannot be opened for writing, which Windows refuses for a
; running program; Cancel (the answer of a silent run) ends without changing anything.
!macro WaitUntilFree DIR FILE
  !define ID ${__COUNTER__}
  IfFileExists "${DIR}\${FILE}" 0 free_${ID}
  StrCpy $R9 "${DIR}\${FILE}"
  retry_${ID}:
  ClearErrors
  FileOpen $0 "${DIR}\${FILE}" a
  IfErrors 0 close_${ID}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(InUse)" /SD IDCANCEL IDRETRY retry_${ID}
  Abort "$(InUse)"
  close_${ID}:
  FileClose $0
  free_${ID}:
  !undef ID
!macroend

; Runs the uninstaller of an earlier install in DIR, in place (_?=) so that it has
; finished before the new files go in: files that the new version no longer has do not
; linger, and an install in another folder does not leave the old one behind.
; The receiver's task, if any, is ended: its cephtool.exe would hold the file. Windows
; ends the process a moment after schtasks returns: up to 15 s are given before the
; file is taken as in use.
!macro EndReceiver UN
  nsExec::Exec '"$SYSDIR\schtasks.exe" /End /TN "${RECEIVER_TASK}"'
  Pop $0
  Push $INSTDIR
  Call ${UN}WaitForReceiverEnd
!macroend

; For the installer and, named un., for the uninstaller.
!macro WaitForReceiverEndFunction UN
Function ${UN}WaitForReceiverEnd
  Exch $1
  Push $2
  StrCpy $2 0
  ${DoWhile} $2 < 30
    ${IfNot} ${FileExists} "$1\cephtool.exe"
      ${Break}
    ${EndIf}
    ClearErrors
    FileOpen $0 "$1\cephtool.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    Sleep 500
    IntOp $2 $2 + 1
  ${Loop}
  Pop $2
  Pop $1
FunctionEnd
!macroend
!insertmacro WaitForReceiverEndFunction ""
!insertmacro WaitForReceiverEndFunction "un."

Function RemoveEarlier
  Exch $1
  ${If} ${FileExists} "$1\uninstall.exe"
    !insertmacro WaitUntilFree "$1" "readceph.exe"
    !insertmacro WaitUntilFree "$1" "cephtool.exe"
    DetailPrint "$(RemovingEarlier)"
    ExecWait '"$1\uninstall.exe" /S _?=$1'
    Delete "$1\uninstall.exe"
    RMDir "$1"
  ${EndIf}
  Pop $1
FunctionEnd

Function .onInit
  SetRegView 64
  SetShellVarContext all
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NotAdmin)" /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
  !ifdef HAVE_RECEIVER
    Call PreselectReceiver
  !endif
FunctionEnd

Section "readceph" SecProgram
  SectionIn RO
  SetRegView 64
  SetShellVarContext all

  !insertmacro EndReceiver ""
  !insertmacro WaitUntilFree "$INSTDIR" "readceph.exe"
  !insertmacro WaitUntilFree "$INSTDIR" "cephtool.exe"
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $0 != ""
    Push $0
    Call RemoveEarlier
  ${EndIf}
  Push $INSTDIR
  Call RemoveEarlier

  !include /CHARSET=UTF8 "${INSTALL_LIST}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The suite starts the program from a patient's data folder; the shortcut, for
  ; convenience, starts it in the program folder.
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\readceph.exe" "" \
      "$INSTDIR\readceph.exe" 0 SW_SHOWNORMAL "" "$(ShortcutText)"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\readceph.exe,0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

!ifdef HAVE_RECEIVER
Section /o "$(ReceiverName)" SecReceiver
  SetRegView 64
  SetShellVarContext all
  ; The settings once: a practice's own are never overwritten. Their folder is the
  ; administrators' alone (ProgramData lets every user create files, and whoever wrote
  ; the settings would choose who may send films); NETWORK SERVICE, which runs the
  ; task, reads it. Rights anyone gave what is already there are taken back.
  CreateDirectory "$APPDATA\readceph"
  ${IfNot} ${FileExists} "$APPDATA\readceph\receive-settings.txt"
    CopyFiles /SILENT "$INSTDIR\receive-settings.txt" "$APPDATA\readceph\receive-settings.txt"
  ${EndIf}
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$APPDATA\readceph" /setowner *S-1-5-32-544 /T /C /Q'
  Pop $1
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$APPDATA\readceph" /inheritance:r /grant:r \
      *S-1-5-18:(OI)(CI)F *S-1-5-32-544:(OI)(CI)F *S-1-5-20:(OI)(CI)RX /C /Q'
  Pop $1
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$APPDATA\readceph\*" /reset /T /C /Q'
  Pop $1
  ; The task, from its description in UTF-16 as schtasks reads it: at start-up and
  ; every 5 minutes after (one instance at a time: a receiver that ended, its address
  ; not there yet at start-up or a crash, is back within minutes), as NETWORK SERVICE,
  ; never stopped for running long.
  ${WordReplace} "$INSTDIR" "&" "&amp;" "+" $2
  ${WordReplace} "$APPDATA" "&" "&amp;" "+" $3
  InitPluginsDir
  FileOpen $0 "$PLUGINSDIR\receive-task.xml" w
  FileWriteWord $0 0xFEFF
  FileWriteUTF16LE $0 '<?xml version="1.0" encoding="UTF-16"?>$\r$\n\
<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">$\r$\n\
<RegistrationInfo><Description>readceph: files the films X-ray units send over DICOM under their patients; settings in $3\readceph\receive-settings.txt</Description></RegistrationInfo>$\r$\n\
<Triggers><BootTrigger><Repetition><Interval>PT5M</Interval></Repetition><Enabled>true</Enabled></BootTrigger></Triggers>$\r$\n\
<Principals><Principal id="Receiver"><UserId>S-1-5-20</UserId><RunLevel>LeastPrivilege</RunLevel></Principal></Principals>$\r$\n'
  FileWriteUTF16LE $0 '<Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\
<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries><StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\
<ExecutionTimeLimit>PT0S</ExecutionTimeLimit><StartWhenAvailable>true</StartWhenAvailable>\
<RestartOnFailure><Interval>PT1M</Interval><Count>3</Count></RestartOnFailure><Enabled>true</Enabled></Settings>$\r$\n\
<Actions Context="Receiver"><Exec><Command>$2\cephtool.exe</Command>\
<Arguments>receive --settings "$3\readceph\receive-settings.txt"</Arguments></Exec></Actions>$\r$\n\
</Task>$\r$\n'
  FileClose $0
  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Create /TN "${RECEIVER_TASK}" /XML "$PLUGINSDIR\receive-task.xml" /F'
  Pop $1
  ${If} $1 == 0
    WriteRegDWORD HKLM "${UNINST_KEY}" "Receiver" 1
    ; Started now too, so that films keep arriving after an upgrade without a restart.
    nsExec::Exec '"$SYSDIR\schtasks.exe" /Run /TN "${RECEIVER_TASK}"'
    Pop $1
  ${Else}
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(TaskFailed)" /SD IDOK
    SetErrorLevel 2
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecReceiver} "$(ReceiverText)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; The receiver is ticked when asked for (/RECEIVER) or when the install being replaced
; had it: an upgrade keeps it running.
Function PreselectReceiver
  SetRegView 64
  ReadRegDWORD $0 HKLM "${UNINST_KEY}" "Receiver"
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/RECEIVER" $2
  ${If} $0 == 1
  ${OrIfNot} ${Errors}
    !insertmacro SelectSection ${SecReceiver}
  ${EndIf}
FunctionEnd
!endif

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  ; A running program's file cannot be deleted: stop before removing anything, rather
  ; than leave half an install that Add/Remove Programs no longer lists.
  !insertmacro EndReceiver "un."
  !insertmacro WaitUntilFree "$INSTDIR" "readceph.exe"
  !insertmacro WaitUntilFree "$INSTDIR" "cephtool.exe"

  !include /CHARSET=UTF8 "${UNINSTALL_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; The receiver's task goes; its settings in ProgramData stay for a later install.
  nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /TN "${RECEIVER_TASK}" /F'
  Pop $0
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd

!delfile "${INSTALL_LIST}"
!delfile "${UNINSTALL_LIST}"
