# The build setting TESSEL_RELEASE_KEY: the path of the maker's public release
# key ("tessel-catalog keygen" writes it). A build with it is in signed mode;
# empty (the default) builds without a key.

set(TESSEL_RELEASE_KEY "" CACHE FILEPATH "Public release key compiled into Tessel (empty: no key)")

# tessel_release_key_source(out key_file): writes the source of
# EmbeddedReleaseKey for `key_file` (empty: a build without a key).
function(tessel_release_key_source out key_file)
  set(TESSEL_RELEASE_KEY "${key_file}")
  set(RELEASE_KEY_LITERAL "\"\"")
  if(TESSEL_RELEASE_KEY)
    if(NOT EXISTS "${TESSEL_RELEASE_KEY}")
      message(FATAL_ERROR "TESSEL_RELEASE_KEY: ${TESSEL_RELEASE_KEY} does not exist")
    endif()
    file(STRINGS "${TESSEL_RELEASE_KEY}" lines)
    list(FILTER lines EXCLUDE REGEX "^#")
    list(GET lines 0 header)
    if(NOT header STREQUAL "tessel-release-public-key")
      message(FATAL_ERROR "TESSEL_RELEASE_KEY: ${TESSEL_RELEASE_KEY} is not a public release key "
                          "file (a private key is never built into a program)")
    endif()
    set(RELEASE_KEY_LITERAL "")
    foreach(line ${lines})
      if(NOT line MATCHES "^[-a-z0-9 ]*$")
        message(FATAL_ERROR "TESSEL_RELEASE_KEY: unexpected line \"${line}\"")
      endif()
      string(APPEND RELEASE_KEY_LITERAL "\n    \"${line}\\n\"")
    endforeach()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${TESSEL_RELEASE_KEY}")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/updater/catalogue/release_key.cpp.in ${out} @ONLY)
endfunction()
