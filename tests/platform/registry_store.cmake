# The registry store: the shared registry suite over every backend of this platform, the Wine
# registry text format, the file store and its repair of unreadable hives, the tree registry's own
# behaviour, Wine's link keys, and the comparison of names.
if(NOT WIN32)
  hivora_add_test(registry_suite_test LABEL registry
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_suite.cpp
            ${CMAKE_CURRENT_LIST_DIR}/registry_backends_posix.cpp
    LIBS hivora_platform)
endif()
hivora_add_test(wine_hive_format_test LABEL registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/wine_hive_format_test.cpp
  LIBS hivora_platform)
if(NOT WIN32)
  hivora_add_test(file_store_test LABEL registry
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_store_test.cpp
    LIBS hivora_platform)
  hivora_add_test(file_store_faults_test LABEL registry
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_store_faults_test.cpp
    LIBS hivora_platform)
  hivora_add_test(file_store_crash_test LABEL registry
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_store_crash_test.cpp
    LIBS hivora_platform)
endif()
hivora_add_test(tree_registry_test LABEL registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tree_registry_test.cpp
  LIBS hivora_platform)
hivora_add_test(unicode_text_test LABEL registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/unicode_text_test.cpp
  LIBS hivora_platform)
if(NOT WIN32)
  hivora_add_test(registry_links_test LABEL registry
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_links_test.cpp
    LIBS hivora_platform)
  hivora_add_test(hive_repair_test LABEL registry
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/hive_repair_test.cpp
    LIBS hivora_platform)
endif()
