list(APPEND SETUP_UNITTEST_SOURCES
  platform/profile_reader_unittest.cc)
list(APPEND SETUP_INTEGRATION_SOURCES
  platform/win32_platform_integrationtest.cc)
