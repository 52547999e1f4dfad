# Strings, files and the line reader, what is not a file; the main window.
gf_test(tlib_tests SOURCES tlib/TlibTests.cpp tlib/FormTests.cpp LIBS gf_tlib)
