# The install tree: program, desktop entry (checked with desktop-file-validate) and icons.
if(TARGET hivora AND NOT CMAKE_CROSSCOMPILING AND NOT WIN32)
  add_test(NAME install_tree
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/check_install_tree.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(install_tree PROPERTIES LABELS pages)
endif()
