# The skinned scroll bars: value model, geometry, input and timers, stored properties, rendering
# and skin pictures; and the window helpers' rounded shape.
hivora_add_test(scrollbar_core_test LABEL scrollbar
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/scrollbar_geometry_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scrollbar_model_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scrollbar_input_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scrollbar_render_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scrollbar_skin_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fake_clock_test.cpp
  LIBS hivora_core)
