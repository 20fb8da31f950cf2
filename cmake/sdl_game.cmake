# The desktop game on SDL2: the SDL backend and quillmarsh, with the opt-in frame log of its entry.
find_package(SDL2 REQUIRED CONFIG)
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2_MIXER REQUIRED IMPORTED_TARGET SDL2_mixer)

# Backends are object libraries: the core calls into them, so a static archive would be linked too early.
file(GLOB QUILLMARSH_SDL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/sdl/*.cpp)
add_library(quillmarsh_sdl OBJECT ${QUILLMARSH_SDL_SOURCES})
quillmarsh_target_defaults(quillmarsh_sdl)
target_link_libraries(quillmarsh_sdl PUBLIC quillmarsh_core SDL2::SDL2 PkgConfig::SDL2_MIXER)

add_executable(quillmarsh ${PROJECT_SOURCE_DIR}/app/main/sdl_main.cpp ${PROJECT_SOURCE_DIR}/app/main/frame_log.cpp)
quillmarsh_target_defaults(quillmarsh)
target_link_libraries(quillmarsh PRIVATE quillmarsh_sdl)
if(TARGET assets)
  # The game reads its asset tree from the build folder: building the game alone lays it out too.
  add_dependencies(quillmarsh assets)
endif()
