hushleaf_add_test(dialogs_core_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/c_file_dialog_test.cpp
  LIBS hushleaf_dialogs_core)
