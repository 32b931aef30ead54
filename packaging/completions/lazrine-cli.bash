# bash completion for lazrine-cli: commands, kinds, options, export formats,
# file names, and the users `lazrine-cli users` lists for --user.

# The users of the Palm Desktop in use, one a line: each ID, and each name
# when it fits its column of the table (a longer name runs into the folder).
_lazrine_cli_users() {
  "$@" users 2>/dev/null | awk 'NR > 1 && NF >= 3 && $1 ~ /^[0-9]+$/ {
    print $1
    name = substr($0, 13, 24)
    if (name ~ / $/) { sub(/ +$/, "", name); if (name != "") print name }
  }'
}

_lazrine_cli() {
  local cur prev words cword
  if declare -F _init_completion >/dev/null; then
    _init_completion -n = || return
  else
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
  fi

  # The command, the positional arguments before the cursor, and the
  # settings file named, if any (for the user names).
  local command="" settings=() positional=0 i word
  for ((i = 1; i < cword; i++)); do
    word=${words[i]}
    case $word in
      --settings) settings=(--settings "${words[i + 1]}"); ((i++)) ;;
      --user | --id | --format | --output) ((i++)) ;;
      -*) ;;
      *)
        if [[ -z $command ]]; then
          command=$word
        else
          ((positional++))
        fi
        ;;
    esac
  done

  case $prev in
    --settings | --output)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -f -- "$cur")
      return ;;
    --user)
      local IFS=$'\n'
      mapfile -t COMPREPLY < <(compgen -W "$(_lazrine_cli_users "${words[0]}" "${settings[@]}")" -- "$cur")
      compopt -o filenames 2>/dev/null  # quotes names with spaces
      return ;;
    --format)
      mapfile -t COMPREPLY < <(compgen -W "vcard ics text csv json" -- "$cur")
      return ;;
    --id)
      return ;;
  esac

  local options
  case $command in
    "")
      mapfile -t COMPREPLY < <(compgen -W "users probe list undelete export scan --settings --help --version" -- "$cur")
      return ;;
    users) options="--help" ;;
    probe) options="--user --help" ;;
    list) options="--user --all --json --help" ;;
    undelete) options="--user --id --all-deleted --dry-run --help" ;;
    export) options="--user --deleted --all --id --format --output --help" ;;
    scan) options="--user --json --help" ;;
    *) return ;;
  esac
  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
  elif [[ $command != users && $positional -eq 0 ]]; then
    mapfile -t COMPREPLY < <(compgen -W "contacts calendar tasks memos" -- "$cur")
  elif [[ $command == scan && $positional -eq 1 ]]; then
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$cur")
  elif [[ $command != users && $positional -eq 1 ]]; then
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
  fi
}
complete -F _lazrine_cli lazrine-cli
