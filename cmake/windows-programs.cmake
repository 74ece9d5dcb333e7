# The Windows programs of a cross build: a zip to hand out and, on a Linux
# host, a script per program that runs it under wine, so that the case runner
# and CI call `build-windows/wine/velm` where they would call `build/src/velm`.

# Every program that ships; those not configured in this build are left out.
set(VELM_WINDOWS_PROGRAMS velm velm-check velm-report velm-study)
foreach(program IN LISTS VELM_WINDOWS_PROGRAMS)
  if(NOT TARGET ${program})
    list(REMOVE_ITEM VELM_WINDOWS_PROGRAMS ${program})
  endif()
endforeach()

if(CMAKE_HOST_UNIX)
  foreach(program IN LISTS VELM_WINDOWS_PROGRAMS)
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/wine/${program}
      CONTENT "#!/bin/sh\nexec wine \"$<TARGET_FILE:${program}>\" \"$@\"\n"
      FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
        GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endforeach()
endif()

# velm-windows-x86_64.zip: the programs, the README with the manual's pages
# (docs/) and the two sample catchments in one folder.
set(package_name velm-windows-x86_64)
set(stage ${CMAKE_BINARY_DIR}/package/${package_name})
set(sample_names FILEINFO.dat control.dat parameters.dat rain.csv ep.csv
  runoff.csv)
set(sample_files)
set(copy_samples)
foreach(sample falling-river falling-river-calibration)
  set(files ${sample_names})
  list(TRANSFORM files PREPEND ${PROJECT_SOURCE_DIR}/examples/${sample}/)
  list(APPEND sample_files ${files})
  list(APPEND copy_samples
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/${sample}
    COMMAND ${CMAKE_COMMAND} -E copy ${files} ${stage}/${sample})
endforeach()
file(GLOB manual_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(program_files)
foreach(program IN LISTS VELM_WINDOWS_PROGRAMS)
  list(APPEND program_files $<TARGET_FILE:${program}>)
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${package_name}.zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy ${program_files}
    ${PROJECT_SOURCE_DIR}/README.md ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/docs
    ${stage}/docs
  ${copy_samples}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/${package_name}.zip
    --format=zip "--mtime=2000-01-01 00:00:00 UTC" ${package_name}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/package
  DEPENDS ${VELM_WINDOWS_PROGRAMS} ${sample_files}
    ${PROJECT_SOURCE_DIR}/README.md ${manual_files}
  COMMENT "Packing ${package_name}.zip"
  VERBATIM)
add_custom_target(package-windows
  DEPENDS ${CMAKE_BINARY_DIR}/${package_name}.zip)
