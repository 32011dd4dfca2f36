#!/usr/bin/env bash
# Checks the manual and the release package that manual.sh and package.sh built:
#  - soramitsu.pdf: A4, a sane page count, every chapter heading of the source in its text
#    (the privacy, upgrade and keyboard chapters among them);
#  - the troubleshooting table of docs/manual/soramitsu.md: every message text that the
#    programs can show is in its message column (see messages_missing_from_manual below);
#  - its screenshots: all there, and taken in this run (newer than SINCE_FILE);
#  - dist/Soramitsu-<version>.zip: exactly the four files, ASCII names, stripped programs
#    that import only Windows DLLs, README.txt in UTF-8 with byte-order mark and CR LF.
# Usage: check-release.sh BUILD_WIN_DIR SINCE_FILE
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

[ $# -eq 2 ] || sm_die "usage: check-release.sh BUILD_WIN_DIR SINCE_FILE"
win="$(cd "$1" && pwd)" || sm_die "no build folder $1"
since="$2"
[ -f "$since" ] || sm_die "no start marker $since"
src="$SORAMITSU_ROOT/docs/manual/soramitsu.md"
pdf="$win/manual/soramitsu.pdf"
images="$win/manual/images"
failures=0
fail() { sm_log "FAIL: $*"; failures=$((failures + 1)); }
ok() { sm_log "ok: $*"; }

# --- the troubleshooting table -------------------------------------------------------------
# Every text the programs show is written in their sources as u"..." literals, whole or in
# pieces joined with paths, numbers, dates and named constants (kName). This reads the
# sources of ui/, core/, shortcut/, gui/ and platform/ statement by statement (up to a ";",
# "{" or "}"), puts in the text of every constant kName defined in the same file, and takes
# the pieces holding Japanese, cut at their line breaks. A statement on a line matching
# not_messages is no message (captions, menu items, column headings, tool tips, font and
# file names, view titles, table headings). For every other statement, one row's message
# column in the tables between "::: messages" and ":::" of the manual must hold all its
# pieces in their order, blanks ignored (a statement that chooses with "?" between texts:
# each piece on its own). So a new message fails this check, named with its place, until it
# has its row in the table; a new caption or name that is no message belongs in not_messages.
not_messages='SetCaption\(|LabelText\(|PanelLabel\(|FieldLabel\(|(\.|->)Add\(u"|AddColumn\(|font\.face|Glyph\{|\{u"[^"]*", *[0-9]+\}|\{u"Ver|ViewTitle =|kAppTitle =|kDesktopLinkName =|kMarker\[\]|Header\[\] =|FileName =|u"_元の内容"|u"（長いため|SetAccessibleName\(u"|Reading\(int [a-z]+\) \{|u"クリップボードの履歴 \(|\.lnk"'
messages_missing_from_manual() {
  local manual="$1"
  shift
  NOT_MESSAGES="$not_messages" perl -CSDA -Mutf8 -e '
    use strict; use warnings;
    use Encode qw(decode_utf8);
    my ($manual, @sources) = @ARGV;
    my $skip = qr/@{[decode_utf8($ENV{NOT_MESSAGES})]}/;
    my $japanese = qr/[\x{3000}-\x{9FFF}\x{FF00}-\x{FFEF}]/;
    my $norm = sub { my $t = shift; $t =~ s/[ \t\x{3000}]//g; return $t; };
    my $literal = qr/u"((?:[^"\\]|\\.)*)"/;
    # The pieces of one literal: cut at its line breaks, escapes undone, Japanese only.
    my $pieces = sub {
      my @out;
      for my $piece (split /(?:\\r|\\n)+/, shift) {
        $piece =~ s/\\u([0-9A-Fa-f]{4})/chr(hex($1))/ge;
        $piece =~ s/\\(["\\])/$1/g;
        push @out, $piece if $norm->($piece) =~ $japanese;
      }
      return @out;
    };
    # A line without its comment (a "//" inside a literal is no comment).
    my $code = sub {
      my $line = shift;
      $line =~ s{\G((?:[^"/]|"(?:[^"\\]|\\.)*"|/(?!/))*)//.*}{$1}s;
      return $line;
    };

    # The message column of the troubleshooting tables, one entry per row.
    open(my $m, "<:encoding(UTF-8)", $manual) or die "cannot read $manual\n";
    my ($inside, @rows) = (0);
    while (my $line = <$m>) {
      if ($line =~ /^::: *messages/) { $inside = 1; next; }
      if ($inside && $line =~ /^:::\s*$/) { $inside = 0; next; }
      next unless $inside && $line =~ /^\|(.*?)\|/;
      my $cell = $1;
      push @rows, $norm->($cell) unless $cell =~ /^[-\s]*$/;
    }
    close $m;
    die "no troubleshooting table (::: messages) in $manual\n" unless @rows;
    my $in_one_row = sub {
      my @needles = map { $norm->($_) } @_;
      ROW: for my $row (@rows) {
        my $at = 0;
        for my $needle (@needles) {
          my $found = index($row, $needle, $at);
          next ROW if $found < 0;
          $at = $found + length $needle;
        }
        return 1;
      }
      return 0;
    };

    my ($checked, $missing) = (0, 0);
    for my $file (@sources) {
      open(my $f, "<:encoding(UTF-8)", $file) or die "cannot read $file\n";
      my (@statements, $text, $first);
      while (my $line = <$f>) {
        $line = $code->($line);
        next if $line =~ /^\s*(#|$)/ && !defined $text;
        $first = $. unless defined $text;
        $text .= $line;
        if ($line =~ /[;{}]\s*$/) { push @statements, [$first, $text]; undef $text; }
      }
      push @statements, [$first, $text] if defined $text;
      close $f;
      # The texts of the constants named kName in this file.
      my %constants;
      for (@statements) {
        my $statement = $_->[1];
        next if $statement =~ $skip;
        next unless $statement =~ /\b(k[A-Z]\w*)(?:\[\])?\s*=\s*(u".*)/s;
        my ($name, $value) = ($1, $2);
        $constants{$name} = [map { $pieces->($_) } $value =~ /$literal/g];
      }
      for (@statements) {
        my ($line, $statement) = @$_;
        next if $statement =~ $skip;
        my @found;
        while ($statement =~ /$literal|\b(k[A-Z]\w*)\b(?!(?:\[\])?\s*=[^=])/g) {
          if (defined $1) { push @found, $pieces->($1); }
          elsif (exists $constants{$2}) { push @found, @{$constants{$2}}; }
        }
        next unless @found;
        $checked++;
        my $code_only = $statement =~ s/$literal//gr;
        my @groups = $code_only =~ /\?/ ? map { [$_] } @found : ([@found]);
        for my $group (@groups) {
          next if $in_one_row->(@$group);
          $missing++;
          print "message not in the troubleshooting table of the manual: \x{300C}",
                join("\x{2026}", @$group), "\x{300D} ($file:$line)\n";
        }
      }
    }
    print "checked $checked\n";
    exit($missing ? 1 : 0);
  ' "$manual" "$@"
}
sources=$(cd "$SORAMITSU_ROOT" && find ui core shortcut gui platform \( -name '*.cpp' -o -name '*.h' \) | sort)
if report=$(cd "$SORAMITSU_ROOT" && messages_missing_from_manual "$src" $sources); then
  ok "every message of the programs ($(sed -n 's/^checked //p' <<<"$report") places) is in the manual's troubleshooting table"
else
  while IFS= read -r line; do
    case "$line" in checked*) ;; *) fail "$line" ;; esac
  done <<<"$report"
  grep -q '^message' <<<"$report" ||
    fail "the troubleshooting table could not be compared with the programs' messages"
fi

# Chapters that must stay in the manual whatever else changes.
required_chapters="プライバシーと安全 新しいバージョンへの更新 キーボードで使う"
for heading in $required_chapters; do
  grep -qx "# $heading" "$src" || fail "the manual has no chapter \"$heading\""
done

# --- the manual ----------------------------------------------------------------------------
if [ ! -s "$pdf" ]; then
  fail "no manual at $pdf"
else
  info=$(pdfinfo "$pdf" 2>/dev/null)
  pages=$(sed -n 's/^Pages:[[:space:]]*//p' <<<"$info")
  if [ -n "$pages" ] && [ "$pages" -ge 15 ] && [ "$pages" -le 60 ]; then
    ok "the manual has $pages pages"
  else
    fail "the manual has ${pages:-no} pages, expected 15 to 60"
  fi
  grep -qE '^Page size:[[:space:]]+595(\.[0-9]+)? x 841(\.[0-9]+)? pts \(A4\)' <<<"$info" &&
    ok "the manual is A4" || fail "the manual is not A4: $(grep '^Page size' <<<"$info")"

  # Japanese text comes out of pdftotext with spaces and breaks of its own: compare without.
  text=$(pdftotext -enc UTF-8 "$pdf" - 2>/dev/null | tr -d ' \n\t\f\r')
  chapters=0
  while IFS= read -r heading; do
    chapters=$((chapters + 1))
    needle=$(tr -d ' \t' <<<"$heading")
    grep -qF -- "$needle" <<<"$text" || fail "chapter heading \"$heading\" not found in the manual's text"
  done < <(sed -n 's/^# \(.*\)$/\1/p' "$src")
  for heading in $required_chapters; do
    grep -qF -- "$heading" <<<"$text" || fail "the manual's text has no chapter \"$heading\""
  done
  [ "$chapters" -ge 8 ] && ok "$chapters chapter headings checked" ||
    fail "only $chapters chapter headings in $src"
  grep -qF '目次' <<<"$text" && ok "the manual has a table of contents" || fail "no table of contents"
  version=$(bash "$SORAMITSU_ROOT/scripts/version.sh")
  grep -qF "Ver$version" <<<"$text" && ! grep -qF 'SORAMITSU_VERSION' <<<"$text" &&
    ok "the manual names Ver$version" || fail "the manual does not name Ver$version in every place"
fi

# Every picture the manual shows was taken in this run.
pictures=$(grep -o 'images/[A-Za-z0-9_-]*\.png' "$src" | sort -u)
[ "$(wc -l <<<"$pictures")" -ge 9 ] || fail "the manual shows fewer than nine screenshots"
for picture in $pictures; do
  file="$win/manual/$picture"
  if [ ! -s "$file" ]; then
    fail "screenshot $picture is missing"
  elif [ ! "$file" -nt "$since" ]; then
    fail "screenshot $picture was not taken in this run"
  else
    size=$(identify -format '%w %h' "$file" 2>/dev/null)
    read -r w h <<<"$size"
    if [ "${w:-0}" -ge 150 ] && [ "${h:-0}" -ge 80 ]; then ok "screenshot $picture (${w}x$h)"
    else fail "screenshot $picture is only ${size:-unreadable}"; fi
  fi
done

# --- the package -----------------------------------------------------------------------------
version=$(bash "$SORAMITSU_ROOT/scripts/version.sh") || fail "no version"
zipfile="$SORAMITSU_ROOT/dist/Soramitsu-$version.zip"
if [ ! -s "$zipfile" ]; then
  fail "no package $zipfile"
else
  [ "$zipfile" -nt "$since" ] || fail "the package was not built in this run"
  names=$(unzip -Z1 "$zipfile" | tr '\n' ' ')
  [ "$names" = "Soramitsu.exe SoramitsuShortcut.exe soramitsu.pdf README.txt " ] &&
    ok "the package holds $names" || fail "the package holds [$names]"
  LC_ALL=C grep -q '[^ -~]' <<<"$names" && fail "file names in the package are not ASCII"
  unpacked=$(mktemp -d)
  unzip -q "$zipfile" -d "$unpacked" || fail "the package cannot be unpacked"
  for exe in Soramitsu.exe SoramitsuShortcut.exe; do
    [ -f "$unpacked/$exe" ] || continue
    if x86_64-w64-mingw32-objdump -h "$unpacked/$exe" | grep -qE '\.debug_|\.stab'; then
      fail "$exe in the package carries debug information"
    fi
  done
  bash "$SORAMITSU_ROOT/scripts/check-imports.sh" "$unpacked/Soramitsu.exe" "$unpacked/SoramitsuShortcut.exe" ||
    fail "the packaged programs import more than Windows DLLs"
  cmp -s "$unpacked/soramitsu.pdf" "$pdf" && ok "the packaged manual is this run's" ||
    fail "the packaged soramitsu.pdf differs from $pdf"
  readme="$unpacked/README.txt"
  if [ -f "$readme" ]; then
    [ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = "efbbbf" ] &&
      ok "README.txt starts with the UTF-8 byte-order mark" || fail "README.txt has no UTF-8 byte-order mark"
    lines=$(tr -cd '\n' <"$readme" | wc -c)
    crlf=$(grep -c $'\r$' "$readme")
    crs=$(tr -cd '\r' <"$readme" | wc -c)
    [ "$lines" -gt 10 ] && [ "$lines" -eq "$crlf" ] && [ "$crs" -eq "$lines" ] &&
      ok "README.txt: $lines lines, each ending in CR LF" || fail "README.txt: $crlf of $lines lines end in CR LF"
    iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null 2>&1 || fail "README.txt is not valid UTF-8"
    grep -qF "Ver$version" "$readme" || fail "README.txt does not name Ver$version"
  fi
  rm -rf "$unpacked"
fi

[ "$failures" -eq 0 ] || { sm_log "$failures check(s) of the manual and package failed"; exit 1; }
sm_log "the manual and the package are as they should be"
