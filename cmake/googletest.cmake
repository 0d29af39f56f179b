# GoogleTest for the unit tests: Debian's prebuilt libgtest where it fits,
# otherwise built here from Debian's sources (the googletest package, in
# /usr/src/googletest). The prebuilt library is for the build machine and
# for libstdc++ only, so a cross build or a build against another C++
# library compiles its own; that costs gtest alone, not gmock.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles(
  "#include <version>
   #ifdef _LIBCPP_VERSION
   #error libc++
   #endif
   int main() {}"
  GRAVEMOOR_NOT_LIBCXX)

set(GRAVEMOOR_GTEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "GoogleTest's sources, built when no fitting GoogleTest is installed")

if(NOT CMAKE_CROSSCOMPILING AND GRAVEMOOR_NOT_LIBCXX)
  find_package(GTest QUIET)
endif()

if(NOT TARGET GTest::gtest_main)
  if(NOT EXISTS ${GRAVEMOOR_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(
      FATAL_ERROR
        "The tests need GoogleTest, and none was found for this build.\n"
        "Install it (Debian: apt-get install libgtest-dev, which brings its sources to "
        "/usr/src/googletest; point GRAVEMOOR_GTEST_SOURCE_DIR at other sources), "
        "or configure without the tests: -DBUILD_TESTING=OFF")
  endif()
  function(gravemoor_add_googletest)
    # GoogleTest's code is not ours to hold to our warnings: it links no
    # gravemoor_warnings, and warnings are no errors in its targets.
    set(CMAKE_COMPILE_WARNING_AS_ERROR OFF)
    set(BUILD_GMOCK OFF)
    set(INSTALL_GTEST OFF)
    add_subdirectory(${GRAVEMOOR_GTEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endfunction()
  gravemoor_add_googletest()
  if(NOT TARGET GTest::gtest_main) # older GoogleTests make no alias
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
  message(STATUS "GoogleTest: built from ${GRAVEMOOR_GTEST_SOURCE_DIR}")
endif()
