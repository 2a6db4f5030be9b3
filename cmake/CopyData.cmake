# pakemino_copy_data(target): a copy of data/ beside the target's executable, made before the
# target is built and again when data/ changes. The target must have a RUNTIME_OUTPUT_DIRECTORY
# of its own: the file finder walks that folder, so it should hold nothing but the program.
# Run as a script (-P), mirrors SOURCE into TARGET, so files removed from data/ leave the copy.
if(CMAKE_SCRIPT_MODE_FILE)
  file(REMOVE_RECURSE ${TARGET})
  file(MAKE_DIRECTORY ${TARGET})
  if(EXISTS ${SOURCE})
    file(COPY ${SOURCE}/ DESTINATION ${TARGET})
  endif()
  return()
endif()

function(pakemino_copy_data target)
  get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT dir)
    message(FATAL_ERROR "pakemino_copy_data(${target}): give it a RUNTIME_OUTPUT_DIRECTORY first")
  endif()
  set(source ${PROJECT_SOURCE_DIR}/data)
  # The folder itself is a dependency too: its time changes when a file is added or removed.
  file(GLOB files CONFIGURE_DEPENDS ${source}/*)
  add_custom_command(OUTPUT ${dir}/data
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${source} -DTARGET=${dir}/data
            -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    DEPENDS ${source} ${files}
    COMMENT "Copying data/ beside ${target}"
    VERBATIM)
  add_custom_target(${target}_data DEPENDS ${dir}/data)
  add_dependencies(${target} ${target}_data)
endfunction()
