# Small PE files with known version resources, kept in the repository beside their resource scripts
# (tools/make_version_data.sh links them again with the mingw-w64 tools): each linked by the 32-bit
# tools, and v8.rc also by the 64-bit ones (v8_pe32plus.exe), so both layouts of the optional header
# are read in every build. v8.exe also serves as v8_pe32.exe. The build only copies them into
# "version_data" beside the test programs, where the tests look for them (natively and under Wine
# alike), so no build needs the cross compiler for them.
set(qnd_version_sources ${CMAKE_CURRENT_LIST_DIR})
set(qnd_version_out ${CMAKE_CURRENT_BINARY_DIR}/version_data)

set(qnd_version_files)
foreach(name no_resources v8 v8_pe32 v8_pe32plus v10 no_version other_name two_languages)
  set(source ${name})
  if(name STREQUAL "v8_pe32")
    set(source v8)
  endif()
  add_custom_command(
    OUTPUT ${qnd_version_out}/${name}.exe
    COMMAND ${CMAKE_COMMAND} -E make_directory ${qnd_version_out}
    COMMAND ${CMAKE_COMMAND} -E copy ${qnd_version_sources}/${source}.exe
            ${qnd_version_out}/${name}.exe
    DEPENDS ${qnd_version_sources}/${source}.exe
    VERBATIM)
  list(APPEND qnd_version_files ${qnd_version_out}/${name}.exe)
endforeach()

add_custom_target(qnd_version_data DEPENDS ${qnd_version_files})
