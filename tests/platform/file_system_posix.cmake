# The host file system's attributes (POSIX only; Windows reports its own).
if(NOT WIN32)
  hivora_add_test(file_system_posix_test LABEL catalogue
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_system_posix_test.cpp
    LIBS hivora_core)
endif()
