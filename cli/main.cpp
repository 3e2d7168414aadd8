#include "CliMain.h"

int main(int argc, char** argv) { return dt::cli::Main(argc, argv); }
