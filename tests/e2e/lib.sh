# Shared steps of the end-to-end tests: start a program on the test's own X
# display, find its window, look at it, drive it, and see it end.
# Sourced by the test scripts, which run under tests/xvfb-run.sh.
# Needs: E2E_PIXELS (the pixel counter) and a scratch folder in E2E_TMP.
# With E2E_WINE_PREFIX (a Wine prefix to copy), the program is a Windows one
# and runs under Wine.

set -euo pipefail

readonly E2E_IMPORT=/usr/bin/import   # ImageMagick's own, not a stand-in
readonly E2E_TEST_PID=$$
app_pid=""
app_window=""
under_wine=""

e2e_fail() {
    echo "FAIL: $*" >&2
    # Inside $(...) exit only ends the subshell: end the test itself too.
    [[ $BASHPID == "$E2E_TEST_PID" ]] || kill -TERM "$E2E_TEST_PID"
    exit 1
}

# Ends the program if it still runs and removes the scratch folder; the trap
# runs it on every way out of the test.
e2e_cleanup() {
    if [[ -n "$app_pid" ]] && kill -0 "$app_pid" 2>/dev/null; then
        kill "$app_pid" 2>/dev/null || true
        sleep 0.5
        kill -9 "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    if [[ -n "$under_wine" ]]; then
        wineserver -k 2>/dev/null || true
    fi
    if [[ -n "${E2E_KEEP:-}" ]]; then
        echo "screenshots kept in $E2E_TMP" >&2
    else
        rm -rf "$E2E_TMP"
    fi
}

e2e_init() {
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/grainvox-e2e.XXXXXX")
    trap e2e_cleanup EXIT
    trap 'exit 1' INT TERM
    [[ -x "${E2E_PIXELS:-}" ]] || e2e_fail "pixel counter E2E_PIXELS not set"
    if [[ -n "${E2E_WINE_PREFIX:-}" ]]; then
        e2e_private_wine_prefix
    fi
}

# Each test gets its own prefix, and so its own Wine server: one server
# across two X displays hands the keyboard focus between the tests. The copy
# hard-links the prefix's files but really copies its top-level ones (the
# registry), which Wine rewrites in place.
e2e_private_wine_prefix() {
    export WINEPREFIX=$E2E_TMP/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    under_wine=1
    cp -al "$E2E_WINE_PREFIX" "$WINEPREFIX"
    find "$E2E_WINE_PREFIX" -maxdepth 1 -type f -exec cp --remove-destination -t "$WINEPREFIX" {} +
}

# e2e_start PROGRAM WORKING_DIR TITLE [ARGUMENT...]: starts the program and
# waits for its window to exist and show something.
e2e_start() {
    local program=$1 workdir=$2 title=$3
    local launch=("$program")
    if [[ -n "$under_wine" ]]; then
        launch=(wine "$program")
    elif [[ -n "${E2E_RESIDENT_GL_DRIVER:-}" ]]; then
        # Mesa unloads its driver before the leak check at exit, which leaves
        # the driver's own leaks nameless; kept loaded, the suppressions can
        # name it. The preload comes ahead of the sanitizer runtime.
        launch=(env "LD_PRELOAD=$E2E_RESIDENT_GL_DRIVER"
                "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" "$program")
    fi
    launch+=("${@:4}")
    (cd "$workdir" && exec "${launch[@]}") &
    app_pid=$!
    # Only a mapped window can be photographed, so wait until it shows. A
    # window that vanishes while xdotool walks the tree (Wine makes and drops
    # some at start) ends that search with an X error: search again.
    local deadline=$((SECONDS + 30))
    app_window=""
    while [[ -z "$app_window" && $SECONDS -lt $deadline ]]; do
        app_window=$(timeout $((deadline - SECONDS + 1)) \
                     xdotool search --sync --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1) || true
    done
    [[ -n "$app_window" ]] || e2e_fail "no window titled '$title' appeared"
    e2e_wait_until 30 e2e_shows_something || e2e_fail "window '$title' stays black"
}

# e2e_shot: writes a screenshot of the program's window, prints its path.
e2e_shot() {
    local file
    file=$(mktemp "$E2E_TMP/shot-XXXXXX.ppm")
    "$E2E_IMPORT" -window "$app_window" -depth 8 ppm:"$file" 2>/dev/null || e2e_fail "screenshot failed"
    echo "$file"
}

# e2e_count CLASS: pixels of that class in a fresh screenshot.
e2e_count() {
    "$E2E_PIXELS" "$1" "$(e2e_shot)"
}

e2e_shows_something() {
    [[ $(e2e_count lit) -gt 1000 ]]
}

# e2e_wait_until SECONDS COMMAND...: polls the command until it succeeds.
e2e_wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [[ $SECONDS -lt $deadline ]] || return 1
        sleep 0.2
    done
}

e2e_at_least() { [[ $(e2e_count "$1") -ge $2 ]]; }
e2e_at_most() { [[ $(e2e_count "$1") -le $2 ]]; }
e2e_sand_at_least() { e2e_at_least sand "$1"; }
e2e_sand_at_most() { e2e_at_most sand "$1"; }

# e2e_pour CLASS MIN_PIXELS SECONDS_LIMIT [X Y]: holds the left button over
# the floor (its middle by default) until that many pixels of the class
# show, then releases it.
e2e_pour() {
    local class=$1 wanted=$2 limit=$3 x=${4:-320} y=${5:-260}
    e2e_pour_until "$limit" "$x" "$y" e2e_at_least "$class" "$wanted" ||
        e2e_fail "no $class showed after pouring for ${limit}s"
}

# e2e_pour_until SECONDS_LIMIT X Y COMMAND...: holds the left button at
# (X, Y) until COMMAND succeeds; fails if it never does in time.
e2e_pour_until() {
    local limit=$1 x=$2 y=$3
    shift 3
    xdotool mousemove --window "$app_window" "$x" "$y"
    sleep 0.3
    xdotool mousedown 1
    local status=0
    e2e_wait_until "$limit" "$@" || status=$?
    xdotool mouseup 1
    return "$status"
}

# e2e_expect_window_size WIDTH HEIGHT
e2e_expect_window_size() {
    local WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$app_window" | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
    [[ "$WIDTH" == "$1" && "$HEIGHT" == "$2" ]] ||
        e2e_fail "window is ${WIDTH}x${HEIGHT}, expected ${1}x${2}"
}

# e2e_key KEY...: sends each key (press and release) to the program. Keys
# go to the window under the pointer (no window manager), so the pointer is
# kept inside the window.
e2e_key() {
    xdotool mousemove --window "$app_window" 320 260
    xdotool key --delay 50 "$@"
}

# e2e_expect_exit SECONDS STATUS: waits for the program to end and checks
# its exit status.
e2e_expect_exit() {
    local limit=$1 wanted=$2 status
    if ! e2e_wait_until "$limit" e2e_has_ended; then
        e2e_fail "program still runs ${limit}s after being told to quit"
    fi
    status=0
    wait "$app_pid" || status=$?
    app_pid=""
    [[ $status -eq $wanted ]] || e2e_fail "program ended with status $status, expected $wanted"
}

e2e_has_ended() { ! kill -0 "$app_pid" 2>/dev/null || [[ -n $(ps -o stat= -p "$app_pid" | grep Z) ]]; }
