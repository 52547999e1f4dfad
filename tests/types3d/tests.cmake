# Vectors, matrices and the game's own trigonometry.
gf_test(types3d_tests SOURCES types3d/MatrixTests.cpp LIBS gf_types3d)
