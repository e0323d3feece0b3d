list(APPEND SETUP_LOGIC_SOURCES
  shortcuts/progman.cc
  shortcuts/shortcuts.cc)
list(APPEND SETUP_UNITTEST_SOURCES
  shortcuts/progman_unittest.cc
  shortcuts/shortcuts_unittest.cc)
list(APPEND SETUP_INTEGRATION_SOURCES
  shortcuts/shortcut_integration_fixture.cc
  shortcuts/shortcuts_integrationtest.cc
  shortcuts/progman_integrationtest.cc)
