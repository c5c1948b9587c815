# bash completion for dedur-cli: commands, each command's options (read
# from its own --help), and file names by what the command takes.

_dedur_cli() {
    local cur prev command
    _init_completion || return

    if [[ $cword -eq 1 ]]; then
        local commands
        commands=$("$1" --help 2>/dev/null | sed -n '/^commands:/,$p' | awk 'NR > 1 { print $1 }')
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi
    command=${words[1]}

    case $prev in
        --kind)
            COMPREPLY=($(compgen -W "16x15 24x24 8x15 symbol16x15" -- "$cur"))
            return
            ;;
        --lr | --tb)
            COMPREPLY=($(compgen -W "0 1 2 3" -- "$cur"))
            return
            ;;
        --c-array)
            _filedir TAB
            return
            ;;
        --format)
            local formats
            case $command in
                font-export) formats="bdf lvgl u8g2 gfx" ;;
                font-subset) formats="c bdf json lvgl u8g2 gfx" ;;
                *) formats="c xbm micropython rust asm json lvgl lvgl-font u8g2-font gfx-font" ;;
            esac
            COMPREPLY=($(compgen -W "$formats" -- "$cur"))
            return
            ;;
        --lvgl)
            COMPREPLY=($(compgen -W "8 9" -- "$cur"))
            return
            ;;
        --from)
            _filedir '@(bdf|BDF|ttf|TTF|otf|OTF|ttc|TTC)'
            return
            ;;
        --layout)
            COMPREPLY=($(compgen -W "rows-msb rows-lsb pages-lsb pages-msb panel" -- "$cur"))
            return
            ;;
        --template)
            _filedir mustache
            return
            ;;
        --output | --profile | --text)
            _filedir
            return
            ;;
        --fonts)
            _filedir -d
            return
            ;;
        --name)
            return
            ;;
        --count | --size | --seg | --com | --pattern | --range | --code | --number | --threshold | \
            --scale | --columns | --offset | --panel | --at | --to | --delay | --loop | \
            --first | --spacing | --baseline | --colors | --face)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        local options
        options=$("$1" "$command" --help 2>/dev/null | grep -oE -- '--[a-z][a-z-]*' | sort -u)
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        return
    fi

    # Which positional argument this is.
    local i positional=0
    for ((i = 2; i < cword; i++)); do
        case ${words[i]} in
            --kind | --lr | --tb | --c-array | --count | --size | --seg | --com | --pattern | \
                --range | --code | --number | --threshold | --scale | --columns | --offset | \
                --panel | --format | --layout | --template | --output | --profile | --name | \
                --text | --fonts | --at | --to | --from | --first | --spacing | --baseline | \
                --colors | --lvgl | --delay | --loop | --face) ((i++)) ;;
            -*) ;;
            *) ((positional++)) ;;
        esac
    done
    case $command in
        make-fonts) _filedir -d ;;
        glyph) _filedir '@(fon|15)' ;;
        font-export) if ((positional == 0)); then _filedir '@(fon|15)'; else _filedir '@(bdf|c|h)'; fi ;;
        font-import) if ((positional == 0)); then _filedir '@(fon|15)'; else _filedir bdf; fi ;;
        font-subset) _filedir txt ;;
        import-image) if ((positional == 0)); then _filedir pat; else _filedir '@(png|PNG|pbm|PBM|xbm|XBM|gif|GIF)'; fi ;;
        import-panel) if ((positional == 0)); then _filedir pat; else _filedir '@(DAT|BIN|dat|bin)'; fi ;;
        render) if ((positional == 0)); then _filedir '@(pat|pbm|PBM|xbm|XBM|png|PNG|gif|GIF)'; else _filedir '@(png|PNG|pbm|xbm|gif)'; fi ;;
        export) if ((positional == 0)); then _filedir pat; else _filedir '@(DAT|BIN|dat|bin)'; fi ;;
        table) if ((positional == 0)); then _filedir pat; else _filedir '@(TAB|tab)'; fi ;;
        draw)
            if ((positional == 0)); then
                _filedir '@(pat|pbm|PBM|xbm|XBM|png|PNG|gif|GIF)'
            elif ((positional == 1)); then
                COMPREPLY=($(compgen -W "point erase line rect fill-rect ellipse fill-ellipse" -- "$cur"))
            fi
            ;;
        transform)
            if ((positional == 0)); then
                _filedir '@(pat|pbm|PBM|xbm|XBM|png|PNG|gif|GIF)'
            elif ((positional == 1)); then
                COMPREPLY=($(compgen -W "flip-h flip-v rotate-right rotate-left invert shift" -- "$cur"))
            fi
            ;;
        code | info | frames) _filedir '@(pat|pbm|PBM|xbm|XBM|png|PNG|gif|GIF)' ;;
        new-image) _filedir '@(pbm|PBM|xbm|XBM|png|PNG|gif|GIF)' ;;
        *) _filedir pat ;;
    esac
} &&
    complete -F _dedur_cli dedur-cli
