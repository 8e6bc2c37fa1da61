# The settings rows: desktop, restrictions, hide and show, and the framework they share.
hivora_add_test(catalogue_test LABEL catalogue
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_framework_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_desktop_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_restrictions_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_hide_show_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_failures_test.cpp
  LIBS hivora_core)

# The browser, logon and system-information pages.
hivora_add_test(catalogue_pages_test LABEL catalogue
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_browser_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_logon_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_system_info_test.cpp
  LIBS hivora_core)
