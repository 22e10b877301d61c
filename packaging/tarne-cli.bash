# Bash completion for tarne-cli: its commands, each command's options, token
# kinds and collections where one is expected, .trn files where a project is
# expected, folders and files where those are.
#
# All of it is read from the help texts of the tarne-cli being completed, so
# the completion follows the program rather than a copy of its command table:
# - commands: the words that open the two-blank indented lines of
#   `tarne-cli --help`; the program's own options: those of its usage lines
#   and of its entries that start with one;
# - a command's options: every --word of `tarne-cli COMMAND --help`; an
#   option followed by a placeholder in a usage line takes a value;
# - a command's arguments: the placeholders of its usage lines, in order.
#   PROJECT.trn (anything ending .trn) offers .trn files, DIR folders, FILE
#   and PATH files, a|b|c those words; [X] is optional, "X ..." repeats,
#   other upper-case placeholders offer nothing.  A command with several
#   usage lines offers what every line that fits the words so far offers.

# Reads a command's help on stdin; prints its grammar: a line
# "usage PLACEHOLDER ..." for each usage line ("..." after a placeholder
# that repeats), then "value --OPTION PLACEHOLDER" or "flag --OPTION" for
# each option.
_tarne_cli_grammar() {
  awk '
    function trim(s) { sub(/^ +/, "", s); sub(/ +$/, "", s); return s }
    /^usage: / {
      n++; line[n] = trim(substr($0, 8)); split(line[n], first, " "); inUsage = 1; next
    }
    inUsage && /^ +[^ ]/ {
      t = trim($0)
      if (index(t, first[1] " ") == 1) line[++n] = t; else line[n] = line[n] " " t
      next
    }
    { inUsage = 0; text = text " " $0 }
    END {
      for (s = 1; s <= n; s++) {
        k = split(line[s], w, / +/)
        out = "usage"; last = ""
        for (i = 3; i <= k; i++) {
          raw = w[i]; t = raw; gsub(/[][]/, "", t)
          if (t == "" || t == "|" || t == "options") continue
          if (t == "...") { if (last == "positional") out = out " ..."; continue }
          if (t ~ /^-/) {
            m = split(t, alternatives, "|")
            next_raw = i < k ? w[i + 1] : ""
            value = ""
            if (m == 1 && raw !~ /\]$/ && next_raw != "" && next_raw !~ /^[-[|]/ && next_raw !~ /^\.\.\./) {
              value = next_raw; gsub(/[][]/, "", value); i++
            }
            for (a = 1; a <= m; a++)
              if (alternatives[a] ~ /^--/ && (!(alternatives[a] in option) || value != ""))
                option[alternatives[a]] = value
            last = "option"
            continue
          }
          out = out " " t; last = "positional"
        }
        print out
        text = text " " line[s]
      }
      while (match(text, /--[a-z][a-z0-9-]*/)) {
        o = substr(text, RSTART, RLENGTH); text = substr(text, RSTART + RLENGTH)
        if (o !~ /-$/ && !(o in option)) option[o] = ""
      }
      for (o in option) print(option[o] == "" ? "flag " o : "value " o " " option[o])
    }'
}

# Adds to COMPREPLY what the placeholder $1 offers for the word $2.
_tarne_cli_offer() {
  local alternative words=""
  local -a alternatives
  IFS='|' read -ra alternatives <<<"$1"
  for alternative in "${alternatives[@]}"; do
    case $alternative in
      *.trn)
        compopt -o filenames 2>/dev/null
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -d -- "$2"; compgen -f -X '!*.trn' -- "$2") ;;
      DIR)
        compopt -o filenames 2>/dev/null
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -d -- "$2") ;;
      FILE | PATH)
        compopt -o filenames 2>/dev/null
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -- "$2") ;;
      [a-z]*) words+=" $alternative" ;;
    esac
  done
  [ -n "$words" ] && mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -W "$words" -- "$2")
  return 0
}

# True when the placeholder $1 takes the word $2: a placeholder of lower-case
# words only takes one of them, any other takes anything.
_tarne_cli_takes() {
  [[ $1 =~ ^[a-z][a-z0-9|-]*$ ]] || return 0
  [[ "|$1|" == *"|$2|"* ]]
}

_tarne_cli() {
  local program=${COMP_WORDS[0]/#\~/$HOME}
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  COMPREPLY=()

  if [ "$COMP_CWORD" -eq 1 ]; then
    local help words
    help=$("$program" --help 2>/dev/null) || return 0
    if [[ $cur == -* ]]; then
      # The program's own options: those of its usage lines and of entries
      # that start with one (a command's options are the command's).
      words=$({
        awk '/^usage: / { u = 1 } u && !NF { exit } u' <<<"$help"
        grep -- '^  --' <<<"$help"
      } | grep -o -- '--[a-z][a-z0-9-]*[a-z0-9]')
    else
      words=$(sed -n 's/^  \([a-z][a-z0-9-]*\).*/\1/p' <<<"$help")
    fi
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
    return 0
  fi

  local grammar kind rest
  local -a usages=() options=()
  local -A value_of=()
  grammar=$("$program" "${COMP_WORDS[1]}" --help 2>/dev/null | _tarne_cli_grammar)
  while read -r kind rest; do
    case $kind in
      usage) usages+=("$rest") ;;
      flag) options+=("$rest") ;;
      value) options+=("${rest%% *}"); value_of[${rest%% *}]=${rest#* } ;;
    esac
  done <<<"$grammar"
  [ ${#usages[@]} -gt 0 ] || return 0

  # An option's value: "--kind words" or "--kind=words" (= is a word of its own).
  local option=$prev
  [ "$prev" = "=" ] && option=${COMP_WORDS[COMP_CWORD - 2]}
  if [[ $option == --* && -n ${value_of[$option]+set} ]]; then
    _tarne_cli_offer "${value_of[$option]}" "$cur"
    return 0
  fi
  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "${options[*]}" -- "$cur")
    return 0
  fi

  # The arguments typed so far, options and their values left out.
  local -a typed=()
  local i=2 word
  while [ "$i" -lt "$COMP_CWORD" ]; do
    word=${COMP_WORDS[i]}
    if [[ $word == --* ]]; then
      if [ "${COMP_WORDS[i + 1]}" = "=" ]; then
        i=$((i + 3))
      elif [ -n "${value_of[$word]+set}" ]; then
        i=$((i + 2))
      else
        i=$((i + 1))
      fi
    else
      typed+=("$word")
      i=$((i + 1))
    fi
  done

  local usage n slot fits
  local -a slots
  local -A offered=()
  for usage in "${usages[@]}"; do
    read -ra slots <<<"$usage"
    fits=1
    for ((n = 0; n <= ${#typed[@]}; n++)); do
      if [ "$n" -lt "${#slots[@]}" ] && [ "${slots[n]}" != "..." ]; then
        slot=${slots[n]}
      elif [ "${slots[-1]}" = "..." ] && [ "${#slots[@]}" -ge 2 ]; then
        slot=${slots[-2]}
      else
        slot=""
      fi
      if [ "$n" -lt "${#typed[@]}" ]; then
        if [ -z "$slot" ] || ! _tarne_cli_takes "$slot" "${typed[n]}"; then
          fits=0
          break
        fi
      fi
    done
    if [ "$fits" = 1 ] && [ -n "$slot" ] && [ -z "${offered[$slot]+set}" ]; then
      offered[$slot]=1
      _tarne_cli_offer "$slot" "$cur"
    fi
  done
  return 0
}

complete -F _tarne_cli tarne-cli
