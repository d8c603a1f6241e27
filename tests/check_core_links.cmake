# Fails when the core test program (core + tests only) links a Qt library other
# than Core. Core5Compat comes with QuaZip, the reader of ".xlsx" statements;
# it holds no widgets or screens.
execute_process(COMMAND ldd ${TARGET_FILE} OUTPUT_VARIABLE libs RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ldd failed on ${TARGET_FILE}")
endif()
string(REGEX MATCHALL "libQt6[A-Za-z]+" qt_libs "${libs}")
list(REMOVE_DUPLICATES qt_libs)
foreach(lib ${qt_libs})
  if(NOT lib STREQUAL "libQt6Core" AND NOT lib STREQUAL "libQt6Core5Compat")
    message(FATAL_ERROR "the core links ${lib}; it must use Qt Core only")
  endif()
endforeach()
message(STATUS "core links: ${qt_libs}")
