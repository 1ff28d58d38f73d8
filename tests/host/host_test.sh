#!/bin/sh
# End-to-end tests of voxtrane-host. The native program and the Windows one (under Wine) run the
# same cases against the same expected files, so equal results also mean equal bytes across the
# two builds.
#
#   host_test.sh GROUP HOST SOURCE WORK NON_PLUGIN [EMULATOR]
#
#   GROUP       render | state | errors | port
#   HOST        the staged voxtrane-host (voxtrane-host.exe in the Windows build); the shipped
#               banks are in banks/ beside it
#   SOURCE      this folder: input/ (written by make_fixtures) and golden/
#   WORK        a scratch folder for this group alone; emptied first
#   NON_PLUGIN  a library that loads but does not export CreatePlugInstance
#   EMULATOR    what runs HOST (cmake/wine-run.sh for the Windows build); absent natively
#
# With UPDATE_GOLDEN=1 the render and state groups write golden/ instead of comparing. Every
# changed golden file needs reviewing by hand before it is kept.
set -u

if [ $# -lt 5 ]; then
    echo "usage: host_test.sh GROUP HOST SOURCE WORK NON_PLUGIN [EMULATOR]" >&2
    exit 2
fi
absolute() { case "$1" in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
group=$1
host=$(absolute "$2")
source=$(absolute "$3")
work=$(absolute "$4")
non_plugin=$(absolute "$5")
emulator=${6:+$(absolute "$6")}
input=$source/input
golden=$source/golden
banks=$(dirname "$host")/banks
update=${UPDATE_GOLDEN:-0}
failures=0

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Runs the host in WORK with stdout and stderr in out.txt and err.txt; the exit status is left in
# $status. Line ends become LF (a Windows program writes CRLF) and trailing blanks go, so that the
# golden files survive editors that strip them.
run_host() {
    if [ -n "$emulator" ]; then "$emulator" "$host" "$@" >out.raw 2>err.raw; else "$host" "$@" >out.raw 2>err.raw; fi
    status=$?
    tr -d '\r' <out.raw | sed 's/[[:blank:]]*$//' >out.txt
    tr -d '\r' <err.raw | sed 's/[[:blank:]]*$//' >err.txt
}

# Text output against its golden file.
same_text() {  # ACTUAL GOLDEN-NAME
    if [ "$update" = 1 ]; then cp "$1" "$golden/$2"; return; fi
    if ! diff -u "$golden/$2" "$1"; then fail "$2: output differs from the golden file (diff above)"; fi
}

# Bytes against their golden file.
same_bytes() {  # ACTUAL GOLDEN-NAME
    if [ "$update" = 1 ]; then cp "$1" "$golden/$2"; return; fi
    if ! cmp "$golden/$2" "$1"; then fail "$2: bytes differ from the golden file"; fi
}

expect_success() {  # WHAT
    if [ "$status" -ne 0 ]; then fail "$1: exit status $status"; cat err.txt; fi
    if [ -s err.txt ]; then fail "$1: unexpected text on stderr:"; cat err.txt; fi
}

# Bad input: exit status 2 and exactly one line on stderr that names NAMED.
expect_bad_input() {  # WHAT NAMED
    if [ "$status" -ne 2 ]; then fail "$1: exit status $status, expected 2"; fi
    lines=$(wc -l <err.txt)
    if [ "$lines" -ne 1 ]; then
        fail "$1: $lines lines on stderr, expected one:"
        cat err.txt
    elif ! grep -qF -- "$2" err.txt; then
        fail "$1: the error line does not name '$2': $(cat err.txt)"
    else
        echo "ok   $1: $(cat err.txt)"
    fi
}

# An output file that a failed command must leave exactly as it was, with no temporary beside it.
plant_previous() {  # PATH
    echo "previous content" >"$1"
}
still_previous() {  # WHAT PATH
    if [ "$(cat "$2" 2>/dev/null)" != "previous content" ]; then fail "$1: $2 was changed"; fi
    if [ -e "$2.part" ]; then fail "$1: $2.part was left behind"; fi
}

# ------------------------------------------------------------------------------------------------
# Songs rendered through the shipped banks and a saved state, and the demo.

render_song() {  # NAME SONG ARGS...
    name=$1 song=$2
    shift 2
    run_host render "$input/$song" -o "$name.mid" --list "$@"
    expect_success "render $name"
    same_text out.txt "$name.txt"
    same_bytes "$name.mid" "$name.mid"
}

group_render() {
    render_song strings strings.mid --bank "$banks/Strings.krylvox"
    render_song ensemble ensemble.mid --bank "$banks/Strings.krylvox" --bank "$banks/Spitfire UACC.krylvox" \
        --bank "$banks/Brass.krylvox"
    render_song format0 format0.mid --state "$input/format3.state"
    render_song unended unended.mid --bank "$banks/Strings.krylvox"

    run_host demo --no-serve
    expect_success "demo"
    same_text out.txt demo.txt
    same_bytes demo-out.mid demo.mid
}

# ------------------------------------------------------------------------------------------------
# Saved states of every kind of layout, and a conversion to the current format.

group_state() {
    for format in 1 2 3 6 8 9 10; do
        run_host state dump "$input/format$format.state"
        expect_success "state dump format $format"
        same_text out.txt "state-format$format.json"
    done

    # The plugin's own writer: same bytes in both builds, and nothing lost on the way.
    run_host state convert "$input/format6.state" -o converted.state
    expect_success "state convert"
    same_bytes converted.state format6-converted.state
    run_host state dump converted.state
    expect_success "state dump of the converted state"
    sed 's/"format": 10,/"format": 6,/' out.txt >converted.json
    run_host state dump "$input/format6.state"
    if ! diff -u out.txt converted.json; then fail "state convert: the converted state reads differently"; fi
}

# ------------------------------------------------------------------------------------------------
# Every way the command line can go wrong: one line, status 2, nothing written.

group_errors() {
    run_host
    if [ "$status" -ne 2 ] || ! head -n 1 err.txt | grep -q '^usage:'; then fail "no command: expected usage on stderr, status 2"; fi
    run_host --help
    if [ "$status" -ne 0 ] || ! head -n 1 out.txt | grep -q '^usage:' || [ -s err.txt ]; then
        fail "--help: expected usage on stdout, status 0"
    fi

    song=$input/format0.mid
    run_host frobnicate
    expect_bad_input "unknown command" frobnicate
    run_host render "$song"
    expect_bad_input "render without -o" "-o OUT.mid"
    run_host render "$song" -o out.mid --frob
    expect_bad_input "unknown render option" --frob
    run_host render "$song" -o out.mid --sample-rate 10
    expect_bad_input "sample rate out of range" --sample-rate
    run_host state
    expect_bad_input "state without a subcommand" "dump or convert"
    run_host state convert "$input/format3.state"
    expect_bad_input "state convert without -o" "-o OUT"
    run_host demo --no-serve-typo
    expect_bad_input "unknown demo option" --no-serve-typo
    run_host demo --port 70000
    expect_bad_input "port out of range" 70000
    if [ -e demo-out.mid ]; then fail "demo with a bad port wrote demo-out.mid"; fi

    # Input files. Each failed render leaves an earlier out.mid as it was.
    plant_previous out.mid
    run_host render "$work/missing.mid" -o out.mid
    expect_bad_input "missing MIDI file" "$work/missing.mid"
    mkdir folder.mid
    run_host render "$work/folder.mid" -o out.mid
    expect_bad_input "a folder as the MIDI file" "$work/folder.mid"
    if [ "$(id -u)" != 0 ]; then  # root reads files whatever their mode
        cp "$song" locked.mid
        chmod 000 locked.mid
        run_host render "$work/locked.mid" -o out.mid
        expect_bad_input "unreadable MIDI file" "$work/locked.mid"
    fi
    run_host render "$banks/Strings.krylvox" -o out.mid
    expect_bad_input "not a MIDI file" "Strings.krylvox"
    for cut in 10 20 60; do
        dd if="$song" of="cut$cut.mid" bs=1 count=$cut 2>/dev/null
        run_host render "$work/cut$cut.mid" -o out.mid
        expect_bad_input "MIDI file cut after $cut bytes" "cut$cut.mid"
    done
    run_host render "$song" -o out.mid --bank "$work/missing.krylvox"
    expect_bad_input "missing bank" "$work/missing.krylvox"
    echo "not an articulation file" >broken.krylvox
    run_host render "$song" -o out.mid --bank "$work/broken.krylvox"
    expect_bad_input "bank the plugin refuses" "$work/broken.krylvox"
    run_host render "$song" -o out.mid --state "$work/missing.state"
    expect_bad_input "missing state" "$work/missing.state"
    still_previous "failed renders" out.mid

    # Modules.
    run_host --plugin "$work/missing-module" render "$song" -o out.mid
    expect_bad_input "missing module" "$work/missing-module"
    run_host --plugin "$song" render "$song" -o out.mid
    expect_bad_input "a MIDI file as the module" "$song"
    run_host --plugin "$non_plugin" render "$song" -o out.mid
    expect_bad_input "module without the factory" "CreatePlugInstance"
    run_host --plugin "$song" state convert "$input/format3.state" -o out.mid
    expect_bad_input "state convert with a module that does not load" "$song"
    still_previous "module failures" out.mid

    # Outputs that cannot be written leave nothing behind.
    run_host render "$song" -o "$work/no-such-folder/out.mid"
    expect_bad_input "output in a missing folder" "$work/no-such-folder/out.mid"
    if [ -e no-such-folder ]; then fail "output in a missing folder: the folder was made"; fi
    mkdir taken
    run_host render "$song" -o "$work/taken"
    expect_bad_input "output over a folder" "$work/taken"
    if [ ! -d taken ] || [ -e taken.part ]; then fail "output over a folder: the folder was touched or taken.part left"; fi

    # States.
    run_host state dump "$work/missing.state"
    expect_bad_input "state dump of a missing file" "$work/missing.state"
    run_host state dump "$input/format99.state"
    expect_bad_input "state of an unknown format" "format99.state"
    printf '\012\000' >short.state
    run_host state dump "$work/short.state"
    expect_bad_input "state of two bytes" "short.state"
    plant_previous converted.state
    run_host state convert "$input/format99.state" -o converted.state
    expect_bad_input "state convert of an unknown format" "format99.state"
    still_previous "state convert of an unknown format" converted.state
}

# ------------------------------------------------------------------------------------------------
# A port that something else already listens on.

group_port() {
    perl -MIO::Socket::INET -e '
        my $s = IO::Socket::INET->new(Listen => 1, LocalAddr => "0.0.0.0", LocalPort => 0) or die "listen: $!";
        $| = 1;
        print $s->sockport, "\n";
        sleep 120;' >port.txt &
    listener=$!
    port=
    for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
        port=$(cat port.txt)
        [ -n "$port" ] && break
        sleep 0.25
    done
    if [ -z "$port" ]; then
        kill "$listener" 2>/dev/null
        fail "could not listen on a port for the test"
        return
    fi
    run_host demo --port "$port"
    kill "$listener" 2>/dev/null
    wait "$listener" 2>/dev/null
    expect_bad_input "port in use" "port $port"
    if [ -e demo-out.mid ]; then fail "port in use: demo-out.mid was written"; fi
}

case "$group" in
render) group_render ;;
state) group_state ;;
errors) group_errors ;;
port) group_port ;;
*) echo "unknown group $group" >&2; exit 2 ;;
esac

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed in group $group"
    exit 1
fi
echo "group $group: all checks passed"
