# The one time that the release outputs carry (the link's time stamp, the packed files'
# dates, the signing time): SOURCE_DATE_EPOCH where it is set, else the last commit's
# time, never the clock, so that every checkout of one commit builds the same bytes.
# Sets TILO_SOURCE_DATE_EPOCH (seconds since 1970, UTC) and keeps it in
# BUILD_DIR/source_date_epoch, a file rewritten only when the time changes, on which
# whatever carries it depends.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(TILO_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  # Read even from a checkout that another user owns (a build as root of a user's clone).
  execute_process(COMMAND git -c safe.directory=* -C "${CMAKE_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE TILO_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_VARIABLE git_error RESULT_VARIABLE git_status)
  if(NOT git_status EQUAL 0)
    message(FATAL_ERROR "The release's time comes from the last commit, and git could not "
      "tell it (${git_error}). Outside a git checkout, set SOURCE_DATE_EPOCH.")
  endif()
endif()
if(NOT TILO_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${TILO_SOURCE_DATE_EPOCH}\": "
    "give whole seconds since 1970.")
endif()
set(TILO_SOURCE_DATE_FILE "${CMAKE_BINARY_DIR}/source_date_epoch")
file(CONFIGURE OUTPUT "${TILO_SOURCE_DATE_FILE}" CONTENT "${TILO_SOURCE_DATE_EPOCH}\n")
