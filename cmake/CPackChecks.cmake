# Read by cpack before it builds a package. Without dpkg-shlibdeps (dpkg-dev)
# cpack would only warn and build a package that lacks its library
# dependencies, and without file it cannot find the binaries: stop instead.
if(CPACK_GENERATOR STREQUAL "DEB")
  foreach(tool dpkg-shlibdeps file)
    find_program(found_${tool} ${tool})
    if(NOT found_${tool})
      message(FATAL_ERROR "${tool} is missing: the Debian packages would lack their dependencies "
                          "(apt-get install dpkg-dev file, or run scripts/install-deps)")
    endif()
  endforeach()
  # Each package's description starts with its own summary line.
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CPACK_DEFAULT_PACKAGE_DESCRIPTION_SUMMARY}")
endif()
