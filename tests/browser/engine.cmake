# The web-engine backend against real pages, dialogs, files and a fresh HOME; the
# fresh-HOME check runs the engine in a child process of its own.
add_executable(engine_home_probe ${CMAKE_CURRENT_LIST_DIR}/engine_home_probe.cpp)
target_link_libraries(engine_home_probe PRIVATE hushleaf_app hushleaf_browser)
hushleaf_add_test(engine_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_test.cpp
  LIBS hushleaf_browser hushleaf_test_support Qt6::Test)
target_compile_definitions(engine_test PRIVATE
  HUSHLEAF_ENGINE_HOME_PROBE="$<TARGET_FILE:engine_home_probe>")
add_dependencies(engine_test engine_home_probe)
