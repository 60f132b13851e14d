hushleaf_add_test(stealth_window_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/stealth_window_test.cpp
  LIBS hushleaf_stealth hushleaf_test_support)
