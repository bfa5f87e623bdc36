# Warnings on for our own code; kept clean.
add_compile_options(-Wall -Wextra -Wpedantic)

# GCC 12 at -O3 reports impossible overlaps inside std::string's own copies
# (a known false positive of its -Wrestrict); the other builds keep it on.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options($<$<CONFIG:Release>:-Wno-restrict>)
endif()
