# The Windows cross build's libraries: Qt from the cache scripts/windows-qt fills (found through
# CMAKE_PREFIX_PATH), GoogleTest built from Debian's source, CLI11 and nlohmann-json by their
# headers alone (never the whole of /usr/include).
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Test)

set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()

set(dt_headers ${CMAKE_BINARY_DIR}/header-only)
file(MAKE_DIRECTORY ${dt_headers})
foreach(dir CLI nlohmann)
  file(CREATE_LINK /usr/include/${dir} ${dt_headers}/${dir} SYMBOLIC)
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
target_include_directories(CLI11::CLI11 INTERFACE ${dt_headers})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${dt_headers})

# Unicode Win32 calls, and no min/max macros in the way of std::min.
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00)
# MinGW's localtime_r and the other re-entrant POSIX time calls.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS=200112L)
# The programs carry the MinGW runtime's static parts; its DLLs are shipped beside them.
enable_language(RC)

# The record's engines, built from Debian's sources into the cache (scripts/windows-sqlite,
# scripts/windows-libpq): SQLite linked in, libpq as its DLL beside the programs.
set(DT_WINDOWS_SQLITE "" CACHE PATH "SQLite for Windows (scripts/windows-sqlite)")
set(DT_WINDOWS_LIBPQ "" CACHE PATH "libpq for Windows (scripts/windows-libpq)")
if(DT_WINDOWS_SQLITE)
  add_library(SQLite::SQLite3 STATIC IMPORTED GLOBAL)
  set_target_properties(SQLite::SQLite3 PROPERTIES
    IMPORTED_LOCATION ${DT_WINDOWS_SQLITE}/lib/libsqlite3.a
    INTERFACE_INCLUDE_DIRECTORIES ${DT_WINDOWS_SQLITE}/include)
endif()
if(DT_WINDOWS_LIBPQ)
  add_library(PostgreSQL::PostgreSQL SHARED IMPORTED GLOBAL)
  set_target_properties(PostgreSQL::PostgreSQL PROPERTIES
    IMPORTED_LOCATION ${DT_WINDOWS_LIBPQ}/bin/libpq.dll
    IMPORTED_IMPLIB ${DT_WINDOWS_LIBPQ}/lib/libpq.a
    INTERFACE_INCLUDE_DIRECTORIES ${DT_WINDOWS_LIBPQ}/include
    INTERFACE_LINK_LIBRARIES ws2_32)
endif()
