# `cmake --install`: the programs in bin/, the README (with its picture) in
# share/tarsel/, where the programs look for what they ship beside
# ../share/tarsel/ of their own folder, and a menu entry for each window.
include(GNUInstallDirs)

foreach(program post32 postp posta tarsel-mkdata)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The programs find these from bin/ as ../share/tarsel/, so the data
# folder must be named so whatever CMAKE_INSTALL_DATADIR says.
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/tarsel)
install(FILES ${CMAKE_SOURCE_DIR}/docs/post32-main.png DESTINATION share/tarsel/docs)

install(FILES ${CMAKE_SOURCE_DIR}/share/applications/tarsel-post32.desktop
              ${CMAKE_SOURCE_DIR}/share/applications/tarsel-postp.desktop
              ${CMAKE_SOURCE_DIR}/share/applications/tarsel-posta.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
