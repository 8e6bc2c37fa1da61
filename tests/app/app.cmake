# The program's options and store choice; --help and --version answered without any display.
if(TARGET hivora_app)
  hivora_add_test(options_test LABEL pages
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/options_test.cpp
    LIBS hivora_app)
  if(NOT CMAKE_CROSSCOMPILING AND NOT WIN32)
    add_test(NAME program_version_without_display
      COMMAND env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $<TARGET_FILE:hivora> --version)
    set_tests_properties(program_version_without_display PROPERTIES
      LABELS pages PASS_REGULAR_EXPRESSION "^Hivora 1\\.0\n$")
    add_test(NAME program_help_without_display
      COMMAND env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $<TARGET_FILE:hivora> --help)
    set_tests_properties(program_help_without_display PROPERTIES
      LABELS pages PASS_REGULAR_EXPRESSION "--prefix.*--version")
  endif()
endif()

# The shared registry suite over the program's wrappers of the registry interface, and what the
# window's lazily opened registry adds to it.
if(TARGET hivora_app AND NOT WIN32)
  hivora_add_test(registry_wrappers_suite_test LABEL registry
    SOURCES ${PROJECT_SOURCE_DIR}/tests/platform/registry_suite.cpp
            ${CMAKE_CURRENT_LIST_DIR}/registry_backends_wrappers.cpp
            ${CMAKE_CURRENT_LIST_DIR}/lazy_registry_test.cpp
    LIBS hivora_app)
endif()

# --windows: the choice of an installed Windows' registry and its user.
if(TARGET hivora_app AND NOT WIN32)
  hivora_add_test(windows_choice_test LABEL offline
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/windows_choice_test.cpp
    LIBS hivora_app)
endif()
