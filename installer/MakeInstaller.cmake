# Runs makensis on Cornice.nsi (cmake -P, from installer/CMakeLists.txt), adding to the defines
# it is given the sizes of the two pairs of programs: the installer carries both and installs
# one, and the directory page should tell the space that one needs.
#   cmake -DMAKENSIS=... -DSCRIPT=... -DX86_CORBEL=... -DX86_TRELLIS=... -DX64_CORBEL=...
#         -DX64_TRELLIS=... "-DDEFINES=NAME=VALUE|NAME=VALUE..." -P MakeInstaller.cmake
string(REPLACE "|" ";" DEFINES "${DEFINES}")
foreach(bits X86 X64)
  file(SIZE ${${bits}_CORBEL} corbel)
  file(SIZE ${${bits}_TRELLIS} trellis)
  math(EXPR kilobytes "(${corbel} + ${trellis} + 1023) / 1024")
  list(APPEND DEFINES ${bits}_CORBEL=${${bits}_CORBEL} ${bits}_TRELLIS=${${bits}_TRELLIS} ${bits}_PAIR_KB=${kilobytes})
endforeach()
list(TRANSFORM DEFINES PREPEND -D)
execute_process(COMMAND ${MAKENSIS} -V2 -NOCD ${DEFINES} ${SCRIPT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "makensis failed (${result})")
endif()
