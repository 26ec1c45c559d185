# bash completion for symbase: commands, their options, the values of
# --encoding, --delimiter and --kind, base directories and CSV files.

_symbase() {
  local cur prev words cword
  if declare -F _init_completion >/dev/null; then
    _init_completion || return
  else
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
  fi

  local commands="create add edit find delete search list count import export diff compact check repair demo"
  local global="-h --help --version -q --quiet -v --verbose --no-pager"
  local kinds="%M %MB %MW %MD %MF %KB %KW %KD %KF %S %SW %SD %I %IW %ID %Q %QW %QD %X %XM %T %TM %MN %C %R %DR %NW"

  case $prev in
    -e | --encoding)
      COMPREPLY=($(compgen -W "utf-8 cp1252 latin1" -- "$cur"))
      return
      ;;
    -d | --delimiter)
      COMPREPLY=($(compgen -W "tab , \;" -- "$cur"))
      return
      ;;
    -k | --kind)
      COMPREPLY=($(compgen -W "$kinds" -- "$cur"))
      return
      ;;
    -o | --output | --from)
      COMPREPLY=($(compgen -f -- "$cur"))
      return
      ;;
    -s | --symbol | -c | --comment)
      return
      ;;
  esac

  # The command is the first word that is not an option; the words after it
  # that are not options are its arguments.
  local command="" arguments=0 i
  for ((i = 1; i < cword; i++)); do
    case ${words[i]} in
      -e | --encoding | -d | --delimiter | -k | --kind | -o | --output | --from | -s | --symbol | -c | --comment)
        ((i++))
        ;;
      -*) ;;
      *)
        if [[ -z $command ]]; then
          command=${words[i]}
        else
          ((arguments++))
        fi
        ;;
    esac
  done

  if [[ -z $command ]]; then
    if [[ $cur == -* ]]; then
      COMPREPLY=($(compgen -W "$global" -- "$cur"))
    else
      COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    fi
    return
  fi

  local options=""
  case $command in
    create) options="--replace" ;;
    edit) options="-s --symbol -c --comment" ;;
    find) options="-s --symbol --json" ;;
    delete) options="-k --kind --from -y --yes -d --delimiter -e --encoding" ;;
    search) options="--comments --begins --ends --by-symbol --json" ;;
    list | count) options="--json" ;;
    check | repair) options="--json --all" ;;
    import) options="--keep --replace --ask -n --dry-run --skip-invalid --json -d --delimiter -e --encoding" ;;
    export) options="-o --output --excel" ;;
    diff) options="--json -d --delimiter -e --encoding" ;;
    demo) options="--keep-dir" ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options $global" -- "$cur"))
    return
  fi
  # The first argument is a base's directory; import's second and diff's
  # arguments are files (or bases); list, count and export take a kind.
  case $command:$arguments in
    import:1 | diff:*)
      COMPREPLY=($(compgen -f -- "$cur"))
      ;;
    list:1 | count:1 | export:1)
      COMPREPLY=($(compgen -W "$kinds" -- "$cur"))
      ;;
    *:0 | demo:*)
      COMPREPLY=($(compgen -d -- "$cur"))
      ;;
  esac
  type compopt >/dev/null 2>&1 && compopt -o filenames 2>/dev/null
  return 0
}

complete -F _symbase symbase
