# Sourced: picks the Wine loader. Where the machine runs 32-bit Linux programs, the
# usual loader starts Windows programs of both bitnesses. A kernel without 32-bit
# support cannot start it: there the 64-bit loader runs the 64-bit programs alone, and
# ZL_WIN32_RUNS=0 tells the scripts that 32-bit Windows programs cannot run.
if /usr/lib/wine/wine --version >/dev/null 2>&1 || [ ! -x /usr/lib/wine/wine64 ]; then
  zl_wine=wine
  export ZL_WIN32_RUNS=1
else
  zl_wine=/usr/lib/wine/wine64
  export WINELOADER=$zl_wine
  export ZL_WIN32_RUNS=0
fi
