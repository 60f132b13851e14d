# Print Preview of a long page: how long until its pages show, and the memory it takes.
# Needs a display: xvfb-run -a bench/print_preview_bench [runs].
add_executable(print_preview_bench ${CMAKE_CURRENT_LIST_DIR}/print_preview_bench.cpp)
target_link_libraries(print_preview_bench PRIVATE hushleaf_app hushleaf_test_support Qt6::Test)
