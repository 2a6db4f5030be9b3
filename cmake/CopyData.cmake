# Mirrors SOURCE into TARGET, so files removed from data/ leave the build's copy too.
file(REMOVE_RECURSE ${TARGET})
file(MAKE_DIRECTORY ${TARGET})
if(EXISTS ${SOURCE})
  file(COPY ${SOURCE}/ DESTINATION ${TARGET})
endif()
