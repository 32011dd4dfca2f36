#!/usr/bin/env bash
# Builds the user manual soramitsu.pdf (A4, Japanese) from docs/manual/: takes fresh
# screenshots of the Windows build under Wine, turns the Markdown into HTML with pandoc and
# the HTML into a PDF with WeasyPrint, in the IPA Gothic fonts.
# Usage: manual.sh [BUILD_WIN_DIR]   (default build-win; the PDF is BUILD_WIN_DIR/manual/soramitsu.pdf)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

win="${1:-$SORAMITSU_ROOT/build-win}"
src="$SORAMITSU_ROOT/docs/manual"
for tool in pandoc weasyprint fc-list; do
  command -v "$tool" >/dev/null || sm_die "$tool is missing (run scripts/deps.sh)"
done
grep -q 'IPAPGothic' <<<"$(fc-list)" || sm_die "the IPA P Gothic font is missing (package fonts-ipafont-gothic)"

bash "$SORAMITSU_ROOT/scripts/build.sh" win Soramitsu SoramitsuShortcut wintool
win="$(cd "$win" && pwd)"
work="$win/manual"
rm -rf "$work"
mkdir -p "$work/images"

# The screenshots are taken at every build, so that they show the program as it is.
bash "$SORAMITSU_ROOT/scripts/manual-screenshots.sh" "$win" "$work/images" ||
  sm_die "the screenshots of the manual could not be taken"

version=$(bash "$SORAMITSU_ROOT/scripts/version.sh")
for part in cover.html soramitsu.md; do
  sed "s/\\\$SORAMITSU_VERSION\\\$/$version/g" "$src/$part" >"$work/$part"
done
cp -f "$src/style.css" "$work/style.css"

sm_log "pandoc: $src/soramitsu.md -> $work/soramitsu.html"
pandoc "$work/soramitsu.md" \
  --from markdown-smart --to html5 --standalone \
  --toc --toc-depth=2 --number-sections --columns=10 \
  --metadata pagetitle="ソラミツ 取扱説明書" --variable lang=ja \
  --include-before-body "$work/cover.html" \
  --css style.css \
  --resource-path "$work" \
  --output "$work/soramitsu.html"

sm_log "weasyprint: $work/soramitsu.pdf"
(cd "$work" && weasyprint --quiet soramitsu.html soramitsu.pdf)
sm_log "manual ready: $work/soramitsu.pdf"
