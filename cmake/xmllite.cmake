# MinGW-w64 ships xmllite.h but no import library; make one from a .def.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KW_XMLLITE_DEF ${CMAKE_SOURCE_DIR}/cmake/xmllite-x86.def)
  set(KW_DLLTOOL_FLAGS -k)   # stdcall exports: drop the @n from the DLL's names
else()
  set(KW_XMLLITE_DEF ${CMAKE_SOURCE_DIR}/cmake/xmllite-x64.def)
  set(KW_DLLTOOL_FLAGS)
endif()
set(KW_XMLLITE_LIB ${CMAKE_BINARY_DIR}/libxmllite.a)
add_custom_command(OUTPUT ${KW_XMLLITE_LIB}
  COMMAND ${KW_DLLTOOL} -d ${KW_XMLLITE_DEF} -l ${KW_XMLLITE_LIB} ${KW_DLLTOOL_FLAGS}
  DEPENDS ${KW_XMLLITE_DEF}
  COMMENT "Making the XmlLite import library")
add_custom_target(xmllite_implib DEPENDS ${KW_XMLLITE_LIB})
add_library(xmllite INTERFACE)
target_link_libraries(xmllite INTERFACE ${KW_XMLLITE_LIB})
add_dependencies(xmllite xmllite_implib)
