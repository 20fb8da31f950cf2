# The asset tree of a cross build is made by quillmarsh-tool built for the machine doing the build: give
# its path in QUILLMARSH_HOST_TOOL, or it is built in a host sub-build with the host's compiler.
include(ExternalProject)
set(QUILLMARSH_HOST_TOOL "" CACHE FILEPATH "quillmarsh-tool built for the build machine")
if(QUILLMARSH_HOST_TOOL)
  set(QUILLMARSH_ASSET_TOOL ${QUILLMARSH_HOST_TOOL})
  set(QUILLMARSH_ASSET_TOOL_TARGET ${QUILLMARSH_HOST_TOOL})
else()
  set(QUILLMARSH_HOST_BUILD ${CMAKE_BINARY_DIR}/host)
  ExternalProject_Add(quillmarsh_host_tool
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${QUILLMARSH_HOST_BUILD}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE= -DCMAKE_BUILD_TYPE=Release -DQUILLMARSH_SDL=OFF -DQUILLMARSH_TESTS=OFF
               -DQUILLMARSH_BENCH=OFF
    # quillmarsh-sim too: the Wine test compares the game's screen with its pictures.
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${QUILLMARSH_HOST_BUILD} --target quillmarsh-tool quillmarsh-sim
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${QUILLMARSH_HOST_BUILD}/quillmarsh-tool ${QUILLMARSH_HOST_BUILD}/quillmarsh-sim)
  set(QUILLMARSH_ASSET_TOOL ${QUILLMARSH_HOST_BUILD}/quillmarsh-tool)
  set(QUILLMARSH_ASSET_TOOL_TARGET quillmarsh_host_tool)
endif()
