#pragma once
// One vmconfig-cli command line run in-process, with what it printed on stdout and stderr.

#include "Commands.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace vm::cli::test {

struct Captured {
    int status = -1;
    std::string out, err;
};

inline Captured run(const std::vector<std::string>& argv) {
    char *outBuf = nullptr, *errBuf = nullptr;
    std::size_t outSize = 0, errSize = 0;
    CliIo io;
    io.out = open_memstream(&outBuf, &outSize);
    io.err = open_memstream(&errBuf, &errSize);
    io.programDir = VM_BIN_DIR;
    Captured c;
    c.status = RunCli(argv, io);
    std::fclose(io.out);
    std::fclose(io.err);
    c.out.assign(outBuf, outSize);
    c.err.assign(errBuf, errSize);
    std::free(outBuf);
    std::free(errBuf);
    return c;
}

inline std::string describe(const Captured& c) {
    return "status " + std::to_string(c.status) + "\nout: " + c.out + "\nerr: " + c.err;
}

} // namespace vm::cli::test
