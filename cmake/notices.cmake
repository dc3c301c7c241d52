# The licence texts every release carries: LICENSE as it is, and the machine-readable copyright
# file that names the third-party pieces, with the project's licence reflowed into it from LICENSE.
set(DEMO_MAINTAINER "avada kedabra! authors <authors@avadakedabra.invalid>")
file(READ ${PROJECT_SOURCE_DIR}/LICENSE DEMO_LICENSE_TEXT)
string(STRIP "${DEMO_LICENSE_TEXT}" DEMO_LICENSE_TEXT)
# Continuation lines start with a space; an empty line becomes " .".
string(REPLACE "\n\n" "\n.\n" DEMO_LICENSE_TEXT "${DEMO_LICENSE_TEXT}")
string(REPLACE "\n" "\n " DEMO_LICENSE_TEXT " ${DEMO_LICENSE_TEXT}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${CMAKE_BINARY_DIR}/copyright @ONLY)
