# Run by cpack after each generator (CPACK_POST_BUILD_SCRIPTS, set by reproducible.cmake), so that
# a package's bytes come from its files alone, whoever packs it, wherever, whenever, with whatever
# umask. cpack's own .tar.gz and .zip take their members in the order the file system lists them
# and record the packer's user; these are packed again from the tree cpack staged: members in name
# order, each at SOURCE_DATE_EPOCH, readable by all and writable by the owner only, owned by root in
# a .tar.gz, with no owner and the time in UTC in a .zip, no time in the gzip header. The .deb is
# all that already but for its ar header's modes, the umask's, which become 0644 as dpkg-deb's.
set(epoch $ENV{SOURCE_DATE_EPOCH})
get_filename_component(staged ${CPACK_TEMPORARY_DIRECTORY} DIRECTORY)
get_filename_component(top ${CPACK_TEMPORARY_DIRECTORY} NAME)
foreach(package ${CPACK_PACKAGE_FILES})
  if(package MATCHES "\\.deb$")
    # Each member's header: name, time, user, group (16, 12, 6, 6 bytes), mode (8), size (10), end.
    file(SIZE ${package} end)
    set(offset 8) # after the archive's magic line
    while(offset LESS end)
      file(READ ${package} header OFFSET ${offset} LIMIT 60)
      string(SUBSTRING "${header}" 48 10 size)
      string(STRIP "${size}" size)
      math(EXPR mode_at "${offset} + 40")
      execute_process(COMMAND printf 100644
                      COMMAND dd of=${package} bs=1 seek=${mode_at} conv=notrunc status=none
                      COMMAND_ERROR_IS_FATAL ANY)
      math(EXPR offset "${offset} + 60 + ${size} + ${size} % 2")
    endwhile()
    continue()
  elseif(NOT package MATCHES "\\.(tar\\.gz|zip)$")
    continue()
  endif()
  execute_process(COMMAND chmod -R go-w,a+rX ${CPACK_TEMPORARY_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE ${package})
  if(package MATCHES "\\.tar\\.gz$")
    execute_process(
      COMMAND tar --create --format=gnu --sort=name --owner=0 --group=0 --numeric-owner
              --mtime=@${epoch} --directory=${staged} ${top}
      COMMAND gzip -9n OUTPUT_FILE ${package} COMMAND_ERROR_IS_FATAL ANY)
  else()
    find_program(ZIP zip REQUIRED)
    file(GLOB_RECURSE members RELATIVE ${staged} LIST_DIRECTORIES true ${CPACK_TEMPORARY_DIRECTORY}/*)
    list(APPEND members ${top})
    list(SORT members)
    list(JOIN members "\n" listing)
    file(WRITE ${staged}/members.txt "${listing}\n")
    execute_process(COMMAND touch -h -d @${epoch} ${members} WORKING_DIRECTORY ${staged}
                    COMMAND_ERROR_IS_FATAL ANY)
    # -X: no owner and no extra time fields; the DOS time is local time, so UTC it is.
    set(ENV{TZ} UTC0)
    execute_process(COMMAND ${ZIP} -X -9 -q ${package} -@ INPUT_FILE ${staged}/members.txt
                    WORKING_DIRECTORY ${staged} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
