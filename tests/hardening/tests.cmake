# Hardening: the headless game played for a long time, replays, and a leak check.
add_library(gf_headless STATIC
  hardening/HeadlessGame.cpp hardening/ScriptedPlayer.cpp hardening/Timeline.cpp)
target_include_directories(gf_headless PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/hardening ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(gf_headless PUBLIC gf_game gf_port)

add_executable(gloamfield-record-replays hardening/RecordReplays.cpp)
target_link_libraries(gloamfield-record-replays PRIVATE gf_headless)

gf_test(hardening_tests
  SOURCES hardening/SoakTests.cpp hardening/ReplayTests.cpp
  LIBS gf_headless)
target_compile_definitions(hardening_tests PRIVATE
  REPLAY_DIR="${CMAKE_CURRENT_SOURCE_DIR}/hardening/replays")
