hushleaf_add_test(favorites_core_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/favorites_scan_test.cpp
  LIBS hushleaf_favorites_core)
