# The browser build's settings, for Debian's Emscripten (emcmake cmake): its prebuilt system
# libraries only, nothing downloaded at first use (Emscripten's ports are).

# A throw is caught as on the desktop (toml++ reports a malformed project file by throwing);
# Emscripten's default would end the module at the first throw instead. The JavaScript-based
# handling, since the prebuilt libraries come with it and not with WebAssembly's own.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# The link step's optimiser runs under Node and loads Debian's acorn from there.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# toml++ from Debian's headers, header-only: its compiled library is built for the desktop. Only
# its own folder goes on the include path, not the desktop's /usr/include.
find_path(CORV_TOMLPLUSPLUS_INCLUDE_DIR toml++/toml.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(toml_headers ${CMAKE_BINARY_DIR}/tomlplusplus-headers)
file(MAKE_DIRECTORY ${toml_headers})
file(CREATE_LINK ${CORV_TOMLPLUSPLUS_INCLUDE_DIR}/toml++ ${toml_headers}/toml++ SYMBOLIC)
add_library(tomlplusplus::tomlplusplus INTERFACE IMPORTED)
target_include_directories(tomlplusplus::tomlplusplus SYSTEM INTERFACE ${toml_headers})
target_compile_definitions(tomlplusplus::tomlplusplus INTERFACE TOML_HEADER_ONLY=1)
