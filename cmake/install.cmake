# The installed tree is exactly what the planner expects beside itself:
#   Ravlo3.exe
#   misc\   help.htm, ifoparse.bat, ifoscan.exe, 1st.reg, 2nd.reg, brimmer.exe, vobtitle.exe
#   tools\  xt.bat (the user adds the outside tools in their versioned folders)
# CPack zips that tree as Ravlo3-<version>-win32.zip, with stripped programs.
#
# The native build (the Linux road) installs in the usual POSIX layout instead:
#   bin/            ravlo3, brimmer, ifoscan, vobtitle, videopass
#   share/ravlo3/   misc/ (help.htm, ifoparse.sh), tools/ (xt.sh)
# ravlo3 finds its data in ../share/ravlo3 and the scripts find the helpers in ../../../bin.
#
# `programs` builds exactly the programs the install takes: the demo and the README's install
# build it, so an install never meets a program that was not built.

add_custom_target(programs)
function(ravlo_install_program target destination)
  if(TARGET ${target})
    install(TARGETS ${target} RUNTIME DESTINATION ${destination})
    add_dependencies(programs ${target})
  endif()
endfunction()

if(NOT WIN32)
  include(cmake/install_native.cmake)
  return()
endif()

ravlo_install_program(Ravlo3 .)
foreach(program brimmer ifoscan vobtitle)
  ravlo_install_program(${program} misc)
endforeach()

# The shipped programs are stripped whether or not `cmake --install --strip` was asked for, so
# the zip and every installed tree carry the small files; the build folder keeps the symbols.
set(RAVLO_SHIPPED_PROGRAMS "")
foreach(program Ravlo3 misc/brimmer misc/ifoscan misc/vobtitle)
  get_filename_component(target ${program} NAME)
  if(TARGET ${target})
    list(APPEND RAVLO_SHIPPED_PROGRAMS ${program}.exe)
  endif()
endforeach()
install(CODE "
  foreach(program ${RAVLO_SHIPPED_PROGRAMS})
    set(file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\")
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-all \"\${file}\" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR \"could not strip \${file}\")
    endif()
  endforeach()")

install(FILES
  ${PROJECT_SOURCE_DIR}/dist/misc/help.htm
  ${PROJECT_SOURCE_DIR}/dist/misc/ifoparse.bat
  ${PROJECT_SOURCE_DIR}/dist/misc/1st.reg
  ${PROJECT_SOURCE_DIR}/dist/misc/2nd.reg
  DESTINATION misc)
install(FILES ${PROJECT_SOURCE_DIR}/dist/tools/xt.bat DESTINATION tools)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Ravlo3)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "Ravlo3-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}-win32")
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  # The 64-bit build exists for tests under 64-bit Wine: its zip, which the packaging test
  # makes, must never pass for the shipped one.
  set(CPACK_PACKAGE_FILE_NAME
      "Ravlo3-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}-${CMAKE_SYSTEM_PROCESSOR}-test-only")
endif()
# The zip holds the tree itself, unpacked into a folder of the user's choosing.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
include(CPack)
