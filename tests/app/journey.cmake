hushleaf_add_test(journey_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/journey_test.cpp
  LIBS hushleaf_test_support hushleaf_platform)
target_compile_definitions(journey_test PRIVATE
  HUSHLEAF_EXE="$<TARGET_FILE:hushleaf-browser>"
  HUSHLEAF_JOURNEY_DIR="${CMAKE_BINARY_DIR}/journey"
  HUSHLEAF_A11Y_FIND="${CMAKE_CURRENT_LIST_DIR}/a11y_find.py")
add_dependencies(journey_test hushleaf-browser)

add_test(NAME package_test
  COMMAND hushleaf_x_run ${CMAKE_CURRENT_LIST_DIR}/package_test.sh ${CMAKE_BINARY_DIR})
set_tests_properties(package_test PROPERTIES LABELS gui TIMEOUT 300)
