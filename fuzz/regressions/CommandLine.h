// Argument lists (NUL-separated) that once broke a check of the command-line target.
//
// An unknown letter at the front of a short-option cluster was reported under the
// name of the argument before it (here the program's own name).
FUZZ_REGRESSION("command_line", "unknown-letter-first", 0x2d, 0x64, 0x69, 0x73, 0x70, 0x6c, 0x61, 0x79, 0xff,
                0xff, 0xff, 0xff, 0x2d, 0x2d, 0x62, 0x6f, 0x67, 0x75, 0x61, 0x00, 0x2d, 0x68)
