// The smallest program this build makes, linked static: the floor of a process start.
#include <stdio.h>

int main(void) {
  puts("hello");
  return 0;
}
