# Sourced first thing by every script that starts Wine, before it looks at its arguments: runs the
# script again with Linux's address randomisation off for it and everything it starts.
#
# Debian's Wine comes without the preloader that reserves the low address space before Linux
# places anything there. Linux then puts the loader's heap (brk) at a random place up to 1 GB
# above the loader (0x7d000000 for 64-bit), and now and then (once in 560 starts here) that heap
# covers 0x7ffe0000, where every Windows process has its shared user data: the program dies at
# once ("failed to map the shared user data: c0000018"), unseen under WINEDEBUG=-all. Without
# randomisation the heap starts right after the loader, far below that page. A machine that does
# not allow it (container defaults forbid the personality) keeps the risk and goes on.
if [ -r /proc/self/personality ] &&
   (( (0x$(cat /proc/self/personality) & 0x0040000) == 0 )) && # ADDR_NO_RANDOMIZE not yet set
   setarch "$(uname -m)" -R true 2>/dev/null; then
  exec setarch "$(uname -m)" -R bash "$0" "$@"
fi
