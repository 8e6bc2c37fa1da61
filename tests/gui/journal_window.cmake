# The window side of the change journal: rows clicked in the main window and undone with Ctrl+Z,
# and the history window, under real Qt key and mouse events (offscreen).
if(TARGET hivora_gui)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  hivora_add_test(journal_window_test LABEL journal
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/journal_window_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/qt_test_main.cpp
    LIBS hivora_gui Qt6::Test)
endif()
