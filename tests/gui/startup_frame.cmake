# The startup frame under real Qt mouse events (offscreen platform), against an in-memory registry.
if(TARGET hivora_gui)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  hivora_add_test(startup_frame_test LABEL startup
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/startup_frame_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/qt_test_main.cpp
    LIBS hivora_gui Qt6::Test)
endif()
