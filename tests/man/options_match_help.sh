#!/usr/bin/env bash
# Fails unless the OPTIONS section of a manual page names exactly the
# options that the program's --help lists, so the page cannot fall behind.
# Usage: options_match_help.sh PROGRAM PAGE
set -euo pipefail
program=$1 page=$2

# Option lines of --help start with blanks and a dash; the names end where
# two blanks start the description ("  -o, --output FILE   the PNG ...").
help_options() {
  "$program" --help | grep -E '^[[:space:]]+-' |
    sed -E 's/^[[:space:]]+//; s/ {2,}.*$//' |
    grep -oE '(^|[ ,])-{1,2}[[:alnum:]][[:alnum:]-]*' | tr -d ' ,' | sort -u
}

# The tag line after each .TP of the OPTIONS section, with roff's font
# changes and escaped hyphens undone.
page_options() {
  awk '/^\.SH / { in_options = ($2 == "OPTIONS") } in_options' "$page" |
    awk 'tag { print; tag = 0 } /^\.TP/ { tag = 1 }' |
    sed -E 's/\\f[BIRP]//g; s/\\-/-/g; s/^\.[A-Z]+ //; s/"//g' |
    grep -oE '(^|[ ,])-{1,2}[[:alnum:]][[:alnum:]-]*' | tr -d ' ,' | sort -u
}

help=$(help_options)
man=$(page_options)
if [ -z "$help" ]; then
  echo "no options found in the output of $program --help" >&2
  exit 1
fi
if [ "$help" != "$man" ]; then
  echo "options of $program --help and of $page differ (< help only, > page only):" >&2
  diff <(echo "$help") <(echo "$man") | grep '^[<>]' >&2
  exit 1
fi
echo "$(echo "$help" | wc -l) options agree"
