hushleaf_add_test(proxy_core_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/proxy_codec_test.cpp LIBS hushleaf_proxy_core)
hushleaf_add_test(proxy_gui_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/proxy_dialog_test.cpp LIBS hushleaf_proxy hushleaf_browser hushleaf_test_support)
