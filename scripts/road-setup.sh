# Sourced by the roads that drive the built application under a virtual X server.
# road_setup NAME [OUT_DIR]: sets `out` (OUT_DIR, default build/NAME, its screenshots removed),
# `app` (the built program) and `scratch` (a throw-away folder with fb/, config/ and data/,
# removed at exit), and points the user's settings, data and runtime folders into it, so a road
# never reads or writes the user's own.
road_setup() {
  out=$(realpath -m "${2:-build/$1}")
  app=$(realpath build/app/tessarine)
  mkdir -p "$out"
  rm -f "$out"/*.png
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  mkdir -p "$scratch/fb" "$scratch/config" "$scratch/data"
  export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" XDG_RUNTIME_DIR="$scratch"
}
