hushleaf_add_fuzzer(res_address_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/res_address_fuzz.cpp
  LIBS hushleaf_browser_core)
