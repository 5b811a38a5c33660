// Leaks inside system libraries that Qt's window, D-Bus and sound backends load at start and
// never free; they are not the program's own and would hide real reports.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n"
           "leak:libfontconfig.so\n"
           "leak:libpulse.so\n"
           "leak:libQt6DBus.so\n"
           "leak:libglib-2.0.so\n"
           // A name lookup given up on while the C library still runs it keeps its request.
           "leak:squadlink::HostResolver::systemLookup\n";
}
