# Pop-ups, page dialogs and downloads a hostile page asks for, against real windows.
hushleaf_add_test(popup_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/popup_test.cpp
  LIBS hushleaf_app hushleaf_test_support Qt6::Test)
