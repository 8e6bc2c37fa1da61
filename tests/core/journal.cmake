# The change journal: entries, the file and its reader, undo over every row, crashes between the
# journal and the registry save. Built where the Wine-format file store is (not on Windows).
if(NOT WIN32)
  hivora_add_test(journal_test LABEL journal
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/journal_undo_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/journal_redo_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/journal_hidden_keys_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/journal_file_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/journal_files_posix_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/journal_crash_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/journal_faults_test.cpp
    LIBS hivora_core)
endif()

# The command-line side builds from the program's own sources, which need no display.
if(NOT WIN32 AND HIVORA_BUILD_GUI)
  hivora_add_test(journal_command_test LABEL journal
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/journal_command_test.cpp
      ${PROJECT_SOURCE_DIR}/app/journal_command.cpp
      ${PROJECT_SOURCE_DIR}/app/startup_command.cpp
      ${PROJECT_SOURCE_DIR}/app/options.cpp
      ${PROJECT_SOURCE_DIR}/app/registry_choice.cpp
    LIBS hivora_core)
endif()
