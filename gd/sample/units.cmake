# Compiles gd graphs from their text form at build time: each <name>.gdt of
# the list after out_var becomes <dir>/<name>.gd; out_var names the files made.
function(gd_compile_texts dir out_var)
  set(made "")
  foreach(text IN LISTS ARGN)
    get_filename_component(name ${text} NAME_WE)
    add_custom_command(
      OUTPUT ${dir}/${name}.gd
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND gdtext ${text} ${dir}/${name}.gd
      DEPENDS gdtext ${text}
      COMMENT "Compiling the gd graph ${name}")
    list(APPEND made ${dir}/${name}.gd)
  endforeach()
  set(${out_var} ${made} PARENT_SCOPE)
endfunction()

# The sample units, compiled into sample/ of the build tree as <name>.gd: the
# README's main job and its batch example run on them, and tests and fuzz
# targets take them as inputs. Included, not added as a subdirectory, so that
# the folder holds the units and nothing else (a fuzz target reads every file
# in it as a seed).
file(GLOB sample_texts CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.gdt)
gd_compile_texts(${CMAKE_CURRENT_BINARY_DIR}/sample sample_units ${sample_texts})
add_custom_target(gd_sample ALL DEPENDS ${sample_units})
