hushleaf_add_test(hidden_window_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/hidden_window_test.cpp
  LIBS hushleaf_app hushleaf_test_support Qt6::Test)
