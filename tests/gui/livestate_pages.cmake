# The live-state marks on the built pages: real clicks and a hive rewritten by another process.
if(TARGET hivora_gui AND NOT WIN32)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  hivora_add_test(livestate_pages_test LABEL livestate
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/livestate_pages_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/qt_test_main.cpp
    LIBS hivora_gui Qt6::Test)
endif()
