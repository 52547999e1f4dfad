# cmake -DEXE=<program> -DWORLD=<folder with Data and defaults/GameSettings.ini>
#       -DSTAGE=<scratch> -DZIP=<out> -P MakeZip.cmake
# Stages exactly what the game reads and zips it with the folder as its root: the settings
# as the generator wrote their defaults, not the build folder's own file.
foreach(var EXE WORLD STAGE ZIP)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MakeZip.cmake needs -D${var}=...")
  endif()
endforeach()

if(NOT EXISTS ${WORLD}/defaults/GameSettings.ini OR NOT IS_DIRECTORY ${WORLD}/Data)
  message(FATAL_ERROR "No world in ${WORLD}: defaults/GameSettings.ini and Data/ are missing")
endif()

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/Data)
file(COPY ${EXE} DESTINATION ${STAGE})
get_filename_component(exe_name ${EXE} NAME)
if(NOT exe_name STREQUAL "Gloamfield.exe")
  file(RENAME ${STAGE}/${exe_name} ${STAGE}/Gloamfield.exe)
endif()
file(COPY ${WORLD}/defaults/GameSettings.ini DESTINATION ${STAGE})

# Only the world's own files: the generator's stamp and other dot files stay behind.
file(GLOB data_files LIST_DIRECTORIES false ${WORLD}/Data/*)
set(count 0)
foreach(f ${data_files})
  get_filename_component(name ${f} NAME)
  if(NOT name MATCHES "^\\.")
    file(COPY ${f} DESTINATION ${STAGE}/Data)
    math(EXPR count "${count} + 1")
  endif()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "${WORLD}/Data holds no files")
endif()

file(REMOVE ${ZIP})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip Gloamfield.exe GameSettings.ini Data
  WORKING_DIRECTORY ${STAGE}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Could not write ${ZIP}")
endif()
message(STATUS "${ZIP}: Gloamfield.exe, GameSettings.ini and ${count} files in Data")
