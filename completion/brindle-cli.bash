# bash completion for brindle-cli                           -*- shell-script -*-
# Installed as share/bash-completion/completions/brindle-cli.

_brindle_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="new convert info check list show repair dedupe slim idconv compare help"
    local kinds="ndb list csv vcard eudora"
    local common="--help --quiet --verbose"

    # The command: the first word that is not an option.
    local i cmd=
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            -*) ;;
            *) cmd=${COMP_WORDS[i]}; break ;;
        esac
    done

    local options
    case $cmd in
        new) options="" ;;
        convert) options="--from --kind --eudora-mode --csv-items= --csv-split --csv-add-domain
                          --encoding --csv-map --vcard-version --no-trash" ;;
        info | check) options="--from" ;;
        list) options="--search --sort --reverse --format --from" ;;
        show) options="--format --from" ;;
        repair) options="--level -o --no-trash" ;;
        dedupe) options="--report --merge -o --no-trash" ;;
        slim) options="--level --ids --names --profiles --drop-none --mail-log --exchange
                       --remarks --address --telephone --fax --mobile --pager --memo --groups
                       -o --no-trash" ;;
        idconv) options="--exchange --remark --flags-only -o --no-trash" ;;
        compare) options="" ;;
        help) COMPREPLY=($(compgen -W "$commands" -- "$cur")); return ;;
    esac

    # The value of the option before the cursor.
    case $prev in
        --from | --kind) COMPREPLY=($(compgen -W "$kinds" -- "$cur")); return ;;
        --search)
            COMPREPLY=($(compgen -W "all bad id= name= group= tel= address= birth-year=
                                    birth-month= birth-day= memo=" -- "$cur"))
            [[ ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null
            return ;;
        --sort) COMPREPLY=($(compgen -W "name id domain created updated status" -- "$cur")); return ;;
        --format)
            if [[ $cmd == show ]]; then
                COMPREPLY=($(compgen -W "text json" -- "$cur"))
            else
                COMPREPLY=($(compgen -W "text tsv json" -- "$cur"))
            fi
            return ;;
        --level)
            if [[ $cmd == repair ]]; then
                COMPREPLY=($(compgen -W "1 2 3" -- "$cur"))
            else
                COMPREPLY=($(compgen -W "0 1 2" -- "$cur"))
            fi
            return ;;
        --exchange | --remark)
            [[ $cmd == idconv ]] && COMPREPLY=($(compgen -W "on off" -- "$cur"))
            return ;;
        --eudora-mode) COMPREPLY=($(compgen -W "0 1" -- "$cur")); return ;;
        --encoding) COMPREPLY=($(compgen -W "cp932 utf-8 utf-16" -- "$cur")); return ;;
        --vcard-version) COMPREPLY=($(compgen -W "2.1 3.0" -- "$cur")); return ;;
        --csv-map | --ids | --names | --profiles | --mail-log | --remarks) return ;;
        -o) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    esac

    if [[ -z $cmd ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--help --version --quiet --verbose" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options $common" -- "$cur"))
        [[ ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null
        return
    fi
    # File names: "-" is standard input or output.
    COMPREPLY=($(compgen -f -- "$cur"))
}
complete -o filenames -F _brindle_cli brindle-cli
