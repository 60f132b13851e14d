hushleaf_add_fuzzer(proxy_list_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/proxy_list_fuzz.cpp LIBS hushleaf_proxy_core)
