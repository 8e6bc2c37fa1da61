# The skinned scroll bar widgets under real Qt mouse events (offscreen platform), with a fake
# clock for their timers.
if(TARGET hivora_gui)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  hivora_add_test(scroll_bar_widget_test LABEL scrollbar
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/scroll_bar_widget_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/qt_test_main.cpp
    LIBS hivora_gui Qt6::Test)
endif()
