list(APPEND SETUP_LOGIC_SOURCES
  shortcuts/progman.cc
  shortcuts/shortcuts.cc)
list(APPEND SETUP_UNITTEST_SOURCES
  shortcuts/progman_unittest.cc
  shortcuts/shortcuts_unittest.cc)
