# What the dialog services show for their codes (the Qt side is tested under tests/gui).
hivora_add_test(dialog_looks_test LABEL pages
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_looks_test.cpp
  LIBS hivora_core)
