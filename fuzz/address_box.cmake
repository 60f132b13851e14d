hushleaf_add_fuzzer(address_box_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/address_box_fuzz.cpp
  LIBS hushleaf_browser_core)
