hushleaf_add_test(stealth_pointer_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/pointer_following_test.cpp
  LIBS hushleaf_stealth hushleaf_test_support)
