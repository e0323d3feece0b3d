list(APPEND SETUP_LOGIC_SOURCES
  shortcuts/shortcuts.cc)
