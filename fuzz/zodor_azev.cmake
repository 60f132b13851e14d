hushleaf_add_fuzzer(zodor_azev_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/zodor_azev_fuzz.cpp
  LIBS hushleaf_stealth_core)
