# The installed layout: <prefix>/lib/pakemino/pakemino with data/ beside it (the file finder
# walks the executable's directory), a link in <prefix>/bin, qorv-probe in <prefix>/bin (its
# assets command looks in ../lib/pakemino by default), a desktop entry and its icon.
include(GNUInstallDirs)

set(PAKEMINO_INSTALL_DIR lib/pakemino)
install(TARGETS pakemino RUNTIME DESTINATION ${PAKEMINO_INSTALL_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${PAKEMINO_INSTALL_DIR}/data)
install(TARGETS qorv-probe RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Relative, so the tree still works when moved or staged with DESTDIR.
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bin}\")
  file(CREATE_LINK ../${PAKEMINO_INSTALL_DIR}/pakemino \"\${bin}/pakemino\" SYMBOLIC)
  message(STATUS \"Installing: \${bin}/pakemino -> ../${PAKEMINO_INSTALL_DIR}/pakemino\")
")

# The entry names the link by its full path, as installed (a menu may not search the user's
# PATH); written at install time so a prefix given to cmake --install counts.
install(CODE "
  set(PAKEMINO_INSTALLED_LINK \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/pakemino\")
  set(applications \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/pakemino.desktop.in
    \"\${applications}/pakemino.desktop\" @ONLY)
  message(STATUS \"Installing: \${applications}/pakemino.desktop\")
")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/pakemino.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
