// qel: explorer of the Mandelbrot set and of Julia sets.
#include "app/fm5main.h"

int main(int argc, char** argv) { return qel::runProgram(argc, argv); }
