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
    LIBS hivora_core)
endif()
