list(APPEND SETUP_WIN_SOURCES
  wizard/install_wizard_win.cc)
