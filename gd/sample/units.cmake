# The sample units, compiled from their text form into sample/ of the build
# tree as <name>.gd: the README's main job and its batch example run on them,
# and tests and fuzz targets take them as inputs. Included, not added as a
# subdirectory, so that the folder holds the units and nothing else (a fuzz
# target reads every file in it as a seed).
file(GLOB sample_texts CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.gdt)
set(sample_dir ${CMAKE_CURRENT_BINARY_DIR}/sample)
set(sample_units "")
foreach(sample_text IN LISTS sample_texts)
  get_filename_component(sample_name ${sample_text} NAME_WE)
  set(sample_unit ${sample_dir}/${sample_name}.gd)
  add_custom_command(
    OUTPUT ${sample_unit}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${sample_dir}
    COMMAND gdtext ${sample_text} ${sample_unit}
    DEPENDS gdtext ${sample_text}
    COMMENT "Compiling the sample unit ${sample_name}")
  list(APPEND sample_units ${sample_unit})
endforeach()
add_custom_target(gd_sample ALL DEPENDS ${sample_units})
