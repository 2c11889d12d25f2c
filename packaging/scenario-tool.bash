# bash completion for scenario-tool: its subcommands, their options, and the
# files each argument takes. Installed as
# share/bash-completion/completions/scenario-tool; tests/rilascio_test.cpp
# keeps it equal to the tool's command line.

# The options of subcommand $1 (empty: of the tool itself).
_scenario_tool_opzioni() {
  case $1 in
    '') echo "-h --help --version" ;;
    export-sources) echo "-h --help" ;;
    new) echo "-h --help --route --train" ;;
    compile) echo "-h --help --route --train --no-plan --json" ;;
    check) echo "-h --help --json --werror --allow" ;;
    dump) echo "-h --help --text --cells --metres --rows" ;;
    plot) echo "-h --help --route --train --km -o --output" ;;
    view) echo "-h --help --route --train -o --output" ;;
    lsp) echo "-h --help" ;;
    build) echo "-h --help -o --output --route --train --zip --runners" ;;
    card) echo "-h --help --route --train -o --output" ;;
  esac
}

# Adds to COMPREPLY the folders, and the files whose names end in one of the
# endings given (none: no files), that begin with $cur.
_scenario_tool_file() {
  local fine riga
  for fine in "$@"; do
    while IFS= read -r riga; do
      [[ -d $riga ]] || COMPREPLY+=("$riga")
    done < <(compgen -f -X "!*$fine" -- "$cur")
  done
  while IFS= read -r riga; do COMPREPLY+=("$riga"); done < <(compgen -d -- "$cur")
}

_scenario_tool() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local comando='' posizionali=0 i parola
  COMPREPLY=()

  # The subcommand, and how many of its positional arguments come before the
  # word being completed (an option's value is not one).
  for ((i = 1; i < COMP_CWORD; i++)); do
    parola=${COMP_WORDS[i]}
    if [[ -z $comando ]]; then
      case $parola in
        export-sources | new | compile | check | dump | plot | view | lsp | build | card) comando=$parola ;;
      esac
    elif [[ $parola == -* ]]; then
      case $parola in
        --route | --train | --cells | --metres | --rows | --allow | --km | -o | --output | --runners) ((i++)) ;;
      esac
    else
      ((posizionali++))
    fi
  done

  case $prev in
    --route | --train | --cells | --metres | --rows | --allow | --km) return 0 ;;  # free text
    -o | --output)
      case $comando in
        view) _scenario_tool_file .html ;;
        build) _scenario_tool_file ;;
        card) _scenario_tool_file .txt ;;
        *) _scenario_tool_file .svg ;;
      esac
      return 0
      ;;
    --runners)
      _scenario_tool_file
      return 0
      ;;
  esac

  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$(_scenario_tool_opzioni "$comando")" -- "$cur")
    return 0
  fi

  case $comando in
    '') mapfile -t COMPREPLY < <(compgen -W "export-sources new compile check dump plot view lsp build card" -- "$cur") ;;
    export-sources | new | plot | build | card) ((posizionali > 0)) || _scenario_tool_file ;;
    compile | check)
      if ((posizionali < 2)); then
        _scenario_tool_file .txt
      elif [[ $comando == compile && posizionali -eq 2 ]]; then
        _scenario_tool_file
      fi
      ;;
    dump) _scenario_tool_file .dat .sim ;;
    view) ((posizionali > 1)) || _scenario_tool_file .txt ;;
  esac
  return 0
}

complete -o filenames -F _scenario_tool scenario-tool
