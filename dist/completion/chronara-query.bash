# bash completion for chronara-query                       -*- shell-script -*-
# Options, the values of the options that take a fixed set, database stems
# and folders. Needs nothing from the bash-completion package.

_chronara_query() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local stems="congen civmoh rev titan pcc unigen vnmmoh v_mem w1812 ww1moh ww2moh ww2_pow ww2_kor honorol"
    local values=
    COMPREPLY=()
    case $prev in
        --data-dir | --install-dir)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return
            ;;
        --batch)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            [[ -z $cur || $cur == - ]] && COMPREPLY+=(-)
            return
            ;;
        --database)
            values=$stems
            # "all" is only for listings.
            local word
            for word in "${COMP_WORDS[@]}"; do
                [[ $word == --list ]] && values+=" all"
            done
            ;;
        --match) values="exact prefix pattern soundex dm close" ;;
        --format) values="text tsv json" ;;
        --export) values="csv json gedcom" ;;
        --page-size) values="8 10" ;;
        --surname | --first-name | --turn | --more-info | --cite) return ;;
        *)
            values="--data-dir --install-dir --database --surname --first-name --variants --page-size
                    --turn --more-info --cite --export --list --match --format --batch --raw --help -h --version"
            ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$values" -- "$cur")
}

complete -F _chronara_query chronara-query
