# cmake -DSOURCE=<checkout>/data/shaders -DLINK=<data dir>/shaders -P LinkShaders.cmake
#
# Points the data directory's shaders/ at the checkout's, so that a shader saved
# while the show runs from the build is the committed file, and no build overwrites
# it. Older builds copied the shaders: a copy that still matches the checkout is
# replaced by the link; one holding edits is moved aside to shaders.edited, never
# deleted, and named in a warning so the edits can be carried over by hand.
if(IS_SYMLINK "${LINK}")
  file(READ_SYMLINK "${LINK}" current)
  if(current STREQUAL SOURCE)
    return()
  endif()
  file(REMOVE "${LINK}")
elseif(IS_DIRECTORY "${LINK}")
  file(GLOB copied RELATIVE "${LINK}" "${LINK}/*")
  set(edited FALSE)
  foreach(name ${copied})
    if(NOT EXISTS "${SOURCE}/${name}" OR IS_DIRECTORY "${LINK}/${name}")
      set(edited TRUE)
    else()
      file(SHA256 "${LINK}/${name}" copy_hash)
      file(SHA256 "${SOURCE}/${name}" source_hash)
      if(NOT copy_hash STREQUAL source_hash)
        set(edited TRUE)
      endif()
    endif()
  endforeach()
  if(edited)
    if(EXISTS "${LINK}.edited")
      message(FATAL_ERROR "${LINK} differs from ${SOURCE} and ${LINK}.edited exists: "
                          "carry the edits over to ${SOURCE}, then remove both")
    endif()
    file(RENAME "${LINK}" "${LINK}.edited")
    message(WARNING "${LINK} held shaders that differ from ${SOURCE}: moved to ${LINK}.edited; "
                    "carry the edits over to ${SOURCE} by hand")
  else()
    file(REMOVE_RECURSE "${LINK}")
  endif()
elseif(EXISTS "${LINK}")
  message(FATAL_ERROR "${LINK} is in the way of the link to ${SOURCE}")
endif()
file(CREATE_LINK "${SOURCE}" "${LINK}" SYMBOLIC)
