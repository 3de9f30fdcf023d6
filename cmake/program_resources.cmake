# qnd_program_resources(target name): what a program carries besides its code. On Windows: the
# version resource 1.0.0.0 with `name` as file description and product name, the manifest and the
# button images; the program runs in the GUI subsystem. Elsewhere nothing.
function(qnd_program_resources target name)
  if(NOT WIN32)
    return()
  endif()
  # Filled in by the Win32 dialog.
endfunction()
