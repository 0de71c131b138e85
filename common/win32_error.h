// A Win32 error as the suite's messages name it: "error 5: Access is denied".
#pragma once

#include <string>

namespace ptr {

// "error <code>", then ": " and the system's text for the code when it has one.
std::string Win32ErrorText(unsigned long code);

}  // namespace ptr
