; pixelvane-setup.exe: puts gen_pixelvane.dll, its glyph file
; pixelvane-glyphs.bin, its four pictures, the built-in layouts (in a
; layouts folder) and the third-party notices into the player's Plugins
; folder and registers an uninstaller.
;
; Built by makensis with these defined on its command line:
;   VERSION    the plug-in's version, as in its version resource ("1.1")
;   FILES_DIR  the folder holding gen_pixelvane.dll, pixelvane-glyphs.bin and
;              the pictures
;   OUTFILE    the installer to write
;   SHIPPED_PICTURES_NSH  the build's include made from shipped-pictures.txt:
;              LARGEST_SHIPPED_PICTURE and the macro IF_SHIPPED_PICTURE
;   LAYOUTS_NSH  the build's include naming each shipped layout: the macros
;              PUT_LAYOUTS and REMOVE_LAYOUTS
;   PANEL_DLL  pixelvane-panel.dll, the optional virtual panel
;   NOTICES    THIRD-PARTY-NOTICES.txt, installed beside the plug-in as
;              Pixelvane-THIRD-PARTY-NOTICES.txt
;
; The player's folder is found, in this order:
;   1. /D=FOLDER on the command line (it must exist);
;   2. the default value of HKCU\Software\Winamp, which the player's own
;      installer sets to its folder;
;   3. the folder of the UninstallString in the player's Add/Remove Programs
;      entry, HKLM\...\Uninstall\Winamp (for a user other than the one who
;      installed the player);
;   4. the player's standard folder, Winamp under Program Files.
; A folder counts only when it exists. With none found the directory page
; asks; a silent install (/S) stops instead, with exit code 2, before
; anything is written. While the player holds the plug-in loaded, setup asks
; for it to be closed; a silent install stops with exit code 3.
;
; The virtual panel is a component of its own, off by default: chosen on the
; components page, or with /PANEL on the command line of a silent install.
;
; plugin.ini holds the user's settings: it is not shipped, so installing
; over an older copy leaves it as it is, and the uninstaller leaves it too.
;
; The pictures may be the user's own (made with pixelvane-picture). Setup
; puts a picture in place only where the folder has none or has one that a
; release of Pixelvane shipped under that name (same size and CRC-32, from
; shipped-pictures.txt); the uninstaller removes only such pictures. Each
; decision is a line in the details list, and with /LOG=FILE (setup and
; uninstaller alike) also a line appended to FILE.

Unicode true

!ifndef VERSION | FILES_DIR | OUTFILE | SHIPPED_PICTURES_NSH | LAYOUTS_NSH | PANEL_DLL | NOTICES
  !error "define VERSION, FILES_DIR, OUTFILE, SHIPPED_PICTURES_NSH, LAYOUTS_NSH, PANEL_DLL and NOTICES"
!endif

!include LogicLib.nsh
!include FileFunc.nsh
!include "${SHIPPED_PICTURES_NSH}"
!include "${LAYOUTS_NSH}"
!include Sections.nsh

!define PLAYER_NAME "Winamp"
!define PLAYER_KEY "Software\Winamp"
!define UNINSTALL_ROOT "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define PLAYER_UNINSTALL_KEY "${UNINSTALL_ROOT}\Winamp"
!define UNINSTALL_KEY "${UNINSTALL_ROOT}\Pixelvane"
!define PLUGINS_FOLDER "Plugins"
!define UNINSTALLER "uninstall-pixelvane.exe"
; Named after the plug-in: the Plugins folder is shared with other plug-ins.
!define NOTICES_NAME "Pixelvane-THIRD-PARTY-NOTICES.txt"

; makensis wants four numbers for the installer's own version resource.
!define /ifndef VERSION_QUAD "${VERSION}.0.0"

Name "Pixelvane ${VERSION}"
Caption "Pixelvane ${VERSION} setup"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
; The Add/Remove Programs entry lives under HKLM.
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "Pixelvane"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Pixelvane LCD plug-in setup"
VIAddVersionKey /LANG=1033 "CompanyName" "Pixelvane"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Pixelvane"

DirText "Setup installs the Pixelvane LCD plug-in into the ${PLUGINS_FOLDER} folder of ${PLAYER_NAME}. \
Check that the folder below is the one ${PLAYER_NAME} is installed in, or choose it." \
  "${PLAYER_NAME} folder"

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var candidate
Var logFile ; from /LOG=, or ""

; Takes the program path out of an UninstallString ("C:\x\u.exe" /S or
; C:\x\u.exe) and leaves its folder in $candidate, or "" when there is none.
Function FolderOfCommand
  Exch $0
  Push $1
  Push $2
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
    StrCpy $2 0
    ${Do}
      StrCpy $1 $0 1 $2
      ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
      ${IfThen} $1 == '"' ${|} ${ExitDo} ${|}
      IntOp $2 $2 + 1
    ${Loop}
    StrCpy $0 $0 $2
  ${EndIf}
  ${If} $0 == ""
    StrCpy $candidate ""
  ${Else}
    ${GetParent} $0 $candidate
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Function .onInit
  Call ChoosePanelFromCommandLine
  ; /D= fills $INSTDIR before this runs. A folder named there wins over any
  ; found one; when it does not exist, the directory page says so by keeping
  ; Next grey, and a silent install stops.
  ${If} $INSTDIR != ""
    ${IfNot} ${FileExists} "$INSTDIR\*.*"
    ${AndIf} ${Silent}
      SetErrorLevel 2
      Quit
    ${EndIf}
    Return
  ${EndIf}

  ReadRegStr $candidate HKCU "${PLAYER_KEY}" ""
  ${If} $candidate != ""
  ${AndIf} ${FileExists} "$candidate\*.*"
    StrCpy $INSTDIR $candidate
    Return
  ${EndIf}

  ReadRegStr $0 HKLM "${PLAYER_UNINSTALL_KEY}" "UninstallString"
  Push $0
  Call FolderOfCommand
  ${If} $candidate != ""
  ${AndIf} ${FileExists} "$candidate\*.*"
    StrCpy $INSTDIR $candidate
    Return
  ${EndIf}

  ${If} ${FileExists} "$PROGRAMFILES\${PLAYER_NAME}\*.*"
    StrCpy $INSTDIR "$PROGRAMFILES\${PLAYER_NAME}"
    Return
  ${EndIf}

  ${If} ${Silent}
    ; Nobody is there to ask, and a guessed folder would leave a plug-in
    ; the player never loads.
    SetErrorLevel 2
    Quit
  ${EndIf}
  ; $INSTDIR stays empty: the directory page asks.
FunctionEnd

; The Next button stays grey until the folder exists: setup never creates the
; player's folder itself.
Function .onVerifyInstDir
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    Abort
  ${EndIf}
FunctionEnd

; A running player holds gen_pixelvane.dll loaded, and Windows then refuses
; to overwrite it. Left to File, a silent install would keep the old DLL and
; still end with 0, so the DLL is tried for writing before anything is copied.
Function CheckPluginFree
  ${IfNot} ${FileExists} "$INSTDIR\${PLUGINS_FOLDER}\gen_pixelvane.dll"
    Return
  ${EndIf}
  try:
  ClearErrors
  FileOpen $0 "$INSTDIR\${PLUGINS_FOLDER}\gen_pixelvane.dll" a
  ${IfNot} ${Errors}
    FileClose $0
    Return
  ${EndIf}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
    "gen_pixelvane.dll is in use. Close ${PLAYER_NAME}, then press Retry." /SD IDCANCEL IDRETRY try
  DetailPrint "gen_pixelvane.dll is in use: nothing installed"
  SetErrorLevel 3
  Abort
FunctionEnd

;; ---- What setup and the uninstaller say ----

; A line in the details list, and in the /LOG= file when one was named.
!macro DEFINE_SAY un
Function ${un}Say
  Exch $0
  Push $1
  DetailPrint $0
  ${If} $logFile != ""
    ClearErrors
    FileOpen $1 $logFile a
    ${IfNot} ${Errors}
      FileSeek $1 0 END
      FileWrite $1 "$0$\r$\n"
      FileClose $1
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro DEFINE_SAY ""
!insertmacro DEFINE_SAY "un."

!macro SAY un text
  Push "${text}"
  Call ${un}Say
!macroend

!macro DEFINE_READ_LOG_OPTION un
Function ${un}ReadLogOption
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/LOG=" $logFile
  ${If} ${Errors}
    StrCpy $logFile ""
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_READ_LOG_OPTION ""
!insertmacro DEFINE_READ_LOG_OPTION "un."

;; ---- Telling a shipped picture from the user's own ----

; Push the file's path, then the picture's name; pops them and pushes "yes"
; when the file is a picture that a release of Pixelvane shipped under that
; name (its size and CRC-32 are in shipped-pictures.txt), "no" otherwise
; (another file, a folder, a file that cannot be read). The CRC-32 is
; ntdll's RtlComputeCrc32 over the whole file, read in one piece: a file
; larger than the largest shipped picture is not read at all.
!macro DEFINE_IS_SHIPPED_PICTURE un
Function ${un}IsShippedPicture
  Exch $R0 ; name
  Exch
  Exch $R1 ; path
  Push $R2 ; file handle
  Push $R3 ; size
  Push $R4 ; buffer
  Push $R5 ; bytes read, then the CRC-32
  Push $R6 ; ReadFile's result
  Push $R7 ; the answer
  StrCpy $R7 no
  ClearErrors
  FileOpen $R2 $R1 r
  ${IfNot} ${Errors}
    FileSeek $R2 0 END $R3
    FileSeek $R2 0 SET
    ${If} $R3 > 0
    ${AndIf} $R3 <= ${LARGEST_SHIPPED_PICTURE}
      System::Alloc $R3
      Pop $R4
      ${If} $R4 <> 0
        System::Call "kernel32::ReadFile(p R2, p R4, i R3, *i .R5, p 0) i .R6"
        ${If} $R6 <> 0
        ${AndIf} $R5 = $R3
          System::Call "ntdll::RtlComputeCrc32(i 0, p R4, i R3) i .R5"
          IntFmt $R5 "%08x" $R5
          !insertmacro IF_SHIPPED_PICTURE "$R0 $R3 $R5"
            StrCpy $R7 yes
          ${EndIf}
        ${EndIf}
        System::Free $R4
      ${EndIf}
    ${EndIf}
    FileClose $R2
  ${EndIf}
  StrCpy $R0 $R7
  Pop $R7
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd
!macroend
!insertmacro DEFINE_IS_SHIPPED_PICTURE ""
!insertmacro DEFINE_IS_SHIPPED_PICTURE "un."

;; ---- Installing ----

; Before anything is written: the player must not hold the plug-in.
Section "-Plug-in not in use"
  Call ReadLogOption
  Call CheckPluginFree
SectionEnd

Section "Plug-in"
  SectionIn RO
  SetOutPath "$INSTDIR\${PLUGINS_FOLDER}"
  File "${FILES_DIR}/gen_pixelvane.dll"
  ; The glyphs of CJK and hangul the graphic screen draws; ours, replaced
  ; on every install like the plug-in.
  File "${FILES_DIR}/pixelvane-glyphs.bin"
  File "/oname=${NOTICES_NAME}" "${NOTICES}"
  ; The built-in layouts, for the user to copy under a name of their own
  ; and edit; ours, replaced on every install like the plug-in.
  SetOutPath "$INSTDIR\${PLUGINS_FOLDER}\layouts"
  !insertmacro PUT_LAYOUTS
SectionEnd

; A picture goes in where there is none or where the one there is as a
; release shipped it; the user's own stays.
!macro PUT_PICTURE NAME
  ${If} ${FileExists} "$OUTDIR\${NAME}"
    Push "$OUTDIR\${NAME}"
    Push "${NAME}"
    Call IsShippedPicture
    Pop $0
    ${If} $0 == yes
      File "${FILES_DIR}/${NAME}"
      !insertmacro SAY "" "Replaced ${NAME}: it was a picture Pixelvane shipped"
    ${Else}
      !insertmacro SAY "" "Kept ${NAME}: it is not a picture Pixelvane shipped, so it is yours"
    ${EndIf}
  ${Else}
    File "${FILES_DIR}/${NAME}"
    !insertmacro SAY "" "Installed ${NAME}"
  ${EndIf}
!macroend

Section "Pictures"
  SectionIn RO
  SetOutPath "$INSTDIR\${PLUGINS_FOLDER}"
  !insertmacro PUT_PICTURE LCDLIntro.bmp
  !insertmacro PUT_PICTURE LCDMMenu.bmp
  !insertmacro PUT_PICTURE LCDSIntro.bmp
  !insertmacro PUT_PICTURE LCDAbout.bmp
SectionEnd

Section "-Uninstaller and Add/Remove Programs entry"
  WriteUninstaller "$INSTDIR\${PLUGINS_FOLDER}\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Pixelvane LCD plug-in for ${PLAYER_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pixelvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR\${PLUGINS_FOLDER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${PLUGINS_FOLDER}\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${PLUGINS_FOLDER}\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; After the plug-in's section, so a player holding the plug-in stops setup
; before this copies anything either.
Section /o "Virtual panel (no LCD module needed)" SECTION_PANEL
  SetOutPath "$INSTDIR\${PLUGINS_FOLDER}"
  File "${PANEL_DLL}"
SectionEnd

Function ChoosePanelFromCommandLine
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PANEL" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SECTION_PANEL}
  ${EndIf}
FunctionEnd

;; ---- Uninstalling ----

; A picture goes only while it is as a release shipped it.
!macro REMOVE_PICTURE NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    Push "$INSTDIR\${NAME}"
    Push "${NAME}"
    Call un.IsShippedPicture
    Pop $0
    ${If} $0 == yes
      Delete "$INSTDIR\${NAME}"
      !insertmacro SAY "un." "Removed ${NAME}"
    ${Else}
      !insertmacro SAY "un." "Kept ${NAME}: it is not as Pixelvane shipped it, so it is yours"
    ${EndIf}
  ${EndIf}
!macroend

; The uninstaller sits in the Plugins folder, so $INSTDIR is that folder here.
; The player may still hold the DLL open, and the plug-in its glyph file;
; then they go at the next restart. plugin.ini stays. The uninstaller
; deletes itself last.
Section "Uninstall"
  Call un.ReadLogOption
  Delete /REBOOTOK "$INSTDIR\gen_pixelvane.dll"
  Delete /REBOOTOK "$INSTDIR\pixelvane-glyphs.bin"
  Delete "$INSTDIR\${NOTICES_NAME}"
  ; The shipped layouts go; the folder goes with them unless it holds the
  ; user's own.
  !insertmacro REMOVE_LAYOUTS
  RMDir "$INSTDIR\layouts"
  !insertmacro REMOVE_PICTURE LCDLIntro.bmp
  !insertmacro REMOVE_PICTURE LCDMMenu.bmp
  !insertmacro REMOVE_PICTURE LCDSIntro.bmp
  !insertmacro REMOVE_PICTURE LCDAbout.bmp
  ; pixelvane-panel.ini stays, as plugin.ini does.
  Delete /REBOOTOK "$INSTDIR\pixelvane-panel.dll"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
SectionEnd
