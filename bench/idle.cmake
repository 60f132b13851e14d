# Idle cost and AutoHide latency: the real program against a bare Qt WebEngine program,
# under a private Xvfb with openbox. Run bench/idle_bench [runs] to print them.
add_executable(idle_bench ${CMAKE_CURRENT_LIST_DIR}/idle_bench.cpp)
target_link_libraries(idle_bench PRIVATE hushleaf_test_support)
target_compile_definitions(idle_bench PRIVATE
  HUSHLEAF_EXE="$<TARGET_FILE:hushleaf-browser>"
  BARE_WEBENGINE_EXE="$<TARGET_FILE:bare_webengine>"
  HUSHLEAF_A11Y_FIND="${PROJECT_SOURCE_DIR}/tests/app/a11y_find.py")
add_dependencies(idle_bench hushleaf-browser bare_webengine)
