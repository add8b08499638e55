// qel: explorer of the Mandelbrot set and of Julia sets.
#include "window/fm5main.h"

int main(int argc, char** argv) { return qel::runProgram(argc, argv); }
