hushleaf_add_test(proxy_gui_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/internet_layer_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/proxy_dialog_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/message_box_watcher.h
  LIBS hushleaf_proxy hushleaf_browser hushleaf_test_support Qt6::Test)
target_include_directories(proxy_gui_test PRIVATE ${PROJECT_SOURCE_DIR}/tests)
