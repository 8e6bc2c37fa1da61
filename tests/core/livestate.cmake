# Live state of the settings rows: every row after each button, on an empty store and after
# foreign writes; rows widened for today's Windows; the --status table, and the program's
# --status on a private store folder.
hivora_add_test(livestate_test LABEL livestate
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/livestate_rows_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/livestate_status_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/livestate_debounce_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/livestate_widened_test.cpp
  LIBS hivora_core)
if(TARGET hivora AND NOT WIN32)
  add_dependencies(livestate_test hivora)
  target_compile_definitions(livestate_test PRIVATE HIVORA_PROGRAM="$<TARGET_FILE:hivora>")
endif()
