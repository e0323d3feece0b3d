list(APPEND SETUP_LOGIC_SOURCES
  wizard/folder_creation.cc
  wizard/text_format.cc
  wizard/destination_check.cc
  wizard/shortcut_options.cc
  wizard/install_sequence.cc
  wizard/uninstall_registration.cc)
list(APPEND SETUP_WIN_SOURCES
  wizard/install_wizard_win.cc
  wizard/destination_page_win.cc
  wizard/options_page_win.cc
  wizard/copy_page_win.cc)
list(APPEND SETUP_UNITTEST_SOURCES
  wizard/folder_creation_unittest.cc
  wizard/text_format_unittest.cc
  wizard/destination_check_unittest.cc
  wizard/shortcut_options_unittest.cc
  wizard/install_sequence_unittest.cc
  wizard/uninstall_registration_unittest.cc)
list(APPEND SETUP_INTEGRATION_SOURCES
  wizard/wizard_integrationtest.cc)
