hushleaf_add_test(instance_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/instance_test.cpp
  LIBS hushleaf_app hushleaf_test_support)
target_compile_definitions(instance_test PRIVATE HUSHLEAF_EXE="$<TARGET_FILE:hushleaf-browser>")
add_dependencies(instance_test hushleaf-browser)
