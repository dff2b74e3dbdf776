# The installer's scripts cannot include a C++ header; they get the add-in's facts from the
# headers in common/ through this, so that each is written once.
#
#   cornice_header_constants(<header> <variable> <name>...)
#
# For each name Foo, reads "inline constexpr ... kFoo = <value>;" from <header>: a number, or text
# in one or more adjacent L"..." pieces (with \\ for a backslash and no other escapes). Sets
# <variable> to a list of "Foo=<value>" and makes CMake configure again when the header changes.
function(cornice_header_constants header variable)
  file(READ ${header} source)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
  set(result)
  foreach(name IN LISTS ARGN)
    if(NOT source MATCHES "inline constexpr [^=;]* k${name} =[ \n]*((L\"[^\"]*\"[ \n]*)+|[0-9]+);")
      message(FATAL_ERROR "${header} has no constant k${name} that is a number or text")
    endif()
    set(value "${CMAKE_MATCH_1}")
    if(value MATCHES ";")
      message(FATAL_ERROR "k${name} in ${header}: a semicolon would split it here")
    endif()
    if(NOT value MATCHES "^[0-9]+$")
      string(REGEX MATCHALL "L\"[^\"]*\"" pieces "${value}")
      set(value)
      foreach(piece IN LISTS pieces)
        string(REGEX REPLACE "^L\"(.*)\"$" "\\1" piece "${piece}")
        string(APPEND value "${piece}")
      endforeach()
      string(REPLACE "\\\\" "\\" value "${value}")
    endif()
    list(APPEND result "${name}=${value}")
  endforeach()
  set(${variable} "${result}" PARENT_SCOPE)
endfunction()
