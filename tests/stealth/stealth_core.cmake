hushleaf_add_test(stealth_core_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/auto_hide_test.cpp
  LIBS hushleaf_stealth_core)
