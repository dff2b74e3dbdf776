# Signs one file in place with osslsigncode: Authenticode, SHA-256, the product's name and web
# address, and a timestamp when a server is given. Run through the script Signing.cmake writes:
#   cmake -P <build>/cornice-sign.cmake <file>
# osslsigncode cannot write over its input: it signs into a neighbour, which then replaces the file.
set(file "${CMAKE_ARGV3}")
if(NOT file OR NOT EXISTS "${file}")
  message(FATAL_ERROR "cornice-sign: no such file: \"${file}\"")
endif()
set(timestamp)
if(TIMESTAMP_URL)
  set(timestamp -ts ${TIMESTAMP_URL})
endif()
set(signed "${file}.signing")
file(REMOVE "${signed}")
execute_process(
  COMMAND ${OSSLSIGNCODE} sign -pkcs12 ${PKCS12} -readpass ${PASSWORD_FILE} -h sha256
          -n Cornice -i http://www.quillmark.example/ ${timestamp} -in ${file} -out ${signed}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  file(REMOVE "${signed}")
  message(FATAL_ERROR "cornice-sign: osslsigncode could not sign ${file} (${result}):\n${output}")
endif()
file(RENAME "${signed}" "${file}")
