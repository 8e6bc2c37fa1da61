# Exports of the change journal (.reg, PowerShell, Ansible) and the .reg import, undone through
# the journal. Built where the Wine-format file store is (not on Windows).
find_package(yaml-cpp QUIET)  # the tests read the Ansible export back with it
if(NOT WIN32 AND TARGET yaml-cpp)
  hivora_add_test(export_test LABEL export
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/export_formats_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/export_import_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/export_ps1_test.cpp
    LIBS hivora_core yaml-cpp)
endif()
