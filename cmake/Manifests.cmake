# Run by cpack after it has packed the zip (CPACK_POST_BUILD_SCRIPTS). CPack
# names the zip in its staging folder, before it copies it out: the same bytes.
file(REMOVE_RECURSE ${CPACK_VELODUSK_MANIFESTS})
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND ${CPACK_VELODUSK_MANIFESTS_COMMAND} --zip ${zip} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
