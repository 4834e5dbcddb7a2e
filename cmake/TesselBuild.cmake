# Compiler settings shared by every target of both builds.

set(TESSEL_WARNINGS -Wall -Wextra)

if(WIN32)
  # XP is the oldest supported system: anything newer is looked up at run time.
  add_compile_definitions(UNICODE _UNICODE WINVER=0x0501 _WIN32_WINNT=0x0501
                          _WIN32_IE=0x0600 WIN32_LEAN_AND_MEAN NOMINMAX)
  add_compile_options(-municode)
  # One self-contained executable: no libgcc, libstdc++ or winpthread DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++ -municode)
  find_library(TESSEL_ZLIB NAMES libz.a z REQUIRED)
else()
  find_package(ZLIB REQUIRED)
  set(TESSEL_ZLIB ZLIB::ZLIB)
endif()

add_compile_options(${TESSEL_WARNINGS})

if(TESSEL_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# tessel_portable_library(name SOURCES ... [LIBS ...])
# A library of code that needs no Windows call; it is built by every preset.
function(tessel_portable_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

# tessel_win32_library(name SOURCES ... [LIBS ...])
# A library of Win32 code; it exists only in the Windows build.
function(tessel_win32_library name)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

if(TESSEL_FUZZ)
  # Everything the fuzz targets link is instrumented for coverage.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# tessel_program_resources(target NAME n DESCRIPTION d VERSION a.b.c.d TEXT t PRODUCT p)
# Adds the generated version resource and the application manifest (common
# controls 6, run as administrator) to a Windows program.
function(tessel_program_resources target)
  cmake_parse_arguments(ARG "" "NAME;DESCRIPTION;VERSION;TEXT;PRODUCT" "" ${ARGN})
  set(MANIFEST_NAME "Parvoni.${ARG_NAME}")
  set(MANIFEST_VERSION "${ARG_VERSION}")
  set(MANIFEST_DESCRIPTION "${ARG_DESCRIPTION}")
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/${target}_generated)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/app.manifest.in ${gen}/app.manifest @ONLY)
  string(REPLACE "." "," VER_COMMA "${ARG_VERSION}")
  set(VER_TEXT "${ARG_TEXT}")
  set(VER_NAME "${ARG_NAME}")
  set(VER_DESCRIPTION "${ARG_DESCRIPTION}")
  set(VER_PRODUCT "${ARG_PRODUCT}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${gen}/version.rc @ONLY)
  file(WRITE ${gen}/manifest.rc.tmp "1 24 \"${gen}/app.manifest\"\n")
  configure_file(${gen}/manifest.rc.tmp ${gen}/manifest.rc COPYONLY)
  target_sources(${target} PRIVATE ${gen}/version.rc ${gen}/manifest.rc
                                   ${PROJECT_SOURCE_DIR}/common/xp_compat_win.c)
  target_link_options(${target} PRIVATE -mwindows)
endfunction()
