hushleaf_add_test(browser_core_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/start_page_test.cpp ${CMAKE_CURRENT_LIST_DIR}/address_history_test.cpp LIBS hushleaf_browser_core)
