#!/bin/sh
# Builds the Debian package, inspects it, unpacks it into a temporary root and starts
# the installed program there as a user would: with HOME and XDG_DATA_HOME of its
# own. The per-user program folder must appear with the tool kit in it, and the
# deployed tools must assemble and link a course program.
#   package-test.sh <build folder> <source folder>
set -eu
build=$1
source=$2
work=$(mktemp -d /tmp/asmora-package-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/asmora_*_amd64.deb 2>/dev/null || ls "$work"/out/asmora_*.deb)
[ -f "$deb" ] || fail "no package was written"

contents=$(dpkg-deb -c "$deb")
for path in ./usr/lib/asmora/asmora ./usr/lib/asmora/asmora-installed ./usr/bin/asmora \
            ./usr/share/applications/asmora.desktop ./usr/share/mime/packages/asmora.xml \
            ./usr/share/icons/hicolor/48x48/apps/asmora.png; do
  echo "$contents" | grep -q " $path" || fail "the package lacks $path"
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in qemu-user gdb xterm binutils fonts-wqy-microhei libqt6widgets6 libqscintilla2-qt6; do
  echo "$depends" | grep -q "$package" || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = asmora ] || fail "package name"

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/asmora.desktop" || fail "desktop entry"
mkdir -p "$work/home"
user_folder="$work/home/data/asmora"
HOME="$work/home" XDG_DATA_HOME="$work/home/data" QT_QPA_PLATFORM=offscreen \
  "$work/root/usr/bin/asmora" --deploy >"$work/deploy.log" 2>&1 || { cat "$work/deploy.log"; fail "--deploy"; }
grep -q "程序文件夹: $user_folder" "$work/deploy.log" || { cat "$work/deploy.log"; fail "not the per-user folder"; }
for file in SciLexer.dll bin/ML.EXE bin/link.exe bin/io.h bin/io.obj bin/Kernel32.Lib bin/windbg.exe; do
  [ -f "$user_folder/$file" ] || fail "the tool kit lacks $file"
done
[ -z "$(find "$work/root" -newer "$deb" -name 'SciLexer.dll')" ] || fail "wrote into the installed folder"

# A course program, assembled and linked by the deployed tools.
mkdir -p "$work/src/Debug"
cp "$source/tests/e2e/programs/sum.asm" "$work/src/"
cp "$user_folder/bin/io.h" "$work/src/"
(cd "$work/src" && "$user_folder/bin/ML.EXE" /c /coff /Zi "/FlDebug/sum.lst" /Fo Debug/sum.obj sum.asm) \
  >"$work/ml.log" 2>&1 || { cat "$work/ml.log"; fail "ML.EXE"; }
(cd "$work/src" && "$user_folder/bin/link.exe" /debug /subsystem:console /entry:start /out:Debug/sum.exe \
  Debug/sum.obj "$user_folder/bin/io.obj" "$user_folder/bin/Kernel32.Lib") \
  >"$work/link.log" 2>&1 || { cat "$work/link.log"; fail "link.exe"; }
[ -x "$work/src/Debug/sum.exe" ] || fail "no program was linked"
echo "1 passed, 0 failed"
