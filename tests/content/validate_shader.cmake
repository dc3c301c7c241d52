# cmake -DVALIDATOR=... -DSHADER=... -P validate_shader.cmake: the file must be a GLSL 1.20
# fragment shader that glslangValidator accepts without a warning.
file(STRINGS "${SHADER}" first_line LIMIT_COUNT 1)
if(NOT first_line STREQUAL "#version 120")
  message(FATAL_ERROR "${SHADER}: the first line is '${first_line}', not '#version 120'")
endif()
execute_process(COMMAND "${VALIDATOR}" -S frag "${SHADER}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR output MATCHES "WARNING|ERROR")
  message(FATAL_ERROR "${SHADER}:\n${output}")
endif()
