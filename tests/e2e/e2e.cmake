# The program as users run it: the window built as main() builds it, on real stores, with only
# the modal boxes answered by a script (tests/e2e/modal_answers.h).
if(TARGET hivora_app AND NOT WIN32)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  hivora_add_test(window_e2e_test LABEL e2e
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/window_e2e_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/startup_e2e_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/history_e2e_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/windows_version_e2e_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/program_rig.cpp
      ${CMAKE_CURRENT_LIST_DIR}/modal_answers.cpp
      ${PROJECT_SOURCE_DIR}/tests/gui/qt_test_main.cpp
    LIBS hivora_app Qt6::Test)
endif()
