# Start-up figures: the real program against a bare Qt WebEngine program, each started
# under a private Xvfb. Run bench/startup_bench to print them.
add_executable(bare_webengine ${CMAKE_CURRENT_LIST_DIR}/bare_webengine.cpp)
target_link_libraries(bare_webengine PRIVATE Qt6::Widgets Qt6::WebEngineCore Qt6::WebEngineWidgets)

add_executable(startup_bench ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp)
target_link_libraries(startup_bench PRIVATE hushleaf_test_support PkgConfig::XCB)
target_compile_definitions(startup_bench PRIVATE
  HUSHLEAF_EXE="$<TARGET_FILE:hushleaf-browser>"
  BARE_WEBENGINE_EXE="$<TARGET_FILE:bare_webengine>")
add_dependencies(startup_bench hushleaf-browser bare_webengine)
