# The print spooler, the common dialogs and XmlLite are loaded when first
# called, not at start-up: under Wine the spooler brings in CUPS with its TLS and
# Kerberos libraries, some megabytes for a program that may never print.
# The shell stays an ordinary import: delay-loaded, the 32-bit build hung or
# died at its first shell call in the 32-bit runtime (folder browser,
# recycle bin, known folders).
# One delay-import library per DLL, made from a .def of the functions used.
function(kw_delay_library name dll)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(def ${CMAKE_SOURCE_DIR}/cmake/${name}-x86.def)
    set(flags -k)
  else()
    set(def ${CMAKE_SOURCE_DIR}/cmake/${name}-x64.def)
    set(flags)
  endif()
  set(lib ${CMAKE_BINARY_DIR}/lib${name}_delay.a)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${KW_DLLTOOL} -d ${def} -y ${lib} -D ${dll} ${flags}
    DEPENDS ${def}
    COMMENT "Making the delay-import library of ${dll}")
  add_custom_target(${name}_delaylib DEPENDS ${lib})
  add_library(${name}_delay INTERFACE)
  target_link_libraries(${name}_delay INTERFACE ${lib})
  add_dependencies(${name}_delay ${name}_delaylib)
endfunction()

kw_delay_library(winspool winspool.drv)
kw_delay_library(comdlg32 comdlg32.dll)
kw_delay_library(xmllite xmllite.dll)
