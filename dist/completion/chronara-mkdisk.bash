# bash completion for chronara-mkdisk                      -*- shell-script -*-
# Options, the output folder and the CSV sources (<stem>.csv). Needs nothing
# from the bash-completion package.

_chronara_mkdisk() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    if [[ $prev == --out ]]; then
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
        return
    fi
    [[ $prev == --name-width ]] && return
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "--out --name-width --help -h --version" -- "$cur")
        return
    fi
    # Sources: CSV files, and folders to reach them.
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[cC][sS][vV]' -- "$cur")
}

complete -F _chronara_mkdisk chronara-mkdisk
