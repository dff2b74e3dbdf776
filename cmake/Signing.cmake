# Authenticode signing (SHA-256, osslsigncode) of what the build makes, when it is given a
# certificate; without one everything is built unsigned. Included by the top CMakeLists.txt.
#
#   -DCORNICE_SIGN_PKCS12=release.p12              certificate and private key
#   -DCORNICE_SIGN_PASSWORD_FILE=release.pass       the PKCS#12 password, first line of a file
#   -DCORNICE_SIGN_TIMESTAMP_URL=http://...         optional RFC 3161 timestamp server
#
# cornice_sign(<target>) signs a target's file after every link; cornice_sign(FILE <path>) signs
# a file that an add_custom_command(OUTPUT <path> ...) of the same folder makes, as its last
# step. Both do nothing in an unsigned build. CORNICE_SIGN_COMMAND is the command that signs
# one file in place (append the file's path), for tools that sign what they make themselves.
set(CORNICE_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 file that signs the binaries; empty: unsigned")
set(CORNICE_SIGN_PASSWORD_FILE "" CACHE FILEPATH "file whose first line is the PKCS#12 file's password")
set(CORNICE_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 timestamp server; empty: no timestamp")

set(CORNICE_SIGN_COMMAND "")
if(CORNICE_SIGN_PKCS12)
  find_program(OSSLSIGNCODE osslsigncode REQUIRED)
  foreach(file CORNICE_SIGN_PKCS12 CORNICE_SIGN_PASSWORD_FILE)
    if(NOT EXISTS "${${file}}")
      message(FATAL_ERROR "${file} names no file: \"${${file}}\"")
    endif()
  endforeach()
  # The settings go into a script of this build, so that the command stays short and the
  # password stays in its file, off every command line.
  set(CORNICE_SIGN_SCRIPT ${CMAKE_BINARY_DIR}/cornice-sign.cmake)
  file(CONFIGURE OUTPUT ${CORNICE_SIGN_SCRIPT} @ONLY CONTENT [=[
set(OSSLSIGNCODE "@OSSLSIGNCODE@")
set(PKCS12 "@CORNICE_SIGN_PKCS12@")
set(PASSWORD_FILE "@CORNICE_SIGN_PASSWORD_FILE@")
set(TIMESTAMP_URL "@CORNICE_SIGN_TIMESTAMP_URL@")
include("@CMAKE_CURRENT_LIST_DIR@/SignFile.cmake")
]=])
  set(CORNICE_SIGN_COMMAND ${CMAKE_COMMAND} -P ${CORNICE_SIGN_SCRIPT})
endif()

function(cornice_sign item)
  if(NOT CORNICE_SIGN_COMMAND)
    return()
  endif()
  if(item STREQUAL "FILE")
    add_custom_command(OUTPUT ${ARGV1} APPEND COMMAND ${CORNICE_SIGN_COMMAND} ${ARGV1})
  else()
    add_custom_command(TARGET ${item} POST_BUILD COMMAND ${CORNICE_SIGN_COMMAND} $<TARGET_FILE:${item}> VERBATIM)
  endif()
endfunction()
