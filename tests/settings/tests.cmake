# GameSettings.ini: its keys, lines and values.
gf_test(settings_tests SOURCES settings/SettingsTests.cpp LIBS gf_settings)
