# The row-table generator: the README's table of settings rows against Windows versions, from
# the catalogue (see the tool's header comment). After a change to the rows:
#   cmake --build <build> --target update_readme_row_table
# The test readme_row_table (label catalogue) fails while README.md differs.
add_executable(row_table_generator ${CMAKE_CURRENT_LIST_DIR}/row_table_generator.cpp)
target_link_libraries(row_table_generator PRIVATE hivora_core)
if(NOT CMAKE_CROSSCOMPILING)
  add_custom_target(update_readme_row_table
    COMMAND row_table_generator ${PROJECT_SOURCE_DIR}/README.md
    DEPENDS row_table_generator
    COMMENT "Writing the table of rows into README.md"
    VERBATIM)
endif()
