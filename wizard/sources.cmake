list(APPEND SETUP_LOGIC_SOURCES
  wizard/folder_creation.cc)
list(APPEND SETUP_WIN_SOURCES
  wizard/install_wizard_win.cc)
list(APPEND SETUP_UNITTEST_SOURCES
  wizard/folder_creation_unittest.cc)
