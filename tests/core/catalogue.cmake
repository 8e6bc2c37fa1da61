# The settings rows: desktop, restrictions, hide and show, the framework they share, the Windows
# version they are judged against and the README's table of them.
hivora_add_test(catalogue_test LABEL catalogue
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_framework_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_desktop_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_restrictions_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_hide_show_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_failures_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windows_version_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_reach_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/row_reach_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/row_table_test.cpp
  LIBS hivora_core)

# README.md holds the table of rows that tools/row_table_generator makes from the catalogue.
if(TARGET row_table_generator AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME readme_row_table
           COMMAND row_table_generator --check ${PROJECT_SOURCE_DIR}/README.md)
  set_tests_properties(readme_row_table PROPERTIES LABELS catalogue)
endif()

# The browser, logon and system-information pages.
hivora_add_test(catalogue_pages_test LABEL catalogue
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_browser_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_logon_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_system_info_test.cpp
  LIBS hivora_core)

# Rows that fail halfway, over the real file store with the journal's recorder.
if(NOT WIN32)
  hivora_add_test(row_all_or_nothing_test LABEL catalogue
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/row_all_or_nothing_test.cpp
    LIBS hivora_core)
  # Rows that write today's location beside the old one: undo puts both back.
  hivora_add_test(widened_rows_test LABEL catalogue
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/widened_rows_test.cpp
    LIBS hivora_core)
endif()

# Every fixed row set and undone on an installed Windows' hives, checked with reglookup.
if(NOT WIN32)
  hivora_add_test(offline_rows_test LABEL offline
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/offline_rows_test.cpp
    LIBS hivora_core)
endif()
