# The registry layer, the value conversions and the configuration-file access.
hivora_add_test(value_conversions_test LABEL registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/value_conversions_test.cpp
  LIBS hivora_core)
hivora_add_test(reg_info_get_set_calls_test LABEL registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/reg_info_get_set_calls_test.cpp
  LIBS hivora_core)
hivora_add_test(config_files_test LABEL registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/config_files_test.cpp
  LIBS hivora_core)
hivora_add_test(reg_info_get_set_behaviour_test LABEL registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/reg_info_get_set_behaviour_test.cpp
  LIBS hivora_core)
