hushleaf_add_test(app_core_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/command_table_test.cpp
  LIBS hushleaf_app_core)
target_compile_definitions(app_core_test PRIVATE HUSHLEAF_README="${PROJECT_SOURCE_DIR}/README.md")
hushleaf_add_test(desktop_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/desktop_test.cpp LIBS hushleaf_platform)
hushleaf_add_test(settings_store_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_store_test.cpp LIBS hushleaf_platform)
