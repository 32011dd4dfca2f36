#!/usr/bin/env bash
# Prints the program's version ("1.00.0002"), read from the one place it is defined:
# SORAMITSU_VERSION_TEXT in assets/version.rcinc.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
version=$(sed -n 's/^#define SORAMITSU_VERSION_TEXT "Ver\([0-9][0-9.]*\)".*/\1/p' \
  "$SORAMITSU_ROOT/assets/version.rcinc")
[ -n "$version" ] || sm_die "no SORAMITSU_VERSION_TEXT in assets/version.rcinc"
echo "$version"
