# Command lines and the command launcher; the POSIX launcher and system folder.
hivora_add_test(command_line_test LABEL platform
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/command_line_test.cpp
  LIBS hivora_platform)
if(NOT WIN32)
  hivora_add_test(command_launcher_posix_test LABEL platform
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/command_launcher_posix_test.cpp
    LIBS hivora_platform)
endif()
