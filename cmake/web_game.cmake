# The browser game: the core on the web backend, built by Emscripten into quillmarsh.html, .js, .wasm and
# .data (the asset tree, packed under its Japanese names). Serve the folder and open quillmarsh.html.
# emcc's optimiser runs under Node and needs the acorn module: Debian's own Node finds Debian's node-acorn,
# a Node from elsewhere (NodeSource, nvm) does not ("Cannot find module 'acorn'") unless told where it is.
set(QUILLMARSH_WEB_LINK_LAUNCHER)
find_program(QUILLMARSH_NODE NAMES node nodejs)
if(QUILLMARSH_NODE)
  execute_process(COMMAND ${QUILLMARSH_NODE} -e "require('acorn')" RESULT_VARIABLE QUILLMARSH_ACORN_MISSING
    OUTPUT_QUIET ERROR_QUIET)
  if(QUILLMARSH_ACORN_MISSING AND EXISTS /usr/share/nodejs/acorn/package.json)
    set(QUILLMARSH_WEB_LINK_LAUNCHER ${CMAKE_COMMAND} -E env "NODE_PATH=/usr/share/nodejs")
  endif()
endif()

# Backends are object libraries: the core calls into them, so a static archive would be linked too early.
file(GLOB QUILLMARSH_WEB_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/web/*.cpp)
add_library(quillmarsh_web OBJECT ${QUILLMARSH_WEB_SOURCES})
quillmarsh_target_defaults(quillmarsh_web)
target_link_libraries(quillmarsh_web PUBLIC quillmarsh_core)

# The page tests' hooks are plain C functions the link exports by name (EXPORTED_FUNCTIONS below).
add_executable(quillmarsh ${PROJECT_SOURCE_DIR}/app/main/web_main.cpp ${PROJECT_SOURCE_DIR}/app/main/web_test_hooks.cpp)
quillmarsh_target_defaults(quillmarsh)
target_link_libraries(quillmarsh PRIVATE quillmarsh_web)
set_target_properties(quillmarsh PROPERTIES SUFFIX ".html")
set(QUILLMARSH_WEB_SHELL ${PROJECT_SOURCE_DIR}/platform/web/quillmarsh_shell.html)
set(QUILLMARSH_WEB_PRE_JS ${PROJECT_SOURCE_DIR}/platform/web/web_storage.js)
set(QUILLMARSH_WEB_REPLAY_JS ${PROJECT_SOURCE_DIR}/platform/web/web_replay.js)
target_link_options(quillmarsh PRIVATE
  # The game's own loop stays: Asyncify lets it give the browser a turn and sleep in the frame gate.
  # Only direct calls lead to those waits, so indirect calls need no instrumenting.
  -sASYNCIFY -sASYNCIFY_IGNORE_INDIRECT
  -sENVIRONMENT=web -sEXIT_RUNTIME=0 -sALLOW_MEMORY_GROWTH=1
  # Debian's emscripten calls its HTML minifier wrongly at -O1 and above; the page is small anyway.
  -sMINIFY_HTML=0
  -sEXPORTED_FUNCTIONS=_main,_QuillmarshProbe,_QuillmarshLoseLastLife,_QuillmarshPlaySound
  -sEXPORTED_RUNTIME_METHODS=ccall,UTF8ToString
  -lidbfs.js
  "SHELL:--pre-js ${QUILLMARSH_WEB_PRE_JS}"
  "SHELL:--pre-js ${QUILLMARSH_WEB_REPLAY_JS}"
  "SHELL:--shell-file ${QUILLMARSH_WEB_SHELL}"
  # --preload-file, not --embed-file: the assembler behind embedding cannot take the Japanese names.
  "SHELL:--preload-file ${CMAKE_BINARY_DIR}/bmp@/bmp"
  "SHELL:--preload-file ${CMAKE_BINARY_DIR}/data@/data"
  "SHELL:--preload-file ${CMAKE_BINARY_DIR}/wave@/wave")
set_property(TARGET quillmarsh APPEND PROPERTY LINK_DEPENDS ${QUILLMARSH_WEB_SHELL} ${QUILLMARSH_WEB_PRE_JS}
  ${QUILLMARSH_WEB_REPLAY_JS} ${CMAKE_BINARY_DIR}/assets.stamp)
add_dependencies(quillmarsh assets)
if(QUILLMARSH_WEB_LINK_LAUNCHER)
  set_target_properties(quillmarsh PROPERTIES CXX_LINKER_LAUNCHER "${QUILLMARSH_WEB_LINK_LAUNCHER}")
endif()

# The headless runner under Node, reading and writing the machine's own files: its traces of an input
# script must match the desktop runner's, byte for byte.
if(TARGET quillmarsh-sim)
  set_target_properties(quillmarsh-sim PROPERTIES SUFFIX ".js")
  target_link_options(quillmarsh-sim PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
    -sALLOW_MEMORY_GROWTH=1)
  if(QUILLMARSH_WEB_LINK_LAUNCHER)
    set_target_properties(quillmarsh-sim PROPERTIES CXX_LINKER_LAUNCHER "${QUILLMARSH_WEB_LINK_LAUNCHER}")
  endif()
endif()
