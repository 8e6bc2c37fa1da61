# The main window's toolkit-free behaviour: tab strip and chrome state machines on a fake clock
# and pointer, the closing question, the window's layout numbers and the configuration's place.
hivora_add_test(shell_core_test LABEL shell
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/shell_tab_strip_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shell_chrome_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shell_closing_layout_test.cpp
  LIBS hivora_core)
