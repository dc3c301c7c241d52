# The Linux release: a .deb and a .tar.gz with the same tree. The programs go to
# lib/avada-kedabra, the data to share/avada-kedabra/data, and a launcher per program to bin/:
# avada-kedabra plays the demo, avada-kedabra-capture runs demo-capture. Beside them: a manual page
# per launcher, the desktop entry, its icons and AppStream record, the changelog and the licences.
include(${PROJECT_SOURCE_DIR}/cmake/notices.cmake)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Real-time audiovisual demo with live MIDI tuning")
# One text, wrapped as the control file wants it, for the package's extended description and the
# AppStream record.
set(DEMO_DESCRIPTION "A faint light wakes in the dark, flies out over a meadow at dusk, the sun
goes down, and the light gathers into an orb that grows, shatters and pulses
with the music: 151 seconds of full-screen OpenGL shader scenes in step with
the demo's own music. MIDI knobs tune the scenes live, and a tuning studio
steps, loops and scrubs through them. A capture tool renders frames, videos
and parameter dumps offline.")
execute_process(COMMAND date -u -d ${DEMO_RELEASE_DATE} -R OUTPUT_VARIABLE DEMO_RELEASE_DATE_RFC
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# A manual page for each command on the PATH, made by help2man from the program's own --help, so
# that the two cannot drift apart: install_man_page(NAME EXECUTABLE DEPENDS...) runs EXECUTABLE
# through a link called NAME, whose name the page takes, and adds packaging/man/NAME.h2m. The
# page's date is SOURCE_DATE_EPOCH's (cmake/reproducible.cmake).
find_program(HELP2MAN help2man REQUIRED)
set(man ${CMAKE_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${man})
add_custom_target(man_pages ALL)
function(install_man_page name executable)
  set(include ${PROJECT_SOURCE_DIR}/packaging/man/${name}.h2m)
  add_custom_command(
    OUTPUT ${man}/${name}.1.gz
    COMMAND ${CMAKE_COMMAND} -E create_symlink ${executable} ${man}/${name}
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${DEMO_SOURCE_DATE_EPOCH} ${HELP2MAN}
            --no-info --section=1 --version-string=${PROJECT_VERSION} --include=${include}
            --output=${man}/${name}.1 ${man}/${name}
    COMMAND gzip -9nf ${man}/${name}.1
    DEPENDS ${ARGN} ${include} ${DEMO_SOURCE_DATE_FILE}
    WORKING_DIRECTORY ${man}
    VERBATIM)
  add_custom_target(man_page_${name} DEPENDS ${man}/${name}.1.gz)
  add_dependencies(man_pages man_page_${name})
  install(FILES ${man}/${name}.1.gz DESTINATION share/man/man1)
endfunction()

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
  install_man_page(${launcher} $<TARGET_FILE:${program}> ${program})
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION share/avada-kedabra/data)

# What a desktop shows: the menu entry, the icon the project renders itself
# (scripts/make_icons.sh), the AppStream record.
set(DEMO_APP_ID org.avadakedabra.demo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${DEMO_APP_ID}.desktop DESTINATION share/applications)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/icons/hicolor/ DESTINATION share/icons/hicolor)
configure_file(${PROJECT_SOURCE_DIR}/packaging/${DEMO_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${DEMO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${DEMO_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# The changelog and copyright Debian wants, compressed as it wants: gzip -9 with no name or time.
set(doc ${CMAKE_BINARY_DIR}/doc)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${doc}/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${doc}/changelog COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${doc}/changelog.gz ${CMAKE_BINARY_DIR}/copyright DESTINATION share/doc/avada-kedabra)

set(CPACK_GENERATOR TGZ DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME avada-kedabra)
set(CPACK_PACKAGE_VENDOR "avada kedabra!")
set(CPACK_PACKAGE_CONTACT "${DEMO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION "${DEMO_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The libraries the programs link come from dpkg-shlibdeps; the rest is what they run or load.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wl-clipboard | xclip | xsel, ffmpeg")
include(CPack)
