# The place-keeping test once under each window manager the suite installs.
hushleaf_add_test(place_keeping_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/place_keeping_test.cpp
  LIBS hushleaf_stealth hushleaf_test_support)
set_tests_properties(place_keeping_test PROPERTIES ENVIRONMENT HUSHLEAF_TEST_WM=openbox)
foreach(wm xfwm4 fluxbox icewm mutter)
  add_test(NAME place_keeping_test_${wm} COMMAND place_keeping_test)
  set_tests_properties(place_keeping_test_${wm} PROPERTIES
    LABELS gui TIMEOUT 300 ENVIRONMENT HUSHLEAF_TEST_WM=${wm})
endforeach()
