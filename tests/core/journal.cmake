# The change journal: entries, the file and its reader, undo over every row, crashes between the
# journal and the registry save, and the command line.
hivora_add_test(journal_test LABEL journal
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/journal_undo_test.cpp
  LIBS hivora_core)
