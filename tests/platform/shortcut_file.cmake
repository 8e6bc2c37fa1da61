# Shortcuts: read through liblnk and checked against liblnk's own lnkinfo (liblnk-utils) on Linux;
# read through the Windows shell in the cross build, which runs under Wine.
hivora_add_test(shortcut_file_test LABEL startup
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shortcut_file_test.cpp
  LIBS hivora_platform)
