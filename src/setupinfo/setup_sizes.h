// Widths of the setup state's text fields, characters plus the zero byte.
// The distribution checker reads setup.dat into fields of the same widths.
#pragma once

const int kPathSize = 256;
const int kProductNameSize = 64;
const int kLoadProgramSize = 20;
const int kDriverInstanceSize = 8;
