; Tilo's setup program, Tilo-setup.exe, and the uninstaller it writes, uninstal.exe.
; Built by the project's build (CMakeLists.txt) with makensis 3's 64-bit stubs:
;   makensis -DTILO_SCR=<the built Tilo.scr> -DOUTFILE=<Tilo-setup.exe> installer/tilo.nsi
; The version comes from resources/version.h unless -DTILO_VERSION=x.y.z gives another
; (the tests build an earlier-numbered setup to update from).
;
; What the setup writes, and all that the uninstaller removes again:
;   <folder>\Tilo.scr and <folder>\uninstal.exe; the folder goes only when empty
;   HKLM Software\Corvane\Tilo "install_dir": the folder, no trailing backslash; the
;       saver's "Remove Tilo" schedules <install_dir>\uninstal.exe under RunOnce
;   HKLM ...\Uninstall\Tilo: the product's registration, removed last of all
;   component: <system folder>\Tilo.scr, so that the Display control panel lists Tilo
;   component: HKCU Control Panel\Desktop "SCRNSAVE.EXE" and "ScreenSaveActive"
; The uninstaller also removes the "kill_saver..." RunOnce values that point at it, and
; the saver's settings (HKCU Software\Corvane\Tilo) only when the user ticks them.
;
; The uninstaller ends in one of two states: everything removed, or everything kept with
; uninstal.exe in place. A file that another program holds open while letting it be
; deleted (a virus scanner, the search indexer) counts as removed: it goes when that
; program closes it, and a folder it kept goes at the next start of Windows.
;
; Exit codes: 0 done; 1 cancelled by the user; 2 not done: another setup or uninstall
; is running, the folder cannot be written or its name is too long, or a file is in use
; or cannot be removed (the uninstaller then removes nothing; a message says which;
; silent runs say it through the code alone).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
ManifestSupportedOS all

!include LogicLib.nsh
!include FileFunc.nsh
!include MUI2.nsh

!ifndef TILO_SCR | OUTFILE
  !error "give -DTILO_SCR=<Tilo.scr> and -DOUTFILE=<setup program>"
!endif
!ifndef TILO_VERSION
  !searchparse /file "${__FILEDIR__}/../resources/version.h" "#define TILO_VERSION_MAJOR " V_MAJOR
  !searchparse /file "${__FILEDIR__}/../resources/version.h" "#define TILO_VERSION_MINOR " V_MINOR
  !searchparse /file "${__FILEDIR__}/../resources/version.h" "#define TILO_VERSION_PATCH " V_PATCH
  !define TILO_VERSION "${V_MAJOR}.${V_MINOR}.${V_PATCH}"
!endif

!define PRODUCT_KEY "Software\Corvane\Tilo"
!define MAKER_KEY "Software\Corvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tilo"
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define DESKTOP_KEY "Control Panel\Desktop"
; The saver's "Remove Tilo" has Windows run "<install_dir>\uninstal.exe" once, and
; Windows runs no such command longer than the saver's limit: the folder leaves room for
; the two quotes and "\uninstal.exe" (15 characters), blanks or not, as the saver counts.
!searchparse /file "${__FILEDIR__}/../dialogs/removal_command.h" "#define TILO_MAX_RUNONCE_COMMAND " MAX_RUNONCE_COMMAND
!define /math MAX_FOLDER_LENGTH ${MAX_RUNONCE_COMMAND} - 15
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDCHANGE 2
!define ERROR_ALREADY_EXISTS 183
!define ERROR_SHARING_VIOLATION 32
!define DELETE 0x10000
!define FILE_SHARE_ALL 7
!define OPEN_EXISTING 3
!define FILE_DISPOSITION_INFO 4
!define FILE_ATTRIBUTE_READONLY 1
!define MOVEFILE_DELAY_UNTIL_REBOOT 4
; The uninstaller's answers for a file of Tilo's ($0) that cannot go.
!define CANNOT_DELETE "Tilo could not be removed: $0 cannot be deleted. The folder may be read-only, or this account may not change it.$\r$\nNothing was removed. Make the folder writable, then run the uninstaller again."
!define READ_ONLY "Tilo could not be removed: $0 is read-only, and this account may not change that.$\r$\nNothing was removed. Clear the file's read-only attribute, then run the uninstaller again."
!define IN_USE "Tilo could not be removed: $0 is in use.$\r$\nClose Tilo wherever it runs, and the screen saver settings of the Display control panel, then run the uninstaller again. Nothing was removed."

Name "Tilo"
Caption "Tilo ${TILO_VERSION} Setup"
UninstallCaption "Tilo Uninstall"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tilo"
InstallDirRegKey HKLM "${PRODUCT_KEY}" "install_dir"
BrandingText "Tilo ${TILO_VERSION}"
AllowSkipFiles off
ShowInstDetails show
ShowUninstDetails show

; Hooks on the programs makensis writes, in this order. Each is first brought into the
; form that signing leaves around a signature (pe_checksum.py), so that a signed release
; less its signatures is the unsigned one. SIGN (scripts/sign.sh), run as
; SIGN <file> <release file name>, signs the uninstaller before it is packed, so that
; the one the setup writes is signed, and the setup last. UNINSTALLER_OUT keeps the uninstaller
; as packed, a release output of its own.
!uninstfinalize 'python3 "${__FILEDIR__}/pe_checksum.py" "%1"' = 0
!finalize 'python3 "${__FILEDIR__}/pe_checksum.py" "%1"' = 0
!ifdef SIGN
  !uninstfinalize '${SIGN} "%1" uninstal.exe' = 0
  !finalize '${SIGN} "%1" Tilo-setup.exe' = 0
!endif
!ifdef UNINSTALLER_OUT
  !uninstfinalize 'cat "%1" > "${UNINSTALLER_OUT}"' = 0
!endif
; Of the packed files only the saver keeps its date, the release's (the build dates the
; packed copy so); the wizard's pictures and the plugins carry none, so that no file
; times of a checkout or of the build machine reach the setup.
SetDateSave off
!macro PACK_SAVER
  SetDateSave on
  File "/oname=Tilo.scr" "${TILO_SCR}"
  SetDateSave off
!macroend

VIProductVersion "${TILO_VERSION}.0"
VIAddVersionKey /LANG=1033 ProductName "Tilo"
VIAddVersionKey /LANG=1033 CompanyName "Corvane"
VIAddVersionKey /LANG=1033 FileDescription "Tilo Screen Saver Setup"
VIAddVersionKey /LANG=1033 FileVersion "${TILO_VERSION}"
VIAddVersionKey /LANG=1033 ProductVersion "${TILO_VERSION}"
VIAddVersionKey /LANG=1033 LegalCopyright "Corvane"

Var Updating        ; "1" when a live earlier installation is being updated in place
Var InstallSaver    ; $INSTDIR\Tilo.scr, and its short form while it exists
Var InstallSaverShort
Var SystemSaver     ; the system-folder copy an installation recorded, and its short form
Var SystemSaverShort
Var UninstallerShort
Var MadeFolder      ; the outermost folder this setup makes for $INSTDIR, "" when it existed
Var Marked          ; how many files marked for deletion lie on the stack, each as its
                    ; path, its attributes before and the handle that marks it

;--------------------------------
; Look: Tilo's own icon and pictures (tools/make_images.py draws them).

!define MUI_ICON "${__FILEDIR__}/../resources/tilo.ico"
!define MUI_UNICON "${__FILEDIR__}/../resources/tilo.ico"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${__FILEDIR__}/header.bmp"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}/wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}/wizard.bmp"
!define MUI_COMPONENTSPAGE_CHECKBITMAP "${__FILEDIR__}/checks.bmp"
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

; Setup: components, folder, progress, finish.
!define MUI_COMPONENTSPAGE_TEXT_TOP "Tilo is a screen saver. Untick what you do not want, then click Next."
!define MUI_PAGE_CUSTOMFUNCTION_SHOW SayWhenUpdating
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipFolderPageOnUpdate
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderPage
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_FINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_PAGE_INSTFILES
; No switch: the settings without an owner, which outlive this program.
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tilo.scr"
!define MUI_FINISHPAGE_RUN_TEXT "Open Tilo's settings"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

; Uninstall: what to remove (the settings are one box), progress, finish.
!define MUI_COMPONENTSPAGE_TEXT_TOP "Tilo will be removed from $INSTDIR. Your settings stay unless you tick them."
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.HideSpaceNeeded
!insertmacro MUI_UNPAGE_COMPONENTS
!define MUI_UNFINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

;--------------------------------
; Shared by setup and uninstaller (each needs its own copy, the uninstaller's named "un.").

; One setup or uninstall at a time: a second one says so and ends with 2. The mutex
; lives as long as this process.
!macro ONE_AT_A_TIME
  System::Call 'kernel32::CreateMutex(p 0, i 0, t "Corvane.Tilo.Setup") p .r0 ?e'
  Pop $1
  ${If} $1 = ${ERROR_ALREADY_EXISTS}
    MessageBox MB_OK|MB_ICONEXCLAMATION "Tilo's setup or uninstall is already running.$\r$\nLet it finish, then try again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

!macro DEFINE_SHARED un
  ; $0 -> $0: the path as its short (8.3) form; unchanged when the file does not exist.
  Function ${un}ShortPath
    ${If} ${FileExists} $0
      GetFullPathName /SHORT $0 $0
    ${EndIf}
  FunctionEnd

  ; $0 -> $0: the path as its long form; unchanged when the file does not exist.
  Function ${un}LongPath
    System::Call 'kernel32::GetLongPathName(t r0, t .r1, i ${NSIS_MAX_STRLEN}) i .r2'
    ${If} $2 > 0
      StrCpy $0 $1
    ${EndIf}
  FunctionEnd

  ; The long and short names of Tilo's copies as they are now: compare with these after
  ; the files are gone.
  Function ${un}NoteTiloPaths
    StrCpy $0 $INSTDIR
    Call ${un}LongPath
    StrCpy $INSTDIR $0
    StrCpy $InstallSaver "$INSTDIR\Tilo.scr"
    StrCpy $0 $InstallSaver
    Call ${un}ShortPath
    StrCpy $InstallSaverShort $0
    StrCpy $0 "$INSTDIR\uninstal.exe"
    Call ${un}ShortPath
    StrCpy $UninstallerShort $0
    ; Only ever a file named Tilo.scr, whatever the record says.
    ReadRegStr $SystemSaver HKLM "${UNINSTALL_KEY}" "SystemCopy"
    ${GetFileName} $SystemSaver $0
    ${If} $0 != "Tilo.scr"
      StrCpy $SystemSaver ""
    ${EndIf}
    StrCpy $0 $SystemSaver
    Call ${un}ShortPath
    StrCpy $SystemSaverShort $0
  FunctionEnd

  ; -> $0 "1" while the current screen saver ("SCRNSAVE.EXE") is one of Tilo's copies,
  ; or a Tilo.scr that is gone.
  Function ${un}CurrentSaverIsTilo
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    StrCpy $0 0
    ${If} $1 == ""
      Return
    ${EndIf}
    ${If} $1 == $InstallSaver
    ${OrIf} $1 == $InstallSaverShort
      StrCpy $0 1
    ${ElseIf} $SystemSaver != ""
      ${If} $1 == $SystemSaver
      ${OrIf} $1 == $SystemSaverShort
        StrCpy $0 1
      ${EndIf}
    ${EndIf}
    ${If} $0 == 0
    ${AndIfNot} ${FileExists} $1
      ${GetFileName} $1 $2
      ${If} $2 == "Tilo.scr"
        StrCpy $0 1
      ${EndIf}
    ${EndIf}
  FunctionEnd

  ; No screen saver is current any more (what the Display control panel's "(None)" leaves).
  Function ${un}ClearCurrentSaver
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "0"
    System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_SENDCHANGE})'
  FunctionEnd
!macroend
!insertmacro DEFINE_SHARED ""
!insertmacro DEFINE_SHARED "un."

;--------------------------------
; Setup

; -> $0: why the setup cannot install into $INSTDIR, or "" when it can; $MadeFolder.
; Writes nothing: a folder made to try is removed again, with any parents made for it.
Function CheckFolder
  StrCpy $0 ""
  StrCpy $MadeFolder ""
  StrLen $1 $INSTDIR
  StrCpy $2 $INSTDIR "" -1
  ${If} $1 > ${MAX_FOLDER_LENGTH}
    StrCpy $0 "The folder's name is longer than ${MAX_FOLDER_LENGTH} characters: Windows could not start Tilo's uninstaller from it. Choose a shorter one."
    Return
  ${ElseIf} $2 == "\"
    StrCpy $0 "Tilo needs a folder of its own, not a whole drive. Choose a folder."
    Return
  ${EndIf}
  ; The error flag does not survive a test of it: $3 says whether writing worked.
  StrCpy $3 0
  ClearErrors
  ${If} ${FileExists} "$INSTDIR\*.*"
    FileOpen $1 "$INSTDIR\~tilo-setup.tmp" w
    ${IfNot} ${Errors}
      StrCpy $3 1
      FileClose $1
      Delete "$INSTDIR\~tilo-setup.tmp"
    ${EndIf}
  ${Else}
    ; The nearest folder that exists: everything below it is made here and unmade.
    StrCpy $2 $INSTDIR
    ${Do}
      ${GetParent} $2 $2
      ${If} $2 == ""
      ${OrIf} ${FileExists} "$2\*.*"
        ${ExitDo}
      ${EndIf}
    ${Loop}
    ClearErrors
    CreateDirectory $INSTDIR
    ${IfNot} ${Errors}
      StrCpy $3 1
      StrCpy $4 $INSTDIR
      ${DoUntil} $4 == $2
        RMDir $4
        StrCpy $MadeFolder $4
        ${GetParent} $4 $4
      ${Loop}
    ${EndIf}
  ${EndIf}
  ${If} $3 == 0
    StrCpy $0 "Setup cannot write to $INSTDIR: the folder is read-only, or this account may not change it. Choose another folder."
  ${EndIf}
FunctionEnd


; A setup that stopped ends with 2 also when the user closes its window.
Function .onInstFailed
  SetErrorLevel 2
FunctionEnd

; An update goes from the components straight to installing, in the folder it names.
Function SayWhenUpdating
  ${If} $Updating == 1
    GetDlgItem $0 $HWNDPARENT 1
    SendMessage $0 ${WM_SETTEXT} 0 "STR:$(^InstallBtn)"
    FindWindow $0 "#32770" "" $HWNDPARENT
    GetDlgItem $0 $0 1006
    SendMessage $0 ${WM_SETTEXT} 0 "STR:Tilo is installed in $INSTDIR, and is updated there. Untick what you no longer want, then click Install."
  ${EndIf}
FunctionEnd

Function SkipFolderPageOnUpdate
  ${If} $Updating == 1
    Abort
  ${EndIf}
FunctionEnd

Function CheckFolderPage
  Call CheckFolder
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION $0
    Abort
  ${EndIf}
FunctionEnd

Section "Tilo screen saver" SecSaver
  SectionIn RO
  ; The folder page checked an interactive choice; this checks silent and updating runs.
  SetDetailsPrint none
  Call CheckFolder
  SetDetailsPrint lastused
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP "$0$\r$\nNothing was installed." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  SetOutPath "$INSTDIR"
  !insertmacro PACK_SAVER
  WriteUninstaller "$INSTDIR\uninstal.exe"
  WriteRegStr HKLM "${PRODUCT_KEY}" "install_dir" "$INSTDIR"
SectionEnd

Section "Show Tilo in the Display control panel" SecSystem
  SetOutPath "$SYSDIR"
  !insertmacro PACK_SAVER
  SetOutPath "$INSTDIR"
SectionEnd

Section "Make Tilo the current screen saver" SecCurrent
  ; The system-folder copy when there is one, as the Display control panel would choose
  ; it. Short names: the system starts the saver from this value without quotes.
  ${If} ${SectionIsSelected} ${SecSystem}
    StrCpy $0 "$SYSDIR\Tilo.scr"
  ${Else}
    StrCpy $0 "$INSTDIR\Tilo.scr"
  ${EndIf}
  Call ShortPath
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SENDCHANGE})'
SectionEnd

Section "-Registration"
  ; An update that drops the system-folder copy removes the earlier one, and with it the
  ; current-saver setting only if it named that copy.
  ${If} ${SectionIsSelected} ${SecSystem}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "SystemCopy" "$SYSDIR\Tilo.scr"
  ${Else}
    Call NoteTiloPaths
    ${If} $SystemSaver != ""
      ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
      ${If} $1 == $SystemSaver
      ${OrIf} $1 == $SystemSaverShort
        Call ClearCurrentSaver
      ${EndIf}
      Delete $SystemSaver
      DeleteRegValue HKLM "${UNINSTALL_KEY}" "SystemCopy"
    ${EndIf}
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tilo Screen Saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${TILO_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Corvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tilo.scr"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstal.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstal.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Folders this setup made, for the uninstaller to remove when they are empty. An update
  ; keeps the record of the first installation.
  ${If} $MadeFolder != ""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "MadeFolder" $MadeFolder
  ${EndIf}
  ; Kilobytes of every file written, the system-folder copy included.
  ${GetSize} "$INSTDIR" "/M=Tilo.scr /S=0K /G=0" $1 $2 $3
  ${GetSize} "$INSTDIR" "/M=uninstal.exe /S=0K /G=0" $2 $3 $4
  IntOp $1 $1 + $2
  ${If} ${SectionIsSelected} ${SecSystem}
    ${GetSize} "$SYSDIR" "/M=Tilo.scr /S=0K /G=0" $2 $3 $4
    IntOp $1 $1 + $2
  ${EndIf}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Function .onInit
  !insertmacro ONE_AT_A_TIME
  StrCpy $Updating 0
  ReadRegStr $0 HKLM "${PRODUCT_KEY}" "install_dir"
  ; A live installation is updated where it is, whatever folder was asked for; one whose
  ; folder has gone is installed afresh (into the recorded folder unless another is given).
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\uninstal.exe"
    StrCpy $INSTDIR $0
    StrCpy $Updating 1
    Call NoteTiloPaths
    ; The components as the user left them: the system-folder copy only if there was
    ; one, and Tilo the current saver only while it is.
    ${If} $SystemSaver == ""
      !insertmacro UnselectSection ${SecSystem}
    ${EndIf}
    Call CurrentSaverIsTilo
    ${If} $0 == 0
      !insertmacro UnselectSection ${SecCurrent}
    ${EndIf}
  ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSaver} "The saver and its uninstaller, in a folder of their own."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSystem} "A copy in the Windows system folder: the Display control panel lists it."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecCurrent} "Tilo starts when the computer has been idle."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

;--------------------------------
; Uninstaller. It runs from a copy in the temporary folder; $INSTDIR is the folder that
; holds uninstal.exe.

; Removing needs no space: the components page does not say "0.0 KB".
Function un.HideSpaceNeeded
  FindWindow $0 "#32770" "" $HWNDPARENT
  GetDlgItem $0 $0 1023
  ShowWindow $0 ${SW_HIDE}
FunctionEnd

Function un.onInit
  !insertmacro ONE_AT_A_TIME
  Call un.NoteTiloPaths
FunctionEnd

; An uninstall that stopped ends with 2 also when the user closes its window.
Function un.onUninstFailed
  SetErrorLevel 2
FunctionEnd

; Removes the saver's "kill_saver..." RunOnce values that start this uninstaller, so that
; none of them runs a program that is gone; others' values stay.
Function un.RemoveRemovalRequests
  StrCpy $R0 0
  ${Do}
    ClearErrors
    EnumRegValue $R1 HKLM "${RUNONCE_KEY}" $R0
    ${If} ${Errors}
    ${OrIf} $R1 == ""
      ${ExitDo}
    ${EndIf}
    ReadRegStr $R2 HKLM "${RUNONCE_KEY}" $R1
    ; A quoted program name loses its quotes and what follows them.
    StrCpy $R3 $R2 1
    ${If} $R3 == '"'
      StrCpy $R2 $R2 "" 1
      StrCpy $R4 0
      ${Do}
        StrCpy $R3 $R2 1 $R4
        ${If} $R3 == '"'
        ${OrIf} $R3 == ""
          ${ExitDo}
        ${EndIf}
        IntOp $R4 $R4 + 1
      ${Loop}
      StrCpy $R2 $R2 $R4
    ${EndIf}
    StrCpy $R3 $R1 10
    StrCpy $R4 0
    ${If} $R3 == "kill_saver"
      ${If} $R2 == "$INSTDIR\uninstal.exe"
      ${OrIf} $R2 == $UninstallerShort
        StrCpy $R4 1
      ${EndIf}
    ${EndIf}
    ${If} $R4 == 1
      DeleteRegValue HKLM "${RUNONCE_KEY}" $R1
      DetailPrint "Removed the removal request $R1"
    ${Else}
      IntOp $R0 $R0 + 1
    ${EndIf}
  ${Loop}
FunctionEnd

; $0: a file of Tilo's. Marks it to be deleted when its last handle is closed, and pushes
; it (un.ReleaseMarked closes the handle); a file that is not there needs nothing. -> $1:
; "" when marked, otherwise the message that says why it cannot go. A read-only file goes
; all the same, since the setup put it there; it is read-only again if the uninstall
; stops. Another program's handle that lets the file be deleted (a virus scanner's, the
; search indexer's) does not stop it: the file goes when that handle closes. A file in
; use may be on its way out (the uninstaller that started this copy of itself, a saver
; closing): it is tried again for 3 s.
Function un.MarkForRemoval
  StrCpy $1 ""
  ${IfNot} ${FileExists} $0
    Return
  ${EndIf}
  ; Windows asks the folder's permission when the file is opened for deletion; Wine only
  ; when it goes, too late to keep the rest. Making a file there asks both.
  ${GetParent} $0 $2
  ClearErrors
  FileOpen $3 "$2\~tilo-uninstall.tmp" w
  ${If} ${Errors}
    StrCpy $1 "${CANNOT_DELETE}"
    Return
  ${EndIf}
  FileClose $3
  SetDetailsPrint none
  Delete "$2\~tilo-uninstall.tmp"
  SetDetailsPrint lastused
  ; A read-only file refuses the mark: it loses the attribute first.
  System::Call 'kernel32::GetFileAttributes(t r0) i .r6'
  ${If} $6 = -1
    StrCpy $6 0
  ${EndIf}
  IntOp $7 $6 & ${FILE_ATTRIBUTE_READONLY}
  ${If} $7 <> 0
    IntOp $7 $6 ^ ${FILE_ATTRIBUTE_READONLY}
    System::Call 'kernel32::SetFileAttributes(t r0, i r7) i .r7'
    ${If} $7 = 0
      StrCpy $1 "${READ_ONLY}"
      Return
    ${EndIf}
  ${EndIf}
  StrCpy $4 0
  ${Do}
    ; Open with others' reading, writing and deleting allowed: it fails only while
    ; another program holds the file without letting it be deleted.
    System::Call 'kernel32::CreateFile(t r0, i ${DELETE}, i ${FILE_SHARE_ALL}, p 0, i ${OPEN_EXISTING}, i 0, p 0) p .r3 ?e'
    Pop $5
    ${If} $3 P<> -1
      ; Refused while the file runs as a program (as the Display control panel runs the
      ; system copy).
      System::Call 'kernel32::SetFileInformationByHandle(p r3, i ${FILE_DISPOSITION_INFO}, *i 1, i 1) i .r5'
      ${If} $5 <> 0
        Push $0
        Push $6
        Push $3
        IntOp $Marked $Marked + 1
        Return
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r3)'
    ${ElseIf} $5 <> ${ERROR_SHARING_VIOLATION}
      StrCpy $1 "${CANNOT_DELETE}"
      ${ExitDo}
    ${EndIf}
    IntOp $4 $4 + 1
    ${If} $4 >= 30
      StrCpy $1 "${IN_USE}"
      ${ExitDo}
    ${EndIf}
    Sleep 100
  ${Loop}
  IntOp $7 $6 & ${FILE_ATTRIBUTE_READONLY}
  ${If} $7 <> 0
    System::Call 'kernel32::SetFileAttributes(t r0, i r6)'
  ${EndIf}
FunctionEnd

; Closes the handles that un.MarkForRemoval pushed: with $0 = 1 their files go now, or
; when another program that holds one closes it; with $0 = 0 they are unmarked first and
; stay as they were, read-only again where they were.
Function un.ReleaseMarked
  ${DoWhile} $Marked > 0
    Pop $4
    Pop $5
    Pop $6
    ${If} $0 == 0
      System::Call 'kernel32::SetFileInformationByHandle(p r4, i ${FILE_DISPOSITION_INFO}, *i 0, i 1)'
      IntOp $7 $5 & ${FILE_ATTRIBUTE_READONLY}
      ${If} $7 <> 0
        System::Call 'kernel32::SetFileAttributes(t r6, i r5)'
      ${EndIf}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r4)'
    IntOp $Marked $Marked - 1
  ${Loop}
FunctionEnd

; $0: a file of Tilo's, marked and released. One still there is held open by another
; program that lets it be deleted, and goes when that program closes it.
Function un.SayIfHeld
  ${If} ${FileExists} $0
    DetailPrint "$0 goes when the program that holds it open closes it"
  ${EndIf}
FunctionEnd

; The folders the setup made, innermost first, each only when empty: never a recursive
; delete, and a folder that was there before stays (the user may have chosen one of
; their own).
Function un.RemoveMadeFolders
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "MadeFolder"
  ${If} $1 == ""
    Return
  ${EndIf}
  ; Only a folder that holds $INSTDIR, or $INSTDIR itself.
  StrLen $2 $1
  StrCpy $3 $INSTDIR $2
  StrCpy $4 $INSTDIR 1 $2
  StrCpy $5 0
  ${If} $3 == $1
    ${If} $4 == "\"
    ${OrIf} $4 == ""
      StrCpy $5 1
    ${EndIf}
  ${EndIf}
  ${If} $5 == 0
    StrCpy $1 $INSTDIR
  ${EndIf}
  ; A file of Tilo's still in the folder is held open by another program, and goes when
  ; that closes it: the folders it keeps go at the next start of Windows, when empty.
  StrCpy $6 0
  ${If} ${FileExists} $InstallSaver
  ${OrIf} ${FileExists} "$INSTDIR\uninstal.exe"
    StrCpy $6 1
  ${EndIf}
  StrCpy $2 $INSTDIR
  ${Do}
    RMDir $2
    ${If} $6 == 1
    ${AndIf} ${FileExists} "$2\*.*"
      System::Call 'kernel32::MoveFileEx(t r2, p 0, i ${MOVEFILE_DELAY_UNTIL_REBOOT}) i .r7'
      ${If} $7 <> 0
        DetailPrint "$2 goes at the next start of Windows"
      ${EndIf}
    ${EndIf}
    ${If} $2 == $1
      ${ExitDo}
    ${EndIf}
    ${GetParent} $2 $2
  ${LoopUntil} $2 == ""
FunctionEnd

Section "un.Tilo screen saver" SecUnSaver
  SectionIn RO
  ${IfNot} ${FileExists} "$INSTDIR\Tilo.scr"
  ${AndIfNot} ${FileExists} "$INSTDIR\uninstal.exe"
    MessageBox MB_OK|MB_ICONINFORMATION "The folder $INSTDIR no longer holds Tilo's files: they were removed by hand.$\r$\nThe uninstaller now removes the rest of Tilo from Windows." /SD IDOK
  ${EndIf}
  ; Every file is marked for deletion before any goes: all of them go, or, when one
  ; cannot, none does and nothing else is touched. Marked, they are as good as gone.
  StrCpy $Marked 0
  StrCpy $0 $InstallSaver
  Call un.MarkForRemoval
  ${If} $1 == ""
  ${AndIf} $SystemSaver != ""
    StrCpy $0 $SystemSaver
    Call un.MarkForRemoval
  ${EndIf}
  ${If} $1 == ""
    StrCpy $0 "$INSTDIR\uninstal.exe"
    Call un.MarkForRemoval
  ${EndIf}
  StrCpy $2 $1
  StrCpy $3 $0
  ${If} $2 == ""
    StrCpy $0 1
    Call un.ReleaseMarked
  ${Else}
    StrCpy $0 0
    Call un.ReleaseMarked
    DetailPrint "Could not remove $3: nothing was removed"
    MessageBox MB_OK|MB_ICONSTOP $2 /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  StrCpy $0 $InstallSaver
  Call un.SayIfHeld
  ${If} $SystemSaver != ""
    StrCpy $0 $SystemSaver
    Call un.SayIfHeld
  ${EndIf}
  StrCpy $0 "$INSTDIR\uninstal.exe"
  Call un.SayIfHeld
  Call un.RemoveMadeFolders
  Call un.CurrentSaverIsTilo
  ${If} $0 == 1
    Call un.ClearCurrentSaver
  ${EndIf}
  Call un.RemoveRemovalRequests
SectionEnd

Section /o "un.Your Tilo settings" SecUnSettings
  DeleteRegKey HKCU "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
SectionEnd

; Last of all, so that a missing Uninstall key means the uninstall is complete.
Section "-un.Registration"
  DeleteRegValue HKLM "${PRODUCT_KEY}" "install_dir"
  DeleteRegKey /ifempty HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "${MAKER_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUnSaver} "The saver, its copies and its entries in Windows."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUnSettings} "The view, sound and warning settings kept for you under your user account."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
