#!/bin/sh
# End-to-end tests of voxtrane-host. The native and the Windows build (under Wine) run the same
# cases against the same golden files, so both builds must write the same bytes.
#
#   host_test.sh GROUP HOST SOURCE WORK NON_PLUGIN [EMULATOR]
#
# GROUP is render, state, errors or port; SOURCE holds input/ and golden/; WORK is emptied first;
# NON_PLUGIN is a library without CreatePlugInstance; EMULATOR runs HOST (absent natively).
# UPDATE_GOLDEN=1 writes golden/ instead of comparing: review every changed file by hand.
set -u

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
# Wine turns the program's command line into UTF-16 through the locale's character set.
[ -n "$emulator" ] && export LC_ALL=C.UTF-8

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Runs the host with its output in out.txt and err.txt and its exit status in $status. CRLF becomes
# LF and trailing blanks go, so that golden files survive editors that strip them.
run_host() {
    if [ -n "$emulator" ]; then "$emulator" "$host" "$@" >out.raw 2>err.raw; else "$host" "$@" >out.raw 2>err.raw; fi
    status=$?
    tr -d '\r' <out.raw | sed 's/[[:blank:]]*$//' >out.txt
    tr -d '\r' <err.raw | sed 's/[[:blank:]]*$//' >err.txt
}

same() {  # diff|cmp ACTUAL GOLDEN-NAME
    if [ "$update" = 1 ]; then cp "$2" "$golden/$3"; return; fi
    if ! "$1" "$golden/$3" "$2"; then fail "$3: output differs from the golden file"; fi
}

expect_success() {  # WHAT
    if [ "$status" -ne 0 ]; then fail "$1: exit status $status"; cat err.txt; fi
    if [ -s err.txt ]; then fail "$1: unexpected text on stderr:"; cat err.txt; fi
}

# Bad input: exit status 2 and exactly one line on stderr that names NAMED.
expect_bad_input() {  # WHAT NAMED
    if [ "$status" -ne 2 ]; then fail "$1: exit status $status, expected 2"; fi
    if [ "$(wc -l <err.txt)" -ne 1 ] || ! grep -qF -- "$2" err.txt; then
        fail "$1: expected one line on stderr naming '$2', got:"
        cat err.txt
    fi
}

render_song() {  # NAME SONG ARGS...
    name=$1 song=$2
    shift 2
    run_host render "$input/$song" -o "$name.mid" --list "$@"
    expect_success "render $name"
    same diff out.txt "$name.txt"
    same cmp "$name.mid" "$name.mid"
}

group_render() {
    render_song strings strings.mid --bank "$banks/Strings.krylvox"
    render_song ensemble ensemble.mid --bank "$banks/Strings.krylvox" --bank "$banks/Spitfire UACC.krylvox" \
        --bank "$banks/Brass.krylvox"
    render_song format0 format0.mid --state "$input/format3.state"
    render_song unended unended.mid --bank "$banks/Strings.krylvox"

    run_host demo --no-serve
    expect_success "demo"
    same diff out.txt demo.txt
    same cmp demo-out.mid demo.mid

    # Folders whose names no ANSI code page spells whole: paths stay whole from the command line
    # through the module's own folder (where the importer is found) to a dropped file.
    home="$work/Programmé Ω" library="$work/Bibliothèque Ω"
    mkdir -p "$home" "$library"
    cp -R "$(dirname "$host")/../test-stage/Plugins" "$host" "$home/"
    cp "$banks/Strings.krylvox" "$library/"
    echo "instrument" >"$library/Violoncelle.nki"
    staged=$host
    host=$home/$(basename "$staged")
    render_song strings strings.mid --bank "$library/Strings.krylvox"
    run_host render "$input/format0.mid" -o nki.mid --list --bank "$library/Violoncelle.nki"
    expect_success "render with an instrument from an accented folder"
    grep -q "message: Imported 3 articulations" out.txt || fail "the importer beside the accented installation did not answer"
    host=$staged
}

group_state() {
    for format in 1 2 3 6 8 9 10; do
        run_host state dump "$input/format$format.state"
        expect_success "state dump format $format"
        same diff out.txt "state-format$format.json"
    done

    run_host state convert "$input/format6.state" -o converted.state
    expect_success "state convert"
    same cmp converted.state format6-converted.state
}

# Every way the command line can go wrong: one line, status 2, nothing written.
group_errors() {
    run_host
    if [ "$status" -ne 2 ] || ! head -n 1 err.txt | grep -q '^usage:'; then fail "no command: expected usage on stderr, status 2"; fi
    run_host --help
    if [ "$status" -ne 0 ] || ! head -n 1 out.txt | grep -q '^usage:' || [ -s err.txt ]; then fail "--help: expected usage"; fi

    song=$input/format0.mid
    mkdir folder.mid taken
    dd if="$song" of=cut.mid bs=1 count=20 2>/dev/null
    echo "not an articulation file" >broken.krylvox
    printf '\012\000' >short.state
    echo "previous content" >out.mid
    echo "previous content" >converted.state
    if [ "$(id -u)" != 0 ]; then  # root reads files whatever their mode
        cp "$song" locked.mid
        chmod 000 locked.mid
        run_host render "$work/locked.mid" -o out.mid
        expect_bad_input "unreadable MIDI file" "$work/locked.mid"
    fi
    # WHAT | what the error line names | the arguments, as shell words
    while IFS='|' read -r what named arguments; do
        eval "set -- $arguments"
        run_host "$@"
        eval "expect_bad_input \"\$what\" \"$named\""
    done <<'EOF'
unknown command|frobnicate|frobnicate
render without -o|-o OUT.mid|render "$song"
unknown render option|--frob|render "$song" -o out.mid --frob
sample rate out of range|--sample-rate|render "$song" -o out.mid --sample-rate 10
state without a subcommand|dump or convert|state
state convert without -o|-o OUT|state convert "$input/format3.state"
unknown demo option|--no-serve-typo|demo --no-serve-typo
port out of range|70000|demo --port 70000
missing MIDI file|$work/missing.mid|render "$work/missing.mid" -o out.mid
a folder as the MIDI file|$work/folder.mid|render "$work/folder.mid" -o out.mid
not a MIDI file|Strings.krylvox|render "$banks/Strings.krylvox" -o out.mid
MIDI file cut short|cut.mid|render "$work/cut.mid" -o out.mid
missing bank|$work/missing.krylvox|render "$song" -o out.mid --bank "$work/missing.krylvox"
bank the plugin refuses|$work/broken.krylvox|render "$song" -o out.mid --bank "$work/broken.krylvox"
missing state|$work/missing.state|render "$song" -o out.mid --state "$work/missing.state"
missing module|$work/missing-module|--plugin "$work/missing-module" render "$song" -o out.mid
a MIDI file as the module|$song|--plugin "$song" render "$song" -o out.mid
module without the factory|CreatePlugInstance|--plugin "$non_plugin" render "$song" -o out.mid
state convert, module does not load|$song|--plugin "$song" state convert "$input/format3.state" -o out.mid
output in a missing folder|$work/no-such-folder/out.mid|render "$song" -o "$work/no-such-folder/out.mid"
output over a folder|$work/taken|render "$song" -o "$work/taken"
state dump of a missing file|$work/missing.state|state dump "$work/missing.state"
state of an unknown format|format99.state|state dump "$input/format99.state"
state of two bytes|short.state|state dump "$work/short.state"
state convert of an unknown format|format99.state|state convert "$input/format99.state" -o converted.state
snapshot without -o|-o DIR|snapshot --bank "$banks/Strings.krylvox"
snapshot scale out of range|--scale|snapshot --scale 9 -o shots
EOF
    # Nothing a failed command was to write was touched, and no temporary file was left.
    for file in out.mid converted.state; do
        if [ "$(cat "$file")" != "previous content" ] || [ -e "$file.part" ]; then fail "$file was changed"; fi
    done
    if [ -e no-such-folder ] || [ ! -d taken ] || [ -e taken.part ] || [ -e demo-out.mid ]; then
        fail "a failed command made or changed a file"
    fi
}

# A port that something else already listens on.
group_port() {
    : >port.txt  # there before the listener starts, so that the first look finds it empty rather than absent
    perl -MIO::Socket::INET -e '
        my $s = IO::Socket::INET->new(Listen => 1, LocalAddr => "0.0.0.0", LocalPort => 0) or die "listen: $!";
        $| = 1;
        print $s->sockport, "\n";
        sleep 120;' >port.txt &
    listener=$!
    tries=0
    while port=$(cat port.txt) && [ -z "$port" ] && [ $((tries += 1)) -le 20 ]; do sleep 0.25; done
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

# Every panel painted to PNG at the asked scale; the Windows program says it cannot.
group_snapshot() {
    run_host snapshot --state "$input/format10.state" --scale 1.5 -o shots
    if [ -n "$emulator" ]; then
        expect_bad_input "snapshot in the Windows build" "native build"
        return
    fi
    expect_success "snapshot"
    for panel in articulations controllers options-general options-automation options-advanced icon-picker; do
        # PNG signature, then the header's width and height: 360 x 355 at scale 1.5.
        size=$(od -An -tx1 -j16 -N8 "shots/$panel.png" 2>/dev/null | tr -d ' \n')
        if [ "$(head -c 4 "shots/$panel.png" 2>/dev/null | od -An -c | tr -d ' ')" != "211PNG" ] ||
            [ "$size" != "0000016800000163" ]; then
            fail "snapshot: $panel.png is not a 360 x 355 PNG"
        fi
    done
}

# Maps of other programs: real and odd files into banks with what they left out, files that are
# not maps refused one by one, and a bank out to every format and back in unchanged.
group_maps() {
    maps=$source/../maps/data
    : >empty.reabank
    printf 'Bank Strings\n0 legato\n' >numberless.reabank
    run_host import "$maps/odd/odd.plist" "$maps/expressionmap/ORC Bass.expressionmap" "$work/empty.reabank" \
        "$work/numberless.reabank" -o banks
    if [ "$status" -ne 0 ] || [ "$(wc -l <err.txt)" -ne 2 ] || ! grep -q 'empty.reabank: empty file' err.txt ||
        ! grep -q 'numberless.reabank: 1 Bank line' err.txt; then
        fail "import: expected status 0 and one line for each file that is not a map, got $status:"
        cat err.txt
    fi
    same diff out.txt maps-import.txt
    same cmp "banks/ORC Bass.krylvox" "maps-orc-bass.krylvox"
    for kind in reabank expressionmap plist doricolib; do
        run_host export "banks/ORC Bass.krylvox" -o "orc.$kind"
        expect_success "export to $kind"
        run_host import "orc.$kind" -o "back-$kind" --quiet
        expect_success "import of the exported $kind"
        back=$(find "back-$kind" -name 'ORC Bass.krylvox')
        if ! cmp -s "$back" "banks/ORC Bass.krylvox"; then fail "ORC Bass through $kind did not come back the same"; fi
    done
    # The map dropped on the plugin plays as the bank it converts into.
    run_host render "$input/strings.mid" -o dropped-map.mid --list --bank "$maps/expressionmap/ORC Bass.expressionmap"
    expect_success "render through a dropped map"
    run_host render "$input/strings.mid" -o dropped-bank.mid --list --bank "$work/banks/ORC Bass.krylvox"
    if ! cmp -s dropped-map.mid dropped-bank.mid; then fail "a dropped map plays otherwise than its bank"; fi
    run_host export "banks/ORC Bass.krylvox" -o orc.txt
    expect_bad_input "export to a kind that is not a map" "orc.txt"
    run_host import "$work/empty.reabank" -o nothing
    expect_bad_input "import of nothing but a file that is not a map" "empty.reabank"
}

case "$group" in
maps) group_maps ;;
snapshot) group_snapshot ;;
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
