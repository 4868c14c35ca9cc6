# Delay-loaded system DLLs for the planner. Loading the window library (user32, gdi32) at start
# costs a scripted run more than all of its own work under Wine; delay-loaded, those DLLs come
# in with the first window call, which a scripted run never makes.
#
# ravlo_delay_load_library(<name> <dll>) defines the target ravlo_<name>_delay to link with.
# Code that calls these functions must be compiled with RAVLO_DELAY_LOAD_DEFINITIONS: calls
# through a dllimport pointer would bypass the delay-load stubs on i686.

set(RAVLO_DELAY_LOAD_DEFINITIONS "DECLSPEC_IMPORT=__attribute__((visibility(\"hidden\")))")

find_program(RAVLO_MINGW_NM NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-nm REQUIRED)
find_program(RAVLO_MINGW_DLLTOOL NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-dlltool REQUIRED)

function(ravlo_delay_load_library name dll)
  find_file(import_lib_${name} lib${name}.a PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH
            REQUIRED)
  set(output "${CMAKE_BINARY_DIR}/delay-load/lib${name}_delay.a")
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/delay-load"
    COMMAND "${PROJECT_SOURCE_DIR}/cmake/make_delay_lib.sh" "${RAVLO_MINGW_NM}"
            "${RAVLO_MINGW_DLLTOOL}" "${import_lib_${name}}" "${dll}" "${output}"
            "${CMAKE_SYSTEM_PROCESSOR}"
    DEPENDS "${PROJECT_SOURCE_DIR}/cmake/make_delay_lib.sh"
    COMMENT "Delay-load import library for ${dll}")
  add_custom_target(${name}_delay_lib DEPENDS "${output}")
  add_library(ravlo_${name}_delay INTERFACE)
  target_link_libraries(ravlo_${name}_delay INTERFACE "${output}" delayimp)
  add_dependencies(ravlo_${name}_delay ${name}_delay_lib)
endfunction()

ravlo_delay_load_library(user32 user32.dll)
ravlo_delay_load_library(gdi32 gdi32.dll)
