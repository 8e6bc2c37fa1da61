# The live-state marks, their controller and the store watcher under Qt (offscreen platform):
# the debounce on the fake clock, and a change written by another process on Qt's own timers.
if(TARGET hivora_gui AND NOT WIN32)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  hivora_add_test(livestate_widgets_test LABEL livestate
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/livestate_widgets_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/qt_test_main.cpp
    LIBS hivora_gui Qt6::Test)
endif()
