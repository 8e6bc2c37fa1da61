# Installed Windows' registry hives: the shared registry suite over the hive store, the store's
# own behaviour (roots, saving, backups, refusals), all on hives the tests build through libhivex
# and check with reglookup.
if(NOT WIN32)
  hivora_add_test(offline_registry_suite_test LABEL offline
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_suite.cpp
            ${CMAKE_CURRENT_LIST_DIR}/registry_backends_hives.cpp
    LIBS hivora_platform)
endif()
if(NOT WIN32)
  hivora_add_test(hive_store_test LABEL offline
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/hive_store_test.cpp
    LIBS hivora_platform)
endif()
if(NOT WIN32)
  hivora_add_test(hive_safety_test LABEL offline
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/hive_safety_test.cpp
    LIBS hivora_platform)
endif()
