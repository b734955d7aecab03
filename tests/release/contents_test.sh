#!/usr/bin/env bash
# What the release zip holds: the program with its version, icon and
# manifest, a guide Notepad shows right (UTF-8 with a byte-order mark, CR LF)
# that speaks of every command by its caption, and the licence.
# Usage: contents_test.sh <release zip> <repository> <work folder>
set -euo pipefail

zip=$1
repo=$2
work=$3
rm -rf "$work"
mkdir -p "$work"
unzip -q "$zip" -d "$work/x"

status=0
fail() { echo "FAILED: $*"; status=1; }
ok() { echo "ok: $*"; }

# The entries, in this order, and nothing else.
entries=$(zipinfo -1 "$zip" | tr '\n' ' ')
if [ "$entries" = "Chronoseq.exe readme.txt LICENSE.txt " ]; then
  ok "entries: $entries"
else
  fail "entries are: $entries"
fi

# Text files as Notepad wants them: CR LF only, valid UTF-8.
for f in readme.txt LICENSE.txt; do
  t="$work/x/$f"
  lf=$(tr -cd '\n' <"$t" | wc -c)
  crlf=$(grep -c $'\r$' "$t" || true)
  if [ "$lf" -gt 0 ] && [ "$lf" = "$crlf" ]; then
    ok "$f: $lf lines, all CR LF"
  else
    fail "$f: $lf LF, $crlf CR LF"
  fi
  if iconv -f UTF-8 -t UTF-8 "$t" >/dev/null 2>&1; then ok "$f: UTF-8"; else fail "$f: not UTF-8"; fi
done
if [ "$(head -c 3 "$work/x/readme.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ]; then
  ok "readme.txt starts with the byte-order mark"
else
  fail "readme.txt has no byte-order mark"
fi

# The guide names what a user looks for, as the program shows it.
while IFS= read -r text; do
  grep -qF -- "$text" "$work/x/readme.txt" || fail "readme.txt does not mention \"$text\""
done <<'TABLE'
Chronoseq 0.7
ファイル（F）
TIME変更（T）
元に戻す(U)
分を繰り上げ
秒を繰り上げ
作成日時も変更
アクセス日時も変更
Alt+↑
Alt+↓
名前
更新日時
撮影日時を表示(D)
撮影日時 120 / 2000
読み取り専用
見当たらない
TIME変更 10 / 250
変更しました
この順番でコピー(C)
コピーしました
順番を保たないドライブです
Chronoseq.INI
FAT
2 秒
ネットワーク
アンインストール
削除
LICENSE.txt
TABLE

# The licence: MIT, the project's copyright line, the repository's text.
grep -qx $'MIT License\r' "$work/x/LICENSE.txt" || fail "LICENSE.txt is not the MIT licence"
grep -qF 'Copyright (c) 2026 the Chronoseq authors' "$work/x/LICENSE.txt" ||
  fail "LICENSE.txt lacks the copyright line"
if tr -d '\r' <"$work/x/LICENSE.txt" | cmp -s - "$repo/LICENSE"; then
  ok "LICENSE.txt is the repository's LICENSE"
else
  fail "LICENSE.txt differs from the repository's LICENSE"
fi

# The program: no link time in its header; version 0.7, a description, a
# product name, an icon group and the manifest in its resources.
exe="$work/x/Chronoseq.exe"
stamp=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^Time\/Date[[:space:]]*//p')
case $stamp in *1970*) ok "no link time in the PE header" ;; *) fail "PE header time stamp: $stamp" ;; esac
x86_64-w64-mingw32-windres -i "$exe" -O rc -o "$work/resources.rc"
while IFS= read -r line; do
  grep -qF -- "$line" "$work/resources.rc" || fail "resources lack: $line"
done <<'TABLE'
FILEVERSION 0, 7, 0, 0
PRODUCTVERSION 0, 7, 0, 0
VALUE "FileDescription", "Chronoseq"
VALUE "ProductName", "Chronoseq"
VALUE "FileVersion", "0.7.0.0"
VALUE "ProductVersion", "0.7.0.0"
VALUE "LegalCopyright", "Copyright (c) 2026 the Chronoseq authors"
RT_GROUP_ICON
RT_MANIFEST
TABLE
exit "$status"
