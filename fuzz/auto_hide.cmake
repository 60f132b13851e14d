hushleaf_add_fuzzer(auto_hide_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/auto_hide_fuzz.cpp
  LIBS hushleaf_stealth_core)
