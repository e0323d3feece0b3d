list(APPEND SETUP_LOGIC_SOURCES
  startup/setup_state.cc
  startup/text_helpers.cc
  startup/setup_description.cc
  startup/entry.cc)
list(APPEND SETUP_WIN_SOURCES
  startup/center_window_win.cc)
list(APPEND SETUP_UNITTEST_SOURCES
  startup/text_helpers_unittest.cc
  startup/setup_description_unittest.cc
  startup/entry_unittest.cc)
list(APPEND SETUP_INTEGRATION_SOURCES
  startup/setup_description_integrationtest.cc)
