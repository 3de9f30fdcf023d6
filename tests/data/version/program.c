/* The smallest program the version files are linked from: no C runtime, only an entry point. Its
   symbol is named outright, because the 32-bit tools would prefix an underscore and the 64-bit
   tools not. */
int start(void) __asm__("qnd_start");
int start(void) { return 0; }
