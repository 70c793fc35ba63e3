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
        --batch | --find-batch)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            [[ -z $cur || $cur == - ]] && COMPREPLY+=(-)
            return
            ;;
        --database)
            values=$stems
            # "all" is only for listings and record searches.
            local word
            for word in "${COMP_WORDS[@]}"; do
                [[ $word == --list || $word == --find* || $word == --years ]] && values+=" all" && break
            done
            ;;
        --match) values="exact prefix pattern soundex dm close" ;;
        --verdict) values="same not-same none" ;;
        --format)
            values="text tsv json"
            local word
            for word in "${COMP_WORDS[@]}"; do
                [[ $word == --find* || $word == --years ]] && values+=" csv count gedcom" && break
                [[ $word == --history ]] && values="tsv json" && break
                [[ $word == --saved ]] && values="tsv json csv gedcom" && break
            done
            ;;
        --field) values="surname given" ;;
        --facet) values="database years years: field:" ;;
        --export) values="csv json gedcom" ;;
        --page-size) values="8 10" ;;
        --surname | --first-name | --turn | --more-info | --record | --cite | --links | --find | --years | --limit | --save | --note | --with) return ;;
        *)
            values="--data-dir --install-dir --database --surname --first-name --variants --page-size
                    --turn --more-info --record --cite --links --links-all --export --list --match --format --batch --raw --help -h --version
                    --find --find-batch --field --years --limit --facet --abbreviations
                    --log --save --note --verdict --with --history --saved --all-disks"
            ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$values" -- "$cur")
}

complete -F _chronara_query chronara-query
