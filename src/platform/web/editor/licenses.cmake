# The licences of what editor.js bundles, one after another with each package's name: every package
# under MODULES but the bundler. cmake -DMODULES=DIR -DOUT=FILE -P licenses.cmake
file(GLOB_RECURSE licences LIST_DIRECTORIES false ${MODULES}/*/LICENSE ${MODULES}/*/LICENSE.md)
list(FILTER licences EXCLUDE REGEX "/(@esbuild|esbuild)/")
list(SORT licences)
set(text "The editor of the studio (editor.js) bundles these packages from npm:\n")
foreach(licence ${licences})
  file(RELATIVE_PATH name ${MODULES} ${licence})
  get_filename_component(package ${name} DIRECTORY)
  file(READ ${licence} body)
  string(APPEND text "\n== ${package}\n\n${body}")
endforeach()
file(WRITE ${OUT} "${text}")
