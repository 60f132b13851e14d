# What a hostile page can reach past its window; the desktop-theme and Print Preview checks
# run in a helper process of their own, the environment checks in the real executable.
add_executable(page_reach_probe ${CMAKE_CURRENT_LIST_DIR}/page_reach_probe.cpp)
target_link_libraries(page_reach_probe PRIVATE hushleaf_app hushleaf_browser Qt6::Test)
hushleaf_add_test(page_reach_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/page_reach_test.cpp
  LIBS hushleaf_app hushleaf_browser hushleaf_test_support Qt6::Test)
target_compile_definitions(page_reach_test PRIVATE
  HUSHLEAF_REACH_PROBE="$<TARGET_FILE:page_reach_probe>"
  HUSHLEAF_EXE="$<TARGET_FILE:hushleaf-browser>")
add_dependencies(page_reach_test page_reach_probe hushleaf-browser)
