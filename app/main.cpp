#include "app/program.h"
#include "app/stand_in_scheme.h"

int main(int argc, char** argv) { return vn::RunProgram<vn::TStandInScheme>(argc, argv); }
