# Copies SRC to DST unless DST exists: a shipped settings file in the staged program folder becomes the user's
# once the program has written it, and a rebuild must not undo the user's settings.
if(NOT EXISTS "${DST}")
  get_filename_component(dir "${DST}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  file(COPY_FILE "${SRC}" "${DST}")
endif()
