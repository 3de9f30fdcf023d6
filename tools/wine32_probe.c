/* Run once by the test command: does this machine run 32-bit Windows programs under Wine? */
#include <stdio.h>

int main(void) {
  puts("32-bit Windows programs run here");
  return 0;
}
