# The startup list: its rows and commands against an in-memory registry, and the view arithmetic.
hivora_add_test(startup_test LABEL startup
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/startup_list_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startup_layout_test.cpp
  LIBS hivora_core)
