/* The smallest program the version files are linked from: no C runtime, only an entry point. */
int start(void) { return 0; }
