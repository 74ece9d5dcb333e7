# Sourced by the test scripts. `skip REASON` ends a test that cannot run here
# (a dependency is missing) as skipped, exit code 77; with VELM_NO_SKIP set,
# as CI sets it, it fails instead, so that a run that lost a dependency
# cannot pass for a green one. docs/testing.md lists what may skip in CI.
skip() {
  if [ -n "${VELM_NO_SKIP:-}" ]; then
    echo "FAIL: $* (VELM_NO_SKIP is set: nothing may skip)"
    exit 1
  fi
  echo "skipped: $*"
  exit 77
}
