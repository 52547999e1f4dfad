# The Windows program beside its world in the build folder, and the package: a zip of
# Gloamfield.exe, GameSettings.ini and Data\ that runs from any empty folder.
if(NOT TARGET Gloamfield)
  return()
endif()

# Beside GameSettings.ini and Data\, so that the build folder itself is a game folder.
set_target_properties(Gloamfield PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

set(GLOAMFIELD_ZIP ${CMAKE_BINARY_DIR}/Gloamfield-win64.zip)
# Touched by the world target each time the generator has rewritten Data\.
set(world_stamp ${CMAKE_BINARY_DIR}/Data/.world-stamp)

if(TARGET world)
  add_custom_command(
    OUTPUT ${GLOAMFIELD_ZIP}
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:Gloamfield> -DWORLD=${CMAKE_BINARY_DIR}
            -DSTAGE=${CMAKE_BINARY_DIR}/package -DZIP=${GLOAMFIELD_ZIP}
            -P ${CMAKE_CURRENT_LIST_DIR}/MakeZip.cmake
    DEPENDS Gloamfield ${world_stamp} ${CMAKE_CURRENT_LIST_DIR}/MakeZip.cmake
    COMMENT "Packing ${GLOAMFIELD_ZIP}"
    VERBATIM)
  # Part of every build: the end-to-end tests run the package.
  add_custom_target(package ALL DEPENDS ${GLOAMFIELD_ZIP})
  add_dependencies(package world)
else()
  message(WARNING "GLOAMFIELD_WORLDGEN is not set: no world beside Gloamfield.exe, no package, "
                  "and the Wine tests that run the game will fail")
  add_custom_target(package
    COMMAND ${CMAKE_COMMAND} -E echo
            "The package needs the world: configure with -DGLOAMFIELD_WORLDGEN=<host-built gloamfield-worldgen>"
    COMMAND ${CMAKE_COMMAND} -E false
    VERBATIM)
endif()
