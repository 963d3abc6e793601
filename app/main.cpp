#include "app/main_scheme.h"
#include "app/program.h"

int main(int argc, char** argv) { return vn::RunProgram<vn::TClassSimpleForm_24FF170>(argc, argv); }
