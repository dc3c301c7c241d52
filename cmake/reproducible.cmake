# One commit builds the same bytes in any folder, at any time. Each time a release carries (its
# archives' members, the manual pages' date, the Windows programs' link time) is SOURCE_DATE_EPOCH:
# the environment's when set (a distribution's own), else the last commit's, else (a source tree
# without git) the release date's. No path of the source or build folder reaches a binary.
set(DEMO_RELEASE_DATE 2026-12-07) # the changelog's and the AppStream record's
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(DEMO_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --show-toplevel --git-path logs/HEAD
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE git_paths
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE git_failed)
    string(REPLACE "\n" ";" git_paths "${git_paths}")
  endif()
  if(git_paths AND NOT git_failed)
    list(GET git_paths 0 git_top)
  endif()
  # Only this project's own repository: not one that a copy of its sources lies in.
  get_filename_component(source_real ${PROJECT_SOURCE_DIR} REALPATH)
  if(git_top AND git_top STREQUAL source_real)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE DEMO_SOURCE_DATE_EPOCH
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    # A commit or a checkout writes HEAD's log: the build configures itself again for its time.
    list(GET git_paths 1 head_log)
    get_filename_component(head_log ${head_log} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
    if(EXISTS ${head_log})
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${head_log})
    endif()
  endif()
  if(NOT DEMO_SOURCE_DATE_EPOCH) # no commit yet
    execute_process(COMMAND date -u -d ${DEMO_RELEASE_DATE} +%s
                    OUTPUT_VARIABLE DEMO_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
endif()

# cpack reads the time from its environment (the archives' member times, the ar and gzip headers),
# set by this file, which is rewritten only when the time changes: what carries the time depends on
# it.
set(DEMO_SOURCE_DATE_FILE ${CMAKE_BINARY_DIR}/source-date-epoch.cmake)
file(CONFIGURE OUTPUT ${DEMO_SOURCE_DATE_FILE}
     CONTENT "set(ENV{SOURCE_DATE_EPOCH} ${DEMO_SOURCE_DATE_EPOCH})\n")
set(CPACK_PROJECT_CONFIG_FILE ${DEMO_SOURCE_DATE_FILE})
# Nor do the archives depend on who packs them, or on the umask (the .deb's folders).
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/repack-archives.cmake)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# MinGW's linker stamps the PE header with SOURCE_DATE_EPOCH when set, else with the link's time.
if(WIN32)
  set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${DEMO_SOURCE_DATE_EPOCH})
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_C_LINKER_LAUNCHER})
endif()
# __FILE__ and debug information name files relative to the source or build folder.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
                      "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
endif()
