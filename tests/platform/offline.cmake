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

# The same hive changes checked from the command line with hivexsh and reglookup.
if(NOT WIN32 AND TARGET hivora)
  add_executable(make_test_installation ${CMAKE_CURRENT_LIST_DIR}/make_test_installation.cpp)
  target_link_libraries(make_test_installation PRIVATE hivora_platform)
  add_test(NAME offline_hive_tools_check
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/hive_tools_check.sh $<TARGET_FILE:hivora>
            $<TARGET_FILE:make_test_installation>)
  set_tests_properties(offline_hive_tools_check PROPERTIES LABELS offline)
endif()
