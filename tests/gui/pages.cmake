# The pages on screen: rows clicked with real mouse events on the offscreen platform, the layout
# rules, the Qt dialog services' codes, the program's options and the install tree.
if(TARGET hivora_gui)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  hivora_add_test(pages_test LABEL pages
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/pages_rows_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/pages_layout_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/qt_dialogs_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/qt_test_main.cpp
    LIBS hivora_gui Qt6::Test)
endif()
