# Wine environment for running and testing the Windows build.
# Usage: . scripts/wine-env.sh [BUILD_DIR]      (default build/win)
#        velodusk_wine_setup      fresh prefix, warm wineserver, Xvfb when $DISPLAY is unset
#        ... wine / ctest ...     then velodusk_wine_teardown (also run from an EXIT trap if you like)
# VELODUSK_XVFB=1 forces a private Xvfb even when $DISPLAY is set.

velodusk_build_dir=$(cd "${1:-build/win}" 2>/dev/null && pwd) || {
  mkdir -p "${1:-build/win}" && velodusk_build_dir=$(cd "${1:-build/win}" && pwd)
}
velodusk_wine_root=$velodusk_build_dir/wine
export VELODUSK_BUILD_DIR=$velodusk_build_dir

# The test locale: without the generated zh_CN.UTF-8 data Wine gets code page 936
# but cannot create non-ASCII file names. zh_TW (code page 950) and en_US (1252)
# are for the tests of the program's languages on other systems.
for velodusk_locale in zh_CN zh_TW en_US; do
  if [ ! -f "$velodusk_build_dir/locale/$velodusk_locale.UTF-8/LC_CTYPE" ]; then
    mkdir -p "$velodusk_build_dir/locale"
    localedef -i $velodusk_locale -f UTF-8 "$velodusk_build_dir/locale/$velodusk_locale.UTF-8" 2>/dev/null || true
  fi
done
export LOCPATH=$velodusk_build_dir/locale
{ export LC_ALL=zh_CN.UTF-8; } 2>/dev/null
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}
# VELODUSK_WINE_RUN names the prefix a run gets (default run), so that a second
# set of tests can run beside the first on a prefix and display of its own.
export WINEPREFIX=$velodusk_wine_root/${VELODUSK_WINE_RUN:-run}
# Wine's own tools (reg, cmd) through the 64-bit loader: "wine reg" would start
# the 32-bit reg.exe, which costs seconds where 32-bit code is emulated.
if [ -x /usr/lib/wine/wine64 ]; then export VELODUSK_WINE64=/usr/lib/wine/wine64; else export VELODUSK_WINE64=wine; fi

# Some kernels cannot run 32-bit x86 code at all, so both the 32-bit Wine
# loader and Wine's own WoW64 mode fail. There the 32-bit side runs under
# qemu-user through binfmt_misc; 64-bit Wine stays native, so a 64-bit prefix
# keeps wineboot, explorer and the services fast. A guest address space just
# above 2 GiB keeps Wine's start-up reservation loop short under qemu (a full
# 4 GiB one costs about a minute per process).
#
# VELODUSK_QEMU=1 takes the emulated path on a kernel that could run 32-bit code
# itself, to reproduce the slow kind of machine: binfmt_misc handlers are
# consulted before the kernel's own ELF loader, so an entry with the F flag
# takes every 32-bit process. The forced entry has a name of its own so that a
# later run without the switch can remove it and be native again, while the
# entry of a kernel that needs qemu stays. Either entry is machine-wide: it
# holds for every Wine process on the machine until it is removed.
velodusk_binfmt() {
  export QEMU_RESERVED_VA=0x81000000
  local reg=/proc/sys/fs/binfmt_misc
  local qemu=/usr/bin/qemu-i386-static
  local i386_elf='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  velodusk_binfmt_mount() {
    [ -e "$reg/register" ] || mount -t binfmt_misc binfmt_misc "$reg" 2>/dev/null || {
      echo "wine-env: cannot mount binfmt_misc (needs root)" >&2; return 1; }
  }
  velodusk_binfmt_register() {  # NAME
    [ -x "$qemu" ] || { echo "wine-env: $qemu missing (scripts/install-deps.sh)" >&2; return 1; }
    velodusk_binfmt_mount || return 1
    if [ -e "$reg/$1" ]; then
      grep -qx enabled "$reg/$1" || echo 1 >"$reg/$1"
      return 0
    fi
    printf '%s' ":$1:M::$i386_elf:$i386_mask:$qemu:F" >"$reg/register"
  }
  if [ -e "$reg/qemu-i386" ]; then
    # Registered because this kernel cannot run 32-bit code.
    velodusk_binfmt_register qemu-i386
    return
  fi
  if [ "${VELODUSK_QEMU:-0}" = 1 ]; then
    velodusk_binfmt_register velodusk-qemu-i386 || return 1
    echo "wine-env: 32-bit side under qemu-user (VELODUSK_QEMU=1)" >&2
    return 0
  fi
  [ -e "$reg/velodusk-qemu-i386" ] && echo -1 >"$reg/velodusk-qemu-i386"
  /lib/ld-linux.so.2 --help >/dev/null 2>&1 && return 0
  velodusk_binfmt_register qemu-i386
}

# Whether 32-bit processes run under qemu-user here (for bounds and reports).
velodusk_emulated() {
  local reg=/proc/sys/fs/binfmt_misc e
  for e in qemu-i386 velodusk-qemu-i386; do
    grep -qx enabled "$reg/$e" 2>/dev/null && return 0
  done
  return 1
}

# A booted prefix, made once per build tree; runs get a copy so that nothing a
# test leaves behind (registry keys, files in the profile) leaks into the next suite.
velodusk_wine_template() {
  local t=$velodusk_wine_root/template
  # The calls the end-to-end tests look at. The template remembers the list it was
  # made with, so a build tree made before the list changed boots a new one.
  local relay='kernel32.Sleep;kernelbase.Sleep;user32.BlockInput;user32.SendMessageW;user32.RegisterHotKey;user32.UnregisterHotKey;shell32.Shell_NotifyIconW;user32.MessageBoxW;user32.TrackPopupMenu;user32.PostQuitMessage;kernel32.WritePrivateProfileStringW;kernel32.DeleteFileW;kernelbase.DeleteFileW;ole32.CoUninitialize;combase.CoUninitialize;kernel32.WaitForSingleObject;kernelbase.WaitForSingleObject;shell32.ShellExecuteW;user32.MessageBeep;gdi32.CreateFontIndirectW;gdi32.DeleteObject;user32.CopyIcon;user32.SetWindowsHookExW;user32.UnhookWindowsHookEx;user32.CallNextHookEx;user32.RegisterPowerSettingNotification;user32.SetForegroundWindow;user32.PostMessageW;ole32.CoInitializeEx;combase.CoInitializeEx'
  if [ "$(cat "$t/.booted" 2>/dev/null)" != "$relay" ]; then
    rm -rf "$t"
    mkdir -p "$velodusk_wine_root"
    WINEPREFIX=$t wineboot -i >/dev/null 2>&1
    WINEPREFIX=$t wineserver -w
    # Relay tracing is off unless WINEDEBUG asks for +relay; the filter keeps
    # the trace to the calls the end-to-end tests look at.
    WINEPREFIX=$t wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /f \
      /d "$relay" \
      >/dev/null 2>&1
    WINEPREFIX=$t wineserver -w
    [ -f "$t/system.reg" ] || { echo "wine-env: wineboot failed for $t" >&2; return 1; }
    printf '%s' "$relay" >"$t/.booted"
  fi
  # Wine's own fonts (Marlett draws the caption buttons, Tahoma stands in for
  # "MS Shell Dlg 2") come in Wine's data directory, which this Wine never
  # scans: a prefix sees the fonts in C:\windows\Fonts, as on Windows. Without
  # Marlett the close box is drawn as the letter "r".
  if [ ! -f "$t/drive_c/windows/Fonts/marlett.ttf" ]; then
    [ -f /usr/share/wine/fonts/marlett.ttf ] || {
      echo "wine-env: /usr/share/wine/fonts missing (fonts-wine, scripts/install-deps.sh)" >&2; return 1; }
    cp /usr/share/wine/fonts/* "$t/drive_c/windows/Fonts/"
  fi
}

velodusk_wine_fresh_prefix() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  cp -a "$velodusk_wine_root/template" "$WINEPREFIX"
}

velodusk_xvfb_start() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  velodusk_xvfb_pid=$!
  export DISPLAY=:$n
  local i
  for i in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "wine-env: Xvfb :$n did not start" >&2
  return 1
}

velodusk_wine_server_start() {
  wineserver -p
  "$VELODUSK_WINE64" cmd /c exit >/dev/null 2>&1 || true
}

velodusk_wine_setup() {
  velodusk_binfmt || return 1
  if [ -z "${DISPLAY:-}" ] || [ "${VELODUSK_XVFB:-0}" = 1 ]; then
    velodusk_xvfb_start || return 1
  fi
  velodusk_wine_template || return 1
  velodusk_wine_fresh_prefix
  velodusk_wine_server_start
}

velodusk_wine_teardown() {
  wineserver -k 2>/dev/null || true
  if [ -n "${velodusk_xvfb_pid:-}" ]; then
    kill "$velodusk_xvfb_pid" 2>/dev/null || true
    wait "$velodusk_xvfb_pid" 2>/dev/null || true
    unset velodusk_xvfb_pid
  fi
}
