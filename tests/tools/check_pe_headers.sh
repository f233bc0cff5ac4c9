#!/usr/bin/env bash
# Checks the headers of the Windows programs we ship: Windows 7 (6.1) as the
# oldest system and subsystem, and no debug sections left in them.
#
#   check_pe_headers.sh OBJDUMP PROGRAM...
set -euo pipefail
objdump=$1
shift
status=0
for program in "$@"; do
  headers=$("$objdump" -p -h "$program")
  for expected in MajorOSystemVersion=6 MinorOSystemVersion=1 MajorSubsystemVersion=6 MinorSubsystemVersion=1; do
    field=${expected%=*}
    value=$(awk -v field="$field" '$1 == field { print $2 }' <<<"$headers")
    if [ "$value" != "${expected#*=}" ]; then
      echo "$program: $field is ${value:-absent}, not ${expected#*=}"
      status=1
    fi
  done
  debug=$(awk '$2 ~ /^\.debug/ { print $2 }' <<<"$headers" | tr '\n' ' ')
  if [ -n "$debug" ]; then
    echo "$program: debug sections $debug"
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "checked: $*"
exit "$status"
