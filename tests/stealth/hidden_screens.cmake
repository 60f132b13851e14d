hushleaf_add_test(hidden_screens_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/hidden_screens_test.cpp
  LIBS hushleaf_stealth hushleaf_test_support)
