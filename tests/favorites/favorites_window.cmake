hushleaf_add_test(favorites_window_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/favorites_window_test.cpp
  LIBS hushleaf_favorites hushleaf_test_support Qt6::Test)
