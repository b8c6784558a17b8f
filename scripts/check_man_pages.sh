#!/usr/bin/env bash
# Checks the manual pages against the programs they describe: every command and option a page
# names, in its lists and in its examples, must be in the program's usage text, and every item
# of the usage text must be in the page.
#   scripts/check_man_pages.sh MANDIR BINDIR
set -euo pipefail
man_dir=$1
bin_dir=$2
status=0

# The page as plain text lines without fonts, minus signs as dashes; the terms of the command lists
# (bold, after .TP) marked "TERM ", the lines of examples "EXAMPLE ".
page_lines() {
  local file=$1
  { if [[ $file == *.gz ]]; then gzip -dc "$file"; else cat "$file"; fi; } |
    awk '/^\.TP/ { tp = 1; next }
         /^\.EX/ { ex = 1; next }
         /^\.EE/ { ex = 0; next }
         { print (tp && !/^\./ ? "TERM " : ex ? "EXAMPLE " : "") $0; tp = 0 }' |
    sed -E 's/\\f[BIRP]//g; s/\\-/-/g; s/\\e/\\/g; s/\\&//g'
}

squeeze() { tr -s ' \t' ' ' | sed -E 's/^ //; s/ $//'; }

found_pages=0
checked=" "
for page in "$man_dir"/velmora*.1.gz "$man_dir"/velmora*.1; do
  [ -f "$page" ] || continue
  name=$(basename "$page"); name=${name%.gz}; program=${name%.1}
  [[ $checked == *" $program "* ]] && continue
  checked+="$program "
  found_pages=$((found_pages + 1))
  binary=$bin_dir/$program
  if [ ! -x "$binary" ]; then echo "$page: no program $binary"; status=1; continue; fi

  # The usage text, with that of every command that has a usage of its own.
  usage=$("$binary" --help)
  while read -r command; do
    if sub=$("$binary" "$command" --help 2>/dev/null) && [[ $sub == usage:* ]] && [[ $sub != "$usage" ]]; then
      usage+=$'\n'"$sub"
    fi
  done < <(grep -E '^  [a-z]' <<<"$usage" | awk '{ print $1 }' | sort -u)
  flat_usage=$(squeeze <<<"$usage")

  text=$(page_lines "$page")
  while IFS= read -r term; do
    [[ $flat_usage == *"$term"* ]] || { echo "$page: \"$term\" is not in the usage of $program"; status=1; }
  done < <(grep '^TERM ' <<<"$text" | sed 's/^TERM //' | squeeze)
  while IFS= read -r option; do
    [[ $flat_usage == *"$option"* ]] || { echo "$page: option $option is not in the usage of $program"; status=1; }
  done < <(grep -oE '(^|[ ("\[])--[a-z][a-z-]*' <<<"$text" | sed -E 's/^[ ("\[]//' | sort -u)
  # The command of each example: the first word after the program and its leading options.
  while read -r -a words; do
    i=1
    while [[ ${words[i]:-} == --* ]]; do i=$((i + 2)); done
    command=${words[i]:-}
    [[ -z $command || $command == *[./]* ]] && continue  # none, or a file
    grep -qE "^  ${command}( |$)" <<<"$usage" ||
      { echo "$page: example command \"$command\" is not in the usage of $program"; status=1; }
  done < <(grep "^EXAMPLE $program " <<<"$text" | sed 's/^EXAMPLE //')

  # And the other way: each item of the usage is listed in the page.
  terms=$(grep '^TERM ' <<<"$text" | sed 's/^TERM //' | squeeze)
  while IFS= read -r item; do
    item=$(sed -E 's/^ +//; s/ {2,}.*//' <<<"$item" | squeeze)
    grep -qxF -- "$item" <<<"$terms" || { echo "$page: usage item \"$item\" is missing"; status=1; }
  done < <(grep -E '^  [^ ]' <<<"$usage")
done

if [ "$found_pages" -eq 0 ]; then
  echo "no manual pages in $man_dir"
  exit 1
fi
[ $status -eq 0 ] && echo "manual pages: $found_pages checked against their programs' usage"
exit $status
