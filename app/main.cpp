#include "app/kelmora_app.h"

int main(int argc, char** argv) { return kelmora::kelmoraApp::main(argc, argv); }
