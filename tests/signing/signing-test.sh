#!/usr/bin/env bash
# A signed build with a throwaway certificate, checked as an administrator's Windows would:
#   signing-test.sh SOURCE_DIR WORK_DIR TOOLCHAIN MAKE_INSTALLER "DEFINES" MSI X86_CORBEL
#                   X86_TRELLIS X64_CORBEL X64_TRELLIS
# Runs in a Wine prefix of its own (fresh-prefix.sh). Steps: openssl makes a CA and a code-signing
# certificate; a small build (tests/signing/project) signs through cornice_sign(); copies of the
# four programs of this build are signed by that build's signing command, as cornice_sign() signs
# them after linking, and packed by the installer's own script with the signing defines, so that
# makensis signs the installer and its uninstaller; the installer installs under Wine; a copy of
# the x86 package is signed as the build signs it after packing. Every
# signed file must verify against the CA with a SHA-256 digest, and a copy with one byte changed
# must not. Exit code: the number of failed checks.
set -uo pipefail
source=$1 work=$2 toolchain=$3 make_installer=$4 defines=$5 msi=$6
shift 6
programs=("$@")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
must() { "$@" >"$work/last.log" 2>&1 || { echo "step failed: $*"; cat "$work/last.log"; exit 100; }; }

rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 100

# The CA and the signer, valid for two days; the password in a file, as a release's would be.
must openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Cornice Test Root" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign
must openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/O=Quillmark/CN=Quillmark Test Signer"
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
must openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -out signer.pem -extfile signer.ext
echo "throwaway password" >password
must openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -out signer.p12 -passout file:password

verify() { # FILE: signed by our signer, SHA-256, chain to the CA
  local out
  if ! out=$(osslsigncode verify -CAfile ca.pem -in "$1" 2>&1); then
    fail "$1 does not verify: $(echo "$out" | grep -iE 'fail|error|no signature' | head -3)"
    return
  fi
  echo "$out" | grep -q "Message digest algorithm *: SHA256" || fail "$1 is not signed with SHA-256"
  echo "$out" | grep -q "Quillmark Test Signer" || fail "$1 is signed by someone else"
  # One changed byte in the middle of the file must break the signature.
  cp "$1" tampered && printf '\x5a' | dd of=tampered bs=1 seek=$(($(stat -c %s "$1") / 2)) conv=notrunc status=none
  cmp -s "$1" tampered && printf '\xa5' | dd of=tampered bs=1 seek=$(($(stat -c %s "$1") / 2)) conv=notrunc status=none
  osslsigncode verify -CAfile ca.pem -in tampered >/dev/null 2>&1 && fail "a changed copy of $1 still verifies"
  echo "verified: $1"
}

# The small signed build.
must cmake -S "$source/tests/signing/project" -B small -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCORNICE_SOURCE_DIR="$source" \
  -DCORNICE_SIGN_PKCS12="$work/signer.p12" -DCORNICE_SIGN_PASSWORD_FILE="$work/password"
must cmake --build small
for file in small/probe.exe small/probelib.dll small/package.exe; do verify "$file"; done
osslsigncode verify -CAfile ca.pem -in small/unsigned.exe >/dev/null 2>&1 && fail "a program nobody signed verifies"

# The product's programs, signed before they are packed, and the installer made from them.
mkdir -p x86 x64
cp "${programs[0]}" x86/Corbel.dll && cp "${programs[1]}" x86/Trellis.exe
cp "${programs[2]}" x64/Corbel.dll && cp "${programs[3]}" x64/Trellis.exe
for file in x86/Corbel.dll x86/Trellis.exe x64/Corbel.dll x64/Trellis.exe; do
  must cmake -P small/cornice-sign.cmake "$file"
  verify "$file"
done
installer=$work/Cornice-signed-setup.exe
must cmake -DMAKENSIS=makensis -DSCRIPT="$source/installer/Cornice.nsi" \
  -DX86_CORBEL="$work/x86/Corbel.dll" -DX86_TRELLIS="$work/x86/Trellis.exe" -DX64_CORBEL="$work/x64/Corbel.dll" -DX64_TRELLIS="$work/x64/Trellis.exe" \
  "-DDEFINES=$defines|OUTFILE=$installer|SIGN_CMAKE=$(command -v cmake)|SIGN_SCRIPT=$work/small/cornice-sign.cmake" \
  -P "$make_installer"
verify "$installer"

# The uninstaller exists only inside the installer until an installation writes it out.
target="$WINEPREFIX/drive_c/Cornice"
wine "$installer" /S '/D=C:\Cornice' >install.log 2>&1 || echo "installer exit $?" >>install.log
[ -f "$target/Uninstall.exe" ] || { fail "the installer did not install (see $work/install.log)"; }
for file in Uninstall.exe Corbel.dll Trellis.exe; do
  [ -f "$target/$file" ] && verify "$target/$file"
done

cp "$msi" Cornice-signed-x86.msi
must cmake -P small/cornice-sign.cmake Cornice-signed-x86.msi
verify Cornice-signed-x86.msi

[ "$failures" -eq 0 ] && echo "every signed file verifies; changed copies do not"
exit "$failures"
