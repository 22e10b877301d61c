#!/usr/bin/env bash
# Writes a program's manual page from its own help texts, so the page says
# what `PROGRAM --help` says and cannot drift from it:
#
#   man_page.sh PROGRAM NAME SUMMARY VERSION MORE.roff OUT.1.gz
#
# SYNOPSIS and DESCRIPTION come from `PROGRAM --help`.  Every word that opens
# a line indented by two blanks in that text and that answers
# `PROGRAM WORD --help` with exit code 0 is a command: its help becomes a
# subsection of COMMANDS.  MORE.roff (sections the help does not hold: exit
# status, files, see also) is appended as it stands.  The page is written
# gzip-compressed without a time stamp, as Debian installs manual pages.
#
# How help text becomes roff: "usage:" lines (with their indented
# continuation lines) are synopses; two-blank indented lines are entries
# ("TAG  text": the tag, two or more blanks, the text), deeper indented lines
# continue the entry above; other lines are filled paragraphs, and a one-line
# paragraph ending in neither "." nor ":" just before entries is a heading.
set -euo pipefail

if [ $# -ne 6 ]; then
  echo "usage: man_page.sh PROGRAM NAME SUMMARY VERSION MORE.roff OUT.1.gz" >&2
  exit 2
fi
program=$1 name=$2 summary=$3 version=$4 more=$5 out=$6

# Help text on stdin, roff on stdout.  top=1 for the program's own help
# (SYNOPSIS and DESCRIPTION sections), 0 for a command's (plain paragraphs).
to_roff() {
  awk -v top="$1" -v prog="$name" '
    function esc(s) {
      gsub(/\\/, "\\e", s)
      gsub(/-/, "\\-", s)
      if (s ~ /^[.'"'"']/) s = "\\&" s
      return s
    }
    function trim(s) { sub(/^ +/, "", s); sub(/ +$/, "", s); return s }
    function section(title) {
      if (top && shown != title) { print ".SH " title; shown = title }
    }
    function flush_usage() {
      if (usage == "") return
      gsub(/  +/, " ", usage)
      section("SYNOPSIS")
      print ".PP"
      if (index(usage, prog " ") == 1 || usage == prog)
        print "\\fB" esc(prog) "\\fR" esc(substr(usage, length(prog) + 1))
      else
        print esc(usage)
      usage = ""
    }
    { line[NR] = $0 }
    END {
      mode = ""
      for (i = 1; i <= NR; i++) {
        l = line[i]
        if (l ~ /^usage: /) {
          flush_usage(); usage = trim(substr(l, 8)); mode = "usage"; continue
        }
        if (mode == "usage" && l ~ /^ +[^ ]/) {
          t = trim(l)
          if (index(t, prog " ") == 1) { flush_usage(); usage = t } else usage = usage " " t
          continue
        }
        flush_usage()
        if (l ~ /^ *$/) { mode = ""; continue }
        section("DESCRIPTION")
        if (l ~ /^  [^ ]/) {
          t = trim(l)
          tag = t; text = ""
          if (match(t, /  +/)) { tag = substr(t, 1, RSTART - 1); text = trim(substr(t, RSTART)) }
          gsub(/  +/, " ", text)
          word = tag; rest = ""
          if (match(tag, / /)) { word = substr(tag, 1, RSTART - 1); rest = substr(tag, RSTART) }
          print ".TP"
          print "\\fB" esc(word) "\\fR" esc(rest)
          if (text != "") print esc(text)
          mode = "entry"
          continue
        }
        if (mode == "entry" && l ~ /^   +[^ ]/) { print esc(trim(l)); continue }
        heading = mode != "prose" && (i == NR || line[i + 1] ~ /^  [^ ]/) && l !~ /[.:]$/
        if (heading) { print ".SS " esc(trim(l)); mode = ""; continue }
        if (mode != "prose") print ".PP"
        print esc(trim(l))
        mode = "prose"
      }
      flush_usage()
    }'
}

help=$("$program" --help)
commands=()
while read -r word; do
  if "$program" "$word" --help >/dev/null 2>&1; then commands+=("$word"); fi
done < <(sed -n 's/^  \([a-z][a-z0-9-]*\)\( .*\)\{0,1\}$/\1/p' <<<"$help" | awk '!seen[$0]++')

upper=$(tr '[:lower:]' '[:upper:]' <<<"$name")
tmp="$out.tmp"
{
  printf '.TH "%s" "1" "" "Tarne %s" "User Commands"\n' "${upper//-/\\-}" "$version"
  printf '.SH NAME\n%s \\- %s\n' "${name//-/\\-}" "$summary"
  to_roff 1 <<<"$help"
  if [ ${#commands[@]} -gt 0 ]; then
    echo ".SH COMMANDS"
    for command in "${commands[@]}"; do
      echo ".SS $command"
      "$program" "$command" --help | to_roff 0
    done
  fi
  cat "$more"
} | gzip -9n >"$tmp"
mv "$tmp" "$out"
