#!/usr/bin/env bash
# The main job: a person's tour of zorva_mapi.dll on a mail system of its
# own. Builds the 32-bit Windows targets, creates a mail store and a profile,
# registers our provider as the mail client of the project's Wine prefix,
# then under Wine, through Wine's own MAPI32.DLL, sends a message with an
# attachment to the profile's own address, lists the inbox, reads the
# message, marks it read, rewrites its subject and deletes it.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

bash setup/install-deps.sh >/dev/null
source setup/wine-env.sh
unset WINEDLLOVERRIDES # Wine's built-in MAPI32.DLL, as an ordinary host gets it

echo "Building the Windows targets (build/win32) ..."
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release >build/win32.configure.log 2>&1
cmake --build build/win32 -j2 --target zorva_mapi zorva-mail zorva_provider >build/win32.demo-build.log 2>&1 ||
  { tail -30 build/win32.demo-build.log; exit 1; }

demo=build/demo
rm -rf "$demo"
mkdir -p "$demo/store"
cp build/win32/zorva_mapi.dll build/win32/cli/zorva-mail.exe build/win32/provider/zorva_provider.dll "$demo/"
cat >"$demo/zorva_provider.ini" <<'INI'
; Written by tools/demo.sh: one profile whose store is the folder beside it.
default_profile = demo
[profile demo]
store = store
name = Demo User
address = demo@example.invalid
INI
# The file to attach goes on the prefix's drive C:, so its path stays well
# within the 79 characters a list item may have, wherever the project lives.
attach_folder="$WINEPREFIX/drive_c/zorva-demo"
rm -rf "$attach_folder"
mkdir -p "$attach_folder"
printf 'This file travelled as an attachment.\r\n' >"$attach_folder/report.txt"
attachment='C:\zorva-demo\report.txt'

step() { printf '\n--- %s\n' "$*"; }
mail() { # runs zorva-mail.exe under Wine and shows its exit status
  local status=0
  (cd "$demo" && wine zorva-mail.exe --profile demo "$@" 2>&1 | tr -d '\r') || status=$?
  echo "(zorva-mail exit status $status)"
  return 0
}
first_id() { (cd "$demo" && wine zorva-mail.exe --profile demo get --peek 2>/dev/null | tr -d '\r' |
  sed -n 's/^message ID: //p'); }

step "Registering our provider as the mail client of the Wine prefix"
mail register "$(winepath -w "$demo/zorva_provider.dll")"

step "The library's version"
mail version

step "Sending a message with an attachment to the profile's own address"
mail send --to "Demo User <demo@example.invalid>" --subject "Quarterly report" \
  --text "Hello,
the report is attached.
Regards" --attach "$attachment"

step "Listing the inbox"
mail inbox

step "Reading the first message without marking it (peek)"
mail get --peek

step "Reading it again, marking it read"
mail get --mark

step "Rewriting its subject"
mail update "Quarterly report (filed)"
mail inbox

step "The message as the store keeps it: a standard RFC 5322 file (its first lines)"
message_file=$(find "$demo/store/inbox" -name '*.eml' | head -1)
echo "$message_file"
head -n 24 "$message_file" | tr -d '\r'

step "Deleting it"
mail delete
mail inbox

step "The store's files"
(cd "$demo/store" && find . -type f | sort)

step "Unregistering the provider"
mail unregister
echo
echo "Done. The store is in $demo/store."
