list(APPEND SETUP_LOGIC_SOURCES
  uninstall/hand_off.cc)
list(APPEND SETUP_WIN_SOURCES
  uninstall/uninstall_dialog_win.cc)
