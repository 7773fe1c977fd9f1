// The leak reports of outside libraries that LeakSanitizer is to ignore, linked into the game and into
// every test program (one list for all). SDL's X11 driver starts libdbus, whose connection buffers live
// as long as the process and are never freed. The sanitizer reads this list in sanitizer builds; other
// builds ignore it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
