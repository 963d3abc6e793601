# Shared by test.sh, run.sh and the scripts: installs what a fresh Debian
# machine lacks, builds a preset, and gives benchmarks a work folder.
# Run as root (or with sudo available); does nothing when all is present.

# What building the programs needs (python3 makes the carried resources),
# and what the tests add: sanitizers' and fuzzers' clang, the test and
# benchmark libraries, the Windows cross build, wine and a virtual screen.
VN_BUILD_PACKAGES=(cmake ninja-build g++ python3)
VN_TEST_PACKAGES=(
  "${VN_BUILD_PACKAGES[@]}" clang libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64
  xvfb xauth xdotool imagemagick
)

# Installs those of the given packages that are missing.
vn_install_missing() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "== installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures (with any further cache settings given) and builds one preset;
# prints the build log only when it fails.
vn_build() {
  local preset=$1
  shift
  local log="build/$preset.log"
  mkdir -p build
  echo "== build: $preset ($(date +%T))"
  if ! { cmake --preset "$preset" "$@" && cmake --build --preset "$preset"; } >"$log" 2>&1; then
    grep -E -A5 'error|FAILED' "$log" | head -n 60 || tail -n 60 "$log"
    echo "build of $preset failed (full log: $log)"
    return 1
  fi
}

# Runs ctest with the given arguments, its log kept in build/NAME-tests.log:
# the summary when all pass, else every line but the passing ones (the
# failed tests' own output among them).
vn_ctest() {
  local log="build/$1-tests.log"
  shift
  if ! ctest "$@" --output-on-failure >"$log" 2>&1; then
    grep -v -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' "$log" | tail -n 400
    echo "tests failed (full log: $log)"
    return 1
  fi
  tail -n 4 "$log"
}

# The folder for a benchmark's per-run files, in `work`: BENCH_WORK when
# given (kept for a look afterwards), else a temporary one removed at exit.
vn_bench_work() {
  if [ -n "${BENCH_WORK:-}" ]; then
    work=$BENCH_WORK
    mkdir -p "$work"
  else
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
  fi
}
