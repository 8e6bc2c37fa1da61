# The main window, its colour dialog and About box under real Qt mouse events (offscreen), with a
# fake clock and pointer and scripted dialogs.
if(TARGET hivora_gui)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  hivora_add_test(main_window_test LABEL shell
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/qt_test_main.cpp
      ${CMAKE_CURRENT_LIST_DIR}/color_dialog_test.cpp
    LIBS hivora_gui Qt6::Test)
endif()
