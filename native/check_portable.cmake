cmake_minimum_required(VERSION 3.25)
# Fails when a file of a portable/ folder includes a Windows header, or a
# project header from outside portable/ (which may bring one in). Run as
#   cmake -DKW_SOURCE=<checkout> -DKW_STAMP=<file> -P check_portable.cmake
# Counted as Windows headers: every header of the Windows SDK and of the
# Microsoft C runtime the project uses, listed here.
set(kw_windows_headers
  windows.h windef.h winbase.h winuser.h wingdi.h winreg.h winnt.h winerror.h winspool.h winioctl.h
  commctrl.h commdlg.h richedit.h prsht.h shlobj.h shellapi.h shlwapi.h objbase.h ole2.h oleauto.h
  xmllite.h tlhelp32.h psapi.h setupapi.h cfgmgr32.h devguid.h uxtheme.h wrl/client.h wrl.h
  io.h direct.h tchar.h)

file(GLOB kw_portable_files ${KW_SOURCE}/*/portable/*.cpp ${KW_SOURCE}/*/portable/*.h
     ${KW_SOURCE}/tests/*/portable/*.cpp ${KW_SOURCE}/tests/*/portable/*.h)
set(kw_faults "")
foreach(path ${kw_portable_files})
  file(STRINGS ${path} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  file(RELATIVE_PATH name ${KW_SOURCE} ${path})
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
    string(TOLOWER "${header}" lower)
    if(lower IN_LIST kw_windows_headers)
      string(APPEND kw_faults "  ${name}: Windows header <${header}>\n")
    elseif(line MATCHES "\"" AND NOT header MATCHES "/portable/" AND NOT header STREQUAL "tools/profile_generator.h")
      string(APPEND kw_faults "  ${name}: \"${header}\" lies outside portable/\n")
    endif()
  endforeach()
endforeach()
if(kw_faults)
  message(FATAL_ERROR "Files of portable/ folders must build without Windows:\n${kw_faults}")
endif()
if(KW_STAMP)
  file(TOUCH ${KW_STAMP})
endif()
