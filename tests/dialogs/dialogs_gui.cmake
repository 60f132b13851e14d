hushleaf_add_test(dialogs_gui_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialogs_gui_test.cpp
  LIBS hushleaf_dialogs hushleaf_test_support Qt6::Test)
