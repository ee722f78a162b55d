# What `cmake --install` (and `make install PREFIX=...`) puts in place: the program and orvtool,
# the desktop entry and its icon, the samples and the user guide.
include(GNUInstallDirs)

if(TARGET orvmon)
  install(TARGETS orvmon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/data/orvmon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/orvmon.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(TARGETS orvtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
file(GLOB orv_samples LIST_DIRECTORIES false CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/samples/*)
list(FILTER orv_samples EXCLUDE REGEX "README\\.md$")
install(FILES ${orv_samples} DESTINATION ${CMAKE_INSTALL_DATADIR}/orvmon/samples)
file(GLOB orv_scenarios CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/samples/scenarios/*.toml)
install(FILES ${orv_scenarios} DESTINATION ${CMAKE_INSTALL_DATADIR}/orvmon/samples/scenarios)
install(FILES ${PROJECT_SOURCE_DIR}/docs/guide.ru.md ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
