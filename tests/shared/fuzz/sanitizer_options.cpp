// sanitizer_options.cpp: AddressSanitizer's settings for every fuzz target.
// Each input of the smaller targets allocates afresh (and the client targets
// do, in their fresh mode), and with the default quarantine of 256 MB every
// allocation lands on new pages: the page faults and clearing cost about a
// third of the time. A use after free is still caught while the freed block
// is among the last 32 MB freed, which is far more than one input allocates.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=32"; }
