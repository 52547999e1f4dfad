# GameSettings.ini: its keys, lines and values, where a run finds it, and the documents
# that list its keys.
gf_test(settings_tests SOURCES settings/SettingsTests.cpp LIBS gf_settings)
target_compile_definitions(settings_tests PRIVATE SOURCE_DIR="${PROJECT_SOURCE_DIR}")
