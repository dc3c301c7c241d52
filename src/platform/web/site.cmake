# The page: build-web/site/ holds index.html, its script, demo.js and demo.wasm, and data/. Any
# static web server can serve the folder as it is.
set(site ${CMAKE_BINARY_DIR}/site)
set_target_properties(demo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site} SUFFIX .js)
target_link_options(
  demo PRIVATE
  # main runs at the start click; the test hook and the page's callbacks are called by name
  "SHELL:-s INVOKE_RUN=0"
  "SHELL:-s EXPORTED_FUNCTIONS=_main,_web_frame_at,_web_data_file,_web_programs_linked,_web_shaders_fetched,_web_midi_message,_malloc,_free"
  "SHELL:-s EXPORTED_RUNTIME_METHODS=callMain,ccall,FS,UTF8ToString"
  # the end of the demo runs the tuning bank's export, as a native process's exit does
  "SHELL:-s EXIT_RUNTIME=1"
  "SHELL:-s ALLOW_MEMORY_GROWTH=1"
  "SHELL:-s ENVIRONMENT=web"
  # nothing is evaluated from strings: the page's policy allows no eval
  "SHELL:-s DYNAMIC_EXECUTION=0"
  "SHELL:-s MIN_WEBGL_VERSION=1")
set(page ${CMAKE_CURRENT_SOURCE_DIR}/platform/web)
add_custom_command(
  OUTPUT ${site}/index.html ${site}/demo_page.js ${site}/demo_page.css ${site}/studio_page.js
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${page}/index.html ${page}/demo_page.js
          ${page}/demo_page.css ${page}/studio_page.js ${site}
  DEPENDS ${page}/index.html ${page}/demo_page.js ${page}/demo_page.css ${page}/studio_page.js)
add_custom_target(web_page ALL DEPENDS ${site}/index.html ${site}/demo_page.js ${site}/demo_page.css
                                       ${site}/studio_page.js)
add_dependencies(demo web_page)
# Every build: a shader edited in data/ reaches the page without a relink.
add_custom_target(web_data ALL COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data
                                       ${site}/data)
# The studio's code editor: its library from npm at the versions package-lock.json holds, bundled
# into one file of the page (nothing is loaded from another host).
set(editor_src ${page}/editor)
set(editor_work ${CMAKE_BINARY_DIR}/editor)
find_program(NPM npm REQUIRED)
add_custom_command(
  OUTPUT ${editor_work}/node_modules/.package-lock.json
  COMMAND ${CMAKE_COMMAND} -E make_directory ${editor_work}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${editor_src}/package.json
          ${editor_src}/package-lock.json ${editor_work}
  COMMAND ${NPM} ci --prefix ${editor_work} --no-audit --no-fund --loglevel=error
  DEPENDS ${editor_src}/package.json ${editor_src}/package-lock.json)
# Bundled beside its node_modules, where the imports resolve.
add_custom_command(
  OUTPUT ${site}/editor.js
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${editor_src}/studio_editor.js ${editor_work}
  COMMAND ${editor_work}/node_modules/.bin/esbuild ${editor_work}/studio_editor.js --bundle
          --minify --format=iife --legal-comments=eof --log-level=warning
          --outfile=${site}/editor.js
  DEPENDS ${editor_src}/studio_editor.js ${editor_work}/node_modules/.package-lock.json)
add_custom_command(
  OUTPUT ${site}/editor-licenses.txt
  COMMAND ${CMAKE_COMMAND} -DMODULES=${editor_work}/node_modules -DOUT=${site}/editor-licenses.txt
          -P ${editor_src}/licenses.cmake
  DEPENDS ${editor_src}/licenses.cmake ${editor_work}/node_modules/.package-lock.json)
add_custom_target(web_editor ALL DEPENDS ${site}/editor.js ${site}/editor-licenses.txt)
add_dependencies(demo web_editor)
