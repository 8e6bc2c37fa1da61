# Shortcuts read through liblnk, checked against liblnk's own lnkinfo (liblnk-utils).
if(NOT WIN32)
  hivora_add_test(shortcut_file_test LABEL startup
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/shortcut_file_test.cpp
    LIBS hivora_platform)
endif()
