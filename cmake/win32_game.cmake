# The Windows game: the Win32 backend, quillmarsh.exe with its icon, and the zip players download.
# Backends are object libraries: the core calls into them, so a static archive would be linked too early.
file(GLOB QUILLMARSH_WIN32_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/win32/*.cpp)
add_library(quillmarsh_win32 OBJECT ${QUILLMARSH_WIN32_SOURCES})
quillmarsh_target_defaults(quillmarsh_win32)
target_link_libraries(quillmarsh_win32 PUBLIC quillmarsh_core ddraw dxguid dsound winmm gdi32 user32)

set(QUILLMARSH_WIN32_RESOURCES)
option(QUILLMARSH_WIN32_ICON "Compile the generated icon into quillmarsh.exe" ON)
if(TARGET assets AND QUILLMARSH_WIN32_ICON)
  # The icon is the asset generator's picture, compiled in as resource group 101.
  enable_language(RC)
  set(QUILLMARSH_ICON ${CMAKE_BINARY_DIR}/quillmarsh.ico)
  add_custom_command(
    OUTPUT ${QUILLMARSH_ICON}
    COMMAND ${QUILLMARSH_ASSET_TOOL} make-icon ${QUILLMARSH_ICON}
    DEPENDS ${QUILLMARSH_ASSET_TOOL_TARGET}
    COMMENT "Making the icon")
  configure_file(${PROJECT_SOURCE_DIR}/platform/win32/quillmarsh.rc.in ${CMAKE_BINARY_DIR}/quillmarsh.rc @ONLY)
  set(QUILLMARSH_WIN32_RESOURCES ${CMAKE_BINARY_DIR}/quillmarsh.rc)
  set_source_files_properties(${CMAKE_BINARY_DIR}/quillmarsh.rc PROPERTIES OBJECT_DEPENDS ${QUILLMARSH_ICON})
endif()

add_executable(quillmarsh WIN32 ${PROJECT_SOURCE_DIR}/app/main/win32_main.cpp ${QUILLMARSH_WIN32_RESOURCES})
quillmarsh_target_defaults(quillmarsh)
# The debugging information is most of the program's size (7 MB of 7.2) and no use to a player: a Release
# build leaves it out, and the zip strips it whatever the build type.
target_link_options(quillmarsh PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
target_link_libraries(quillmarsh PRIVATE quillmarsh_win32)
if(TARGET assets)
  add_dependencies(quillmarsh assets)
endif()

# The player's zip: the game, its asset tree and a short README.
install(TARGETS quillmarsh RUNTIME DESTINATION .)
install(DIRECTORY ${CMAKE_BINARY_DIR}/bmp ${CMAKE_BINARY_DIR}/data ${CMAKE_BINARY_DIR}/wave DESTINATION . OPTIONAL)
# Written with CR LF here, whatever line ends the checkout has: older Notepads show a file with bare line
# feeds as one long line.
configure_file(${PROJECT_SOURCE_DIR}/platform/win32/README-Windows.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY
  NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Quillmarsh)
set(CPACK_PACKAGE_FILE_NAME Quillmarsh-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
