# Install rules of the native build (see install.cmake for the layout).
include(GNUInstallDirs)

foreach(program ravlo3 brimmer ifoscan vobtitle videopass)
  ravlo_install_program(${program} ${CMAKE_INSTALL_BINDIR})
endforeach()

set(RAVLO_DATA_DIR ${CMAKE_INSTALL_DATADIR}/ravlo3)
install(FILES ${PROJECT_SOURCE_DIR}/dist/misc/help.htm DESTINATION ${RAVLO_DATA_DIR}/misc)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/dist/misc/ifoparse.sh DESTINATION ${RAVLO_DATA_DIR}/misc)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/dist/tools/xt.sh DESTINATION ${RAVLO_DATA_DIR}/tools)

# The desktop's menu entry and icon, for the window; a build without it has no window to start.
if(TARGET ravlo_window_qt)
  install(FILES ${PROJECT_SOURCE_DIR}/dist/linux/ravlo3.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/dist/linux/ravlo3.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
