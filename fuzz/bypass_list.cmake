hushleaf_add_fuzzer(bypass_list_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/bypass_list_fuzz.cpp LIBS hushleaf_proxy_core)
