# The Windows programs' icon and version resource (src/platform/win32/program_info.rc), with the
# version of project(VERSION): windows_resources(TARGET RC_FILE).
set(version_numbers)
foreach(part MAJOR MINOR PATCH TWEAK)
  if(PROJECT_VERSION_${part})
    list(APPEND version_numbers ${PROJECT_VERSION_${part}})
  else()
    list(APPEND version_numbers 0)
  endif()
endforeach()
string(JOIN "," version_numbers ${version_numbers})
configure_file(${PROJECT_SOURCE_DIR}/src/platform/win32/program_version.h.in
               ${CMAKE_BINARY_DIR}/resources/program_version.h @ONLY)

function(windows_resources target rc)
  target_sources(${target} PRIVATE ${rc})
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/resources
                                               ${PROJECT_SOURCE_DIR}/src)
  # windres reports none of what the resource file includes as a dependency.
  set_property(
    SOURCE ${rc} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS
    ${PROJECT_SOURCE_DIR}/src/platform/win32/program_info.rc
    ${PROJECT_SOURCE_DIR}/packaging/icons/avada-kedabra.ico
    ${CMAKE_BINARY_DIR}/resources/program_version.h)
endfunction()
