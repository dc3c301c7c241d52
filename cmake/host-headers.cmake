# Header-only packages whose headers are the same for every target (GL, KHR, stb) reach a cross
# compiler through links to the host's copies: its own root lacks them, and adding the whole of
# /usr/include would bring the host's C library headers too.
function(use_host_headers target)
  if(NOT CMAKE_CROSSCOMPILING)
    return()
  endif()
  set(folder ${CMAKE_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${folder})
  foreach(dir ${ARGN})
    file(CREATE_LINK /usr/include/${dir} ${folder}/${dir} SYMBOLIC)
  endforeach()
  target_include_directories(${target} SYSTEM PUBLIC ${folder})
endfunction()
