# GoogleTest from Debian's source package, built with whichever toolchain this
# build uses, so the Windows suites link a Windows GoogleTest.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
if(EXISTS /usr/src/googletest/CMakeLists.txt)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
else()
  message(FATAL_ERROR "GoogleTest source not found in /usr/src/googletest: run tools/setup")
endif()
include(GoogleTest)
