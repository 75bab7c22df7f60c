// Leak checking in the AddressSanitizer build: libjack keeps its metadata database (Berkeley
// DB) open per process and now and then leaves a few of that library's blocks behind at
// exit. Those are not ours; every allocation of our own stays checked.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdb-5.3.so\n";
}
