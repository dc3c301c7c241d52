# The Linux release: a .deb and a .tar.gz with the same tree. The programs go to
# lib/avada-kedabra, the data to share/avada-kedabra/data, and a launcher per program to bin/:
# avada-kedabra plays the demo, avada-kedabra-capture runs demo-capture.
set(launchers avada-kedabra:demo)
if(TARGET demo-capture)
  list(APPEND launchers avada-kedabra-capture:demo-capture)
endif()
foreach(pair ${launchers})
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 launcher)
  list(GET pair 1 program)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/launcher.sh.in
                 ${CMAKE_BINARY_DIR}/launchers/${launcher} @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/launchers/${launcher} DESTINATION bin)
  install(TARGETS ${program} RUNTIME DESTINATION lib/avada-kedabra)
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION share/avada-kedabra/data)

set(CPACK_GENERATOR TGZ DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME avada-kedabra)
set(CPACK_PACKAGE_VENDOR "avada kedabra!")
set(CPACK_PACKAGE_CONTACT "avada kedabra! <demo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo with live MIDI tuning")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries the programs link come from dpkg-shlibdeps; the rest is what they run or load.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wl-clipboard | xclip | xsel, ffmpeg")
include(CPack)
