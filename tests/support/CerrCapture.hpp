#pragma once

#include <iostream>
#include <sstream>
#include <string>

namespace testing_support {

// Collects what is written to std::cerr while it lives. Read the text only when no
// other thread can still write, for instance after the worker was joined.
class CerrCapture {
public:
    CerrCapture()
        : previous(std::cerr.rdbuf(captured.rdbuf()))
    {}
    CerrCapture(const CerrCapture&) = delete;
    CerrCapture& operator=(const CerrCapture&) = delete;
    ~CerrCapture() { std::cerr.rdbuf(previous); }

    std::string text() const { return captured.str(); }

private:
    std::ostringstream captured;
    std::streambuf* previous;
};

} // namespace testing_support
