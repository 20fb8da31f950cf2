# The installed game on Linux: `cmake --install` lays out the programs, the asset tree, the menu entry,
# the icons, the AppStream file and the manual pages under the prefix.
set(QUILLMARSH_INSTALL_GAMEDIR games)
set(QUILLMARSH_INSTALL_DATADIR share/games/quillmarsh)
set(QUILLMARSH_APP_ID org.quillmarsh.Quillmarsh)
# The project's web address, for software centres (the screenshot is looked for under it); a placeholder until the project has one.
set(QUILLMARSH_HOMEPAGE "https://example.org/quillmarsh" CACHE STRING "The project's web address")
# The game finds its tree from its own place, so a prefix moved elsewhere still works.
cmake_path(RELATIVE_PATH QUILLMARSH_INSTALL_DATADIR BASE_DIRECTORY ${QUILLMARSH_INSTALL_GAMEDIR}
  OUTPUT_VARIABLE QUILLMARSH_DATA_FROM_EXECUTABLE)
target_compile_definitions(quillmarsh PRIVATE QUILLMARSH_DATA_FROM_EXECUTABLE="${QUILLMARSH_DATA_FROM_EXECUTABLE}")

install(TARGETS quillmarsh RUNTIME DESTINATION ${QUILLMARSH_INSTALL_GAMEDIR})
foreach(program quillmarsh-tool quillmarsh-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION bin)
  endif()
endforeach()
install(DIRECTORY ${CMAKE_BINARY_DIR}/bmp ${CMAKE_BINARY_DIR}/wave ${CMAKE_BINARY_DIR}/data
  DESTINATION ${QUILLMARSH_INSTALL_DATADIR})

set(QUILLMARSH_DIST ${PROJECT_SOURCE_DIR}/dist/linux)
if(TARGET assets)
  # The icon theme's sizes, each drawn by the asset generator from the same 48x48 picture.
  set(QUILLMARSH_ICON_PNGS)
  foreach(side 48 128 256)
    set(icon ${CMAKE_BINARY_DIR}/icons/${side}x${side}/apps/quillmarsh.png)
    add_custom_command(
      OUTPUT ${icon}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${side}x${side}/apps
      COMMAND ${QUILLMARSH_ASSET_TOOL} make-icon-png ${side} ${icon}
      DEPENDS ${QUILLMARSH_ASSET_TOOL_TARGET}
      COMMENT "Making the ${side}x${side} icon")
    list(APPEND QUILLMARSH_ICON_PNGS ${icon})
  endforeach()
  add_custom_target(desktop_icons ALL DEPENDS ${QUILLMARSH_ICON_PNGS})
  install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION share/icons/hicolor)
endif()
install(FILES ${QUILLMARSH_DIST}/quillmarsh.desktop DESTINATION share/applications
  RENAME ${QUILLMARSH_APP_ID}.desktop)
configure_file(${QUILLMARSH_DIST}/quillmarsh.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/${QUILLMARSH_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${QUILLMARSH_APP_ID}.metainfo.xml DESTINATION share/metainfo)
# The manual pages carry the project's version and release date.
foreach(page quillmarsh.6 quillmarsh-tool.1 quillmarsh-sim.1)
  configure_file(${QUILLMARSH_DIST}/${page}.in ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  string(REGEX REPLACE ".*\\." "" section ${page})
  install(FILES ${CMAKE_BINARY_DIR}/man/${page} DESTINATION share/man/man${section})
endforeach()
