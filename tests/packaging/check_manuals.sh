#!/usr/bin/env bash
# Usage: check_manuals.sh MAN_DIR BIN_DIR
# The manual pages as the build configured them: mandoc finds nothing to warn about, the sections
# keep the order of man-pages(7), and every option a program's --help shows is in its page's
# SYNOPSIS or OPTIONS, and the other way round.
set -uo pipefail
man=$1
bin=$2
if ! command -v mandoc >/dev/null; then
  echo "SKIPPED: mandoc is not installed (scripts/setup.sh --test installs it)"
  exit 77
fi
status=0
order="NAME SYNOPSIS CONFIGURATION DESCRIPTION OPTIONS EXIT_STATUS RETURN_VALUE ERRORS ENVIRONMENT FILES
VERSIONS ATTRIBUTES STANDARDS HISTORY NOTES CAVEATS BUGS EXAMPLES AUTHORS REPORTING_BUGS COPYRIGHT SEE_ALSO"

for page in "$man"/*.[0-9]; do
  lint=$(mandoc -Tlint -W warning "$page" 2>&1)
  if [ -n "$lint" ]; then
    echo "$lint"
    status=1
  fi
  # Each section's place in the canonical order must grow; a section not in it has no place.
  last=0
  for section in $(sed -n 's/^\.SH "\{0,1\}\([^"]*\)"\{0,1\}$/\1/p' "$page" | tr ' ' _); do
    place=$(tr ' \n' '\n\n' <<<"$order" | grep -nx "$section" | cut -d: -f1)
    if [ -z "$place" ] || [ "$place" -le "$last" ]; then
      echo "$(basename "$page"): section ${section//_/ } is out of man-pages(7) order"
      status=1
    fi
    last=${place:-$last}
  done
done

# The long options of a page's SYNOPSIS and OPTIONS, and of a program's help texts.
page_options() {
  sed -n '/^\.SH SYNOPSIS/,/^\.SH DESCRIPTION/p; /^\.SH OPTIONS/,/^\.SH /p' "$1" | sed 's/\\-/-/g' |
    grep -o -- '--[a-z][a-z-]*' | sort -u
}
help_options() { grep -o -- '--[a-z][a-z-]*' | sort -u; }
compare() {
  local program=$1 helped=$2 documented=$3
  for option in $(comm -23 <(echo "$helped") <(echo "$documented")); do
    echo "$program: $option is in --help but not in the manual page"
    status=1
  done
  for option in $(comm -13 <(echo "$helped") <(echo "$documented")); do
    echo "$program: $option is in the manual page but not in --help"
    status=1
  done
}

overview=$("$bin/tavrin-cli" --help) || { echo "tavrin-cli --help failed"; exit 1; }
helped=$(
  echo "$overview"
  # Every command the overview lists, with its own help.
  for command in $(sed -n 's/^  \([a-z][a-z]*\) .*/\1/p' <<<"$overview"); do
    "$bin/tavrin-cli" "$command" --help || echo "tavrin-cli $command --help failed" >&2
  done
)
compare tavrin-cli "$(help_options <<<"$helped")" "$(page_options "$man/tavrin-cli.1")"
compare tavrin-settings "$("$bin/tavrin-settings" --help | help_options)" "$(page_options "$man/tavrin-settings.1")"

[ $status -eq 0 ] && echo "the manual pages are clean, in order, and agree with --help"
exit $status
