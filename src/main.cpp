#include "app/application.h"

int main(int argc, char** argv) { return mirokata::RunApplication(argc, argv); }
