hushleaf_add_fuzzer(internet_shortcut_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/internet_shortcut_fuzz.cpp
  LIBS hushleaf_favorites_core)
