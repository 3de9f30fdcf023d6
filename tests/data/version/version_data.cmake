# Small PE files with known version resources, linked from the resource scripts beside this file
# with the mingw-w64 tools: in the Windows build the target compiler itself, in the native build
# the cross compiler of package g++-mingw-w64-i686. v8.exe is also linked by each width's tools
# (v8_pe32.exe, v8_pe32plus.exe), so both layouts of the optional header are read in every build.
# The files land in "version_data" beside the test programs, where the tests look for them
# (natively and under Wine alike).
if(WIN32)
  set(QND_PE_CC ${CMAKE_C_COMPILER})
else()
  find_program(QND_PE_CC i686-w64-mingw32-gcc)
endif()
if(CMAKE_RC_COMPILER)
  set(QND_PE_WINDRES ${CMAKE_RC_COMPILER})
else()
  find_program(QND_PE_WINDRES i686-w64-mingw32-windres)
endif()
if(NOT QND_PE_CC OR NOT QND_PE_WINDRES)
  message(FATAL_ERROR "The version tests need i686-w64-mingw32-gcc and i686-w64-mingw32-windres "
                      "(package g++-mingw-w64-i686, see tools/install_dependencies.sh).")
endif()

set(qnd_version_sources ${CMAKE_CURRENT_LIST_DIR})
set(qnd_version_out ${CMAKE_CURRENT_BINARY_DIR}/version_data)
set(qnd_version_objects ${CMAKE_CURRENT_BINARY_DIR}/version_data_objects)
# No C runtime: the files are only read, never run, and stay a few KiB small.
set(qnd_version_link -nostdlib -s -Wl,--entry=qnd_start)

set(qnd_version_files ${qnd_version_out}/no_resources.exe)
add_custom_command(
  OUTPUT ${qnd_version_out}/no_resources.exe
  COMMAND ${CMAKE_COMMAND} -E make_directory ${qnd_version_out}
  COMMAND ${QND_PE_CC} ${qnd_version_link} -o ${qnd_version_out}/no_resources.exe
          ${qnd_version_sources}/program.c
  DEPENDS ${qnd_version_sources}/program.c
  VERBATIM)

foreach(name v8 v10 no_version other_name two_languages)
  add_custom_command(
    OUTPUT ${qnd_version_out}/${name}.exe
    COMMAND ${CMAKE_COMMAND} -E make_directory ${qnd_version_out} ${qnd_version_objects}
    COMMAND ${QND_PE_WINDRES} -O coff -i ${qnd_version_sources}/${name}.rc
            -o ${qnd_version_objects}/${name}.o
    COMMAND ${QND_PE_CC} ${qnd_version_link} -o ${qnd_version_out}/${name}.exe
            ${qnd_version_sources}/program.c ${qnd_version_objects}/${name}.o
    DEPENDS ${qnd_version_sources}/${name}.rc ${qnd_version_sources}/program.c
    VERBATIM)
  list(APPEND qnd_version_files ${qnd_version_out}/${name}.exe)
endforeach()

foreach(width pe32 pe32plus)
  if(width STREQUAL "pe32")
    set(prefix i686-w64-mingw32)
  else()
    set(prefix x86_64-w64-mingw32)
  endif()
  find_program(QND_PE_CC_${width} ${prefix}-gcc)
  find_program(QND_PE_WINDRES_${width} ${prefix}-windres)
  if(NOT QND_PE_CC_${width} OR NOT QND_PE_WINDRES_${width})
    message(FATAL_ERROR "The version tests need ${prefix}-gcc and ${prefix}-windres "
                        "(see tools/install_dependencies.sh).")
  endif()
  add_custom_command(
    OUTPUT ${qnd_version_out}/v8_${width}.exe
    COMMAND ${CMAKE_COMMAND} -E make_directory ${qnd_version_out} ${qnd_version_objects}
    COMMAND ${QND_PE_WINDRES_${width}} -O coff -i ${qnd_version_sources}/v8.rc
            -o ${qnd_version_objects}/v8_${width}.o
    COMMAND ${QND_PE_CC_${width}} ${qnd_version_link} -o ${qnd_version_out}/v8_${width}.exe
            ${qnd_version_sources}/program.c ${qnd_version_objects}/v8_${width}.o
    DEPENDS ${qnd_version_sources}/v8.rc ${qnd_version_sources}/program.c
    VERBATIM)
  list(APPEND qnd_version_files ${qnd_version_out}/v8_${width}.exe)
endforeach()

add_custom_target(qnd_version_data DEPENDS ${qnd_version_files})
