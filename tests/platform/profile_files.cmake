# The profile (INI) file rules, and their POSIX file implementation.
hivora_add_test(profile_format_test LABEL registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile_format_test.cpp
  LIBS hivora_platform)
if(NOT WIN32)
  hivora_add_test(profile_files_posix_test LABEL registry
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile_files_posix_test.cpp
    LIBS hivora_platform)
endif()
