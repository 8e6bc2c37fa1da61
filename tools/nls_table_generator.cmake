# The text-table generator: Windows' name folding and code page 936, from Wine's data files, into
# platform/name_fold_table.cpp and platform/code_page_936_table.cpp.
#   cmake --build <build> --target nls_table_generator
#   <build>/tools/nls_table_generator /usr/share/wine/nls platform/name_fold_table.cpp
#       platform/code_page_936_table.cpp   (one line, from the repository root)
add_executable(nls_table_generator ${CMAKE_CURRENT_LIST_DIR}/nls_table_generator.cpp)
