# Shared by the command-line tests: `check DESCRIPTION COMMAND...` runs the
# command and counts a failure when it fails.
failures=0

check() {
    local description=$1
    shift
    if "$@"; then
        echo "ok: $description"
    else
        echo "FAILED: $description"
        failures=$((failures + 1))
    fi
}
