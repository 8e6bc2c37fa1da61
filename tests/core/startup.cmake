# The startup list: its rows and commands against an in-memory registry, and the view arithmetic.
hivora_add_test(startup_test LABEL startup
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/startup_list_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startup_layout_test.cpp
  LIBS hivora_core)

# Every place of the startup list and its switches over the real file store, with the change
# journal recording and undoing. Built where the Wine-format file store is (not on Windows).
if(NOT WIN32)
  hivora_add_test(startup_places_test LABEL startup
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/startup_places_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/startup_switch_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/startup_missing_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/startup_folder_test.cpp
    LIBS hivora_core)
endif()

# The command-line side builds from the program's own sources, which need no display.
if(NOT WIN32 AND HIVORA_BUILD_GUI)
  hivora_add_test(startup_command_test LABEL startup
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/startup_command_test.cpp
      ${PROJECT_SOURCE_DIR}/app/startup_command.cpp
      ${PROJECT_SOURCE_DIR}/app/journal_command.cpp
      ${PROJECT_SOURCE_DIR}/app/options.cpp
      ${PROJECT_SOURCE_DIR}/app/registry_choice.cpp
    LIBS hivora_core)
endif()
