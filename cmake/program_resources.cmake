# qnd_program_resources(target name): what a program carries besides its code. On Windows: the
# version resource 1.0.0.0 with `name` as file description and product name, the manifest and the
# button images; the program runs in the GUI subsystem. Elsewhere nothing.
set(QND_DIALOG_DIR "${CMAKE_CURRENT_LIST_DIR}/../platform/win32/dialog")
cmake_path(NORMAL_PATH QND_DIALOG_DIR)

function(qnd_program_resources target name)
  if(NOT WIN32)
    return()
  endif()
  # One resource script per program, so each carries its own name in the version resource.
  set(QND_PROGRAM_NAME "${name}")
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc")
  configure_file("${QND_DIALOG_DIR}/dialog.rc.in" "${script}" @ONLY)
  target_sources(${target} PRIVATE "${script}")
  # windres does not see what the script includes; a changed manifest or image rebuilds it.
  set_source_files_properties("${script}" PROPERTIES OBJECT_DEPENDS
    "${QND_DIALOG_DIR}/resource_ids.h;${QND_DIALOG_DIR}/updater.manifest;${QND_DIALOG_DIR}/images/cancel.ico;${QND_DIALOG_DIR}/images/forward.ico;${QND_DIALOG_DIR}/images/forward_disabled.ico")
  # A window program: no console opens beside it. The C runtime still calls the plain main().
  target_link_options(${target} PRIVATE -mwindows)
endfunction()
