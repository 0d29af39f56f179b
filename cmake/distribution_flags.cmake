# Included before project(): lets a distribution's build flags
# (dpkg-buildflags --export=sh) decide, as its packaging expects.
#
# CMake reads CXXFLAGS and LDFLAGS from the environment on the first
# configure but drops CPPFLAGS, where distributions put -D_FORTIFY_SOURCE=2;
# it joins the C++ flags here. And where CXXFLAGS choose an optimisation
# level, a release build type must not override it with its own -O3.
set(CMAKE_CXX_FLAGS_INIT "$ENV{CPPFLAGS}")
if("$ENV{CXXFLAGS}" MATCHES "(^|[ \t])-O")
  set(CMAKE_CXX_FLAGS_RELEASE "-DNDEBUG"
      CACHE STRING "Flags of the Release build type; CXXFLAGS set the optimisation")
  set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-g -DNDEBUG"
      CACHE STRING "Flags of the RelWithDebInfo build type; CXXFLAGS set the optimisation")
endif()
