# Settings shared by the two Windows targets (i686 shipped, x86_64 tested).
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX __USE_MINGW_ANSI_STDIO=1)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(VL_ARCH x86)
  # SSE arithmetic with no contraction, so both Windows targets round alike.
  add_compile_options(-msse2 -mfpmath=sse -ffp-contract=off)
  # DWARF-2 unwinding crosses DLL boundaries only through the shared runtime.
  add_link_options(-shared-libgcc)
  set(VL_RUNTIME_DLLS libgcc_s_dw2-1.dll libstdc++-6.dll libwinpthread-1.dll)
else()
  set(VL_ARCH x64)
  add_compile_options(-ffp-contract=off)
  # SEH unwinding crosses DLL boundaries with statically linked runtimes.
  add_link_options(-static)
  set(VL_RUNTIME_DLLS)
endif()

# The runtime DLLs that ship beside the host's executable.
foreach(dll IN LISTS VL_RUNTIME_DLLS)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  file(COPY ${dll_path} DESTINATION ${CMAKE_BINARY_DIR}/bin)
endforeach()

# Makes `target` a component DLL: no "lib" prefix, placed in the components folder.
function(add_component target)
  add_library(${target} SHARED ${ARGN})
  set_target_properties(${target} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${COMPONENTS_OUTPUT_DIRECTORY})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE frame_component frame_win frame_portable shared)
  target_link_options(${target} PRIVATE -Wl,--no-undefined)
  project_warnings(${target})
endfunction()

# How tests run Windows programs: under Wine, in the build folder's own prefix.
set(VL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix the tests run in")
configure_file(${PROJECT_SOURCE_DIR}/tools/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
