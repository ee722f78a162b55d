# A compiler cache, when installed, makes rebuilds of unchanged files instant, also in another
# clone of the same sources: paths are hashed relative to the repository's root.
get_filename_component(ORV_REPOSITORY_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
if(NOT CMAKE_CXX_COMPILER_LAUNCHER)
  find_program(ORV_CCACHE ccache)
  if(ORV_CCACHE)
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${ORV_REPOSITORY_ROOT}
        CCACHE_NOHASHDIR=1 ${ORV_CCACHE})
  endif()
endif()
