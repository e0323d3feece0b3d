list(APPEND SETUP_LOGIC_SOURCES
  uninstall/compare_text.cc
  uninstall/delete_at_restart.cc
  uninstall/folder_tree.cc
  uninstall/hand_off.cc
  uninstall/removal.cc
  uninstall/uninstall_run.cc)
list(APPEND SETUP_WIN_SOURCES
  uninstall/uninstall_dialog_win.cc)
list(APPEND SETUP_UNITTEST_SOURCES
  uninstall/delete_at_restart_unittest.cc
  uninstall/folder_tree_unittest.cc
  uninstall/hand_off_unittest.cc
  uninstall/removal_unittest.cc
  uninstall/uninstall_run_unittest.cc)
list(APPEND SETUP_INTEGRATION_SOURCES
  uninstall/uninstall_integrationtest.cc)
