# Paths between this machine and a Wine prefix's Windows programs, and the rows that write paths
# into such a prefix (POSIX only: the prefix's drives are symbolic links).
if(NOT WIN32)
  hivora_add_test(path_mapping_test LABEL catalogue
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/path_mapping_test.cpp
    LIBS hivora_core)
endif()
