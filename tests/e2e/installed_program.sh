#!/usr/bin/env bash
# The programs installed with `cmake --install` into a prefix of their own,
# started from a folder that has nothing to do with them, draw their fire
# with the installed texture; a particle.bmp in the working directory still
# wins; a program beside its particle.bmp (the build folder) finds that one;
# a program with none anywhere draws plain fire; each installed starter scene
# opens with `grainvox FILE`.
#   installed_program.sh PROGRAM PIXEL_COUNTER BUILD_DIR   (PROGRAM: the build's grainvox)
source "$(dirname "$0")/lib.sh"
E2E_PIXELS=$2
e2e_init
built_program=$1
build=$3
prefix="$E2E_TMP/prefix"

cmake --install "$build" --prefix "$prefix" >/dev/null
readonly starters=(hourglass oil_on_water gas_columns fire_and_water glass_vase)
for file in bin/grainvox bin/grainvox-win32 share/grainvox/particle.bmp "${starters[@]/#/share/grainvox/scenes/}"; do
    [[ -e "$prefix/$file" || -e "$prefix/$file.gvx" ]] || e2e_fail "cmake --install did not put $file in the prefix"
done

# A 4 x 4 bitmap of pure green: fire drawn through it shows green alone.
le16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)); }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
write_green_bitmap() {
    local side=4 pixel_bytes=48 header_bytes=54 info_bytes=40 planes=1 bits=24 dots_per_metre=2835
    local bytes
    bytes="BM$(le32 $((header_bytes + pixel_bytes)))$(le32 0)$(le32 $header_bytes)"
    bytes+="$(le32 $info_bytes)$(le32 $side)$(le32 $side)$(le16 $planes)$(le16 $bits)"
    bytes+="$(le32 0)$(le32 $pixel_bytes)$(le32 $dots_per_metre)$(le32 $dots_per_metre)$(le32 0)$(le32 0)"
    for _ in $(seq $((side * side))); do bytes+='\x00\xff\x00'; done  # blue, green, red
    printf '%b' "$bytes" >"$1"
}

# Fire is told by one screenshot: drawn with our glow, its ring shows deep
# orange (at least `shown` pixels); drawn otherwise, pixels of its own colour
# (plain, or green through a green texture) outnumber any glow-like ones,
# such as fire over the red pen marker, tenfold.
readonly shown=50
fire_looks() {
    local look=$1 shot glow
    shot=$(e2e_shot)
    glow=$("$E2E_PIXELS" glow "$shot")
    case $look in
        glow) [[ $glow -ge $shown ]] ;;
        plain | green)
            local own
            own=$("$E2E_PIXELS" "${look/plain/fire}" "$shot")
            [[ $own -ge $shown && $((glow * 10)) -le $own ]] ;;
    esac
}

# fire_in PROGRAM WORKING_DIR TITLE MATERIAL_KEYS LOOK: starts the program
# there, chooses fire, pours it until it shows as LOOK, and quits.
fire_in() {
    local program=$1 workdir=$2 title=$3 keys=$4 look=$5
    e2e_start "$program" "$workdir" "$title"
    # shellcheck disable=SC2086
    e2e_key $keys
    e2e_pour_until 30 320 300 fire_looks "$look" ||
        e2e_fail "$program in $workdir: no $look fire showed after pouring for 30s"
    e2e_key q
    e2e_expect_exit 20 0
}

elsewhere="$E2E_TMP/elsewhere"
mkdir "$elsewhere"

# Installed, from an unrelated folder: the installed texture.
fire_in "$prefix/bin/grainvox" "$elsewhere" "Grainvox 0.38" 2 glow
fire_in "$prefix/bin/grainvox-win32" "$elsewhere" "Grainvox 0.36" "p p p" glow

# A particle.bmp in the working directory wins over the installed one.
with_own_texture="$E2E_TMP/with-own-texture"
mkdir "$with_own_texture"
write_green_bitmap "$with_own_texture/particle.bmp"
fire_in "$prefix/bin/grainvox" "$with_own_texture" "Grainvox 0.38" 2 green

# The build's program finds the particle.bmp beside it.
fire_in "$built_program" "$elsewhere" "Grainvox 0.38" 2 glow

# Nowhere to find one: plain fire, without the glow.
lonely="$E2E_TMP/lonely"
mkdir "$lonely"
cp "$prefix/bin/grainvox" "$lonely/"
fire_in "$lonely/grainvox" "$elsewhere" "Grainvox 0.38" 2 plain
# Each starter scene, given to the installed program, loads at its start.
for name in "${starters[@]}"; do
    log="$E2E_TMP/$name.log"
    e2e_start "$prefix/bin/grainvox" "$elsewhere" "Grainvox 0.38" "$prefix/share/grainvox/scenes/$name.gvx" 2>"$log"
    e2e_key q
    e2e_expect_exit 20 0
    grep -q "^grainvox: loaded .*/$name.gvx: [0-9]* live cells" "$log" || e2e_fail "grainvox $name.gvx: $(cat "$log")"
done
echo "installed texture found from elsewhere; working directory's wins; plain fire without one; the starter scenes load"
