# The web page: the same runtime, framework, devices and game with the web host, compiled by
# emscripten into build-web/ (index.html, .js, .wasm and the packed assets). Drawing goes
# through the browser's emulation of the fixed-function pipeline, sound through its OpenAL.
# Ogg Vorbis is left out: every shipped sound is a WAVE file.
set(CMAKE_EXECUTABLE_SUFFIX .html)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE Release)
endif()
set(CMAKE_CXX_FLAGS_RELEASE "-O2")

set(web_sources)
foreach(folder runtime framework devices game host host/web)
  file(GLOB folder_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  list(APPEND web_sources ${folder_sources})
endforeach()
add_executable(vexadrome ${web_sources})
set_target_properties(vexadrome PROPERTIES OUTPUT_NAME index)
# The web host's GLFW header goes first: it adds the gamepad calls the browser's GLFW lacks.
target_include_directories(vexadrome PRIVATE ${CMAKE_SOURCE_DIR}/host/web/include ${CMAKE_SOURCE_DIR})
# Only stb_image.h from the system's stb headers, compiled by devices/decoders.cpp.
target_include_directories(vexadrome SYSTEM PRIVATE /usr/include/stb)
target_compile_definitions(vexadrome PRIVATE VEXADROME_HAS_MUSIC=0 VEXADROME_NO_VORBIS=1)
target_compile_options(vexadrome PRIVATE -Wall -Wextra -fexceptions)
set_source_files_properties(${CMAKE_SOURCE_DIR}/devices/decoders.cpp PROPERTIES COMPILE_OPTIONS -w)
target_link_options(vexadrome PRIVATE
  -fexceptions -sUSE_GLFW=3 -sLEGACY_GL_EMULATION=1 -lopenal -lidbfs.js
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB -sMINIFY_HTML=0
  -sEXPORTED_FUNCTIONS=_main,_nx_web_PageChanged,_nx_web_Probe,_nx_web_LoadSound -sEXPORTED_RUNTIME_METHODS=UTF8ToString,FS,ccall
  "--shell-file=${CMAKE_SOURCE_DIR}/host/web/shell.html"
  "--pre-js=${CMAKE_SOURCE_DIR}/host/web/pre.js"
  "--preload-file=${CMAKE_SOURCE_DIR}/data@/data")
set_property(TARGET vexadrome APPEND PROPERTY LINK_DEPENDS
  ${CMAKE_SOURCE_DIR}/host/web/shell.html ${CMAKE_SOURCE_DIR}/host/web/pre.js)

# The heaviest frame timed in the browser (scripts/web-figures.sh): the game and the headless
# harness with its autopilot, drawn through the page's real path.
option(VEXADROME_BENCH "Build the browser's frame benchmark" OFF)
if(VEXADROME_BENCH)
  set(bench_sources ${web_sources})
  list(FILTER bench_sources EXCLUDE REGEX "/host/web/(main|web_game|probe)\\.cpp$")
  add_executable(bench_web_frame ${bench_sources} ${CMAKE_SOURCE_DIR}/bench/web_frame_bench.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/game_harness.cpp ${CMAKE_SOURCE_DIR}/tests/support/autopilot.cpp)
  target_include_directories(bench_web_frame PRIVATE ${CMAKE_SOURCE_DIR}/host/web/include
    ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_include_directories(bench_web_frame SYSTEM PRIVATE /usr/include/stb)
  target_compile_definitions(bench_web_frame PRIVATE VEXADROME_HAS_MUSIC=0 VEXADROME_NO_VORBIS=1)
  target_compile_options(bench_web_frame PRIVATE -Wall -Wextra -fexceptions)
  target_link_options(bench_web_frame PRIVATE
    -fexceptions -sUSE_GLFW=3 -sLEGACY_GL_EMULATION=1 -lopenal -sALLOW_MEMORY_GROWTH=1
    -sINITIAL_MEMORY=64MB -sMINIFY_HTML=0 "--preload-file=${CMAKE_SOURCE_DIR}/data@/data")
endif()
