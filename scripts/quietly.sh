# quietly COMMAND...: runs the command with its output kept aside; when it fails, the
# output is shown (the reason a configure or install step failed) and its status kept.
quietly() {
  local log status=0
  log=$(mktemp)
  "$@" >"$log" 2>&1 || status=$?
  if [ "$status" != 0 ]; then
    echo "failed ($status): $*" >&2
    cat "$log" >&2
  fi
  rm -f "$log"
  return "$status"
}
