// What LeakSanitizer must not report in the AddressSanitizer build, linked
// into every program of that build (so ctest needs no environment for it).
// Only allocations made by a library of the system, never our own: each
// line names that library and why what it keeps is not a leak of ours.
extern "C" const char* __lsan_default_suppressions() {
  return
      // fontconfig's configuration and font patterns, read once per process
      // through cairo's font lookup and kept for the process's lifetime.
      // fontconfig links them by offsets rather than pointers, which a leak
      // scan cannot follow, so they show as lost though they are in use.
      "leak:libfontconfig.so\n";
}
